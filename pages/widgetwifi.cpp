#include "pages/widgetwifi.h"

#include "pages/dialogconfigurewifi.h"
#include "protocol/hostcmd.h"
#include "protocol/networkinformation.h"

#include <QDateTime>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

WidgetWiFi::WidgetWiFi(QWidget *parent)
    : NetworkPage(parent)
    , m_ssid(readOnlyField())
    , m_configure(new QPushButton(tr("Configure SSID..."), this))
{
    addAddressRows();
    // Changed through the dialog only, and not a setting Save writes.
    form()->addRow(tr("SSID:"), m_ssid);
    addButtons({m_configure, testPageButton()});
    connect(m_configure, &QPushButton::clicked, this, &WidgetWiFi::doConfigure);
}

void WidgetWiFi::fill(const NetworkInformation &info)
{
    fillAddresses({info.wifiMac, info.wifiDhcpAddress, info.wifiDhcpNetmask, info.wifiStaticAddress,
                   info.wifiStaticNetmask});
    m_ssid->setText(info.wifiSsid);
}

QString WidgetWiFi::ssid() const
{
    return m_ssid->text();
}

void WidgetWiFi::doConfigure()
{
    DialogConfigureWiFi dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Shown at once; the next network answer says what the printer really joined.
    m_ssid->setText(dialog.ssid());
    g_hostCmd.SetWifiNetwork(dialog.ssid(), dialog.password());
}

QByteArray WidgetWiFi::buildTestPage() const
{
    return TestPage::wifi(addresses(), m_ssid->text(), QDateTime::currentDateTime(),
                          g_hostCmd.isRx100());
}

bool WidgetWiFi::sendStaticIp(const StaticIpRecord &record)
{
    return g_hostCmd.SetWifiStaticIp(record);
}

#include "pages/widgetwifi.h"

#include "pages/dialogconfigurewifi.h"
#include "pages/testpage.h"
#include "protocol/hostcmd.h"

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
    addButton(m_configure);
    // The button row reads "Configure SSID...", "Print Test Page", "Save".
    addButton(testPageButton());
    connect(m_configure, &QPushButton::clicked, this, &WidgetWiFi::doConfigure);

    setTabOrder(staticAddressField(), staticNetmaskField());
    setTabOrder(staticNetmaskField(), staticGatewayField());
    setTabOrder(staticGatewayField(), m_configure);
    setTabOrder(m_configure, testPageButton());
    setTabOrder(testPageButton(), saveButton());
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
    const TestPage::NetworkFields fields{macField()->text(), dhcpAddressField()->text(),
                                         dhcpNetmaskField()->text(), staticAddressField()->text(),
                                         staticNetmaskField()->text()};
    return TestPage::wifi(fields, m_ssid->text(), QDateTime::currentDateTime(),
                          g_hostCmd.isRx100());
}

bool WidgetWiFi::sendStaticIp(const StaticIpRecord &record)
{
    return g_hostCmd.SetWifiStaticIp(record);
}

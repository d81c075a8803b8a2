#include "pages/widgetlan.h"

#include "app/conf.h"
#include "protocol/hostcmd.h"
#include "protocol/networkinformation.h"

#include <QDateTime>

WidgetLan::WidgetLan(QWidget *parent)
    : NetworkPage(parent)
{
    addAddressRows();
    addButtons({testPageButton()});
}

void WidgetLan::fill(const NetworkInformation &info)
{
    fillAddresses({info.ethernetMac, info.ethernetDhcpAddress, info.ethernetDhcpNetmask,
                   info.ethernetStaticAddress, info.ethernetStaticNetmask});
}

QByteArray WidgetLan::buildTestPage() const
{
    return TestPage::ethernet(addresses(), QDateTime::currentDateTime(), g_hostCmd.isRx100(),
                              g_conf.language() != Language::Chinese);
}

bool WidgetLan::sendStaticIp(const StaticIpRecord &record)
{
    return g_hostCmd.SetLanStaticIp(record);
}

#include "pages/widgetlan.h"

#include "app/conf.h"
#include "pages/testpage.h"
#include "protocol/hostcmd.h"

#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>

WidgetLan::WidgetLan(QWidget *parent)
    : NetworkPage(parent)
{
    addAddressRows();
    addButton(testPageButton());
    setTabOrder(staticAddressField(), staticNetmaskField());
    setTabOrder(staticNetmaskField(), staticGatewayField());
    setTabOrder(staticGatewayField(), testPageButton());
    setTabOrder(testPageButton(), saveButton());
}

QByteArray WidgetLan::buildTestPage() const
{
    const TestPage::NetworkFields fields{macField()->text(), dhcpAddressField()->text(),
                                         dhcpNetmaskField()->text(), staticAddressField()->text(),
                                         staticNetmaskField()->text()};
    return TestPage::ethernet(fields, QDateTime::currentDateTime(),
                              g_hostCmd.isRx100(), g_conf.language() != 1);
}

bool WidgetLan::sendStaticIp(const StaticIpRecord &record)
{
    return g_hostCmd.SetLanStaticIp(record);
}

#pragma once

#include "pages/networkpage.h"

// The Ethernet tab: the printer's wired addresses, its static configuration and the
// Ethernet test page.
class WidgetLan : public NetworkPage
{
    Q_OBJECT

public:
    explicit WidgetLan(QWidget *parent = nullptr);

    using NetworkPage::fill;
    void fill(const NetworkInformation &info) override;

protected:
    QByteArray buildTestPage() const override;
    bool sendStaticIp(const StaticIpRecord &record) override;
};

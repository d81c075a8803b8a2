#pragma once

#include "pages/networkpage.h"

// The Wi-Fi tab: the printer's wireless addresses and static configuration, the network it
// is joined to (changed through DialogConfigureWiFi) and the Wi-Fi test page.
class WidgetWiFi : public NetworkPage
{
    Q_OBJECT

public:
    explicit WidgetWiFi(QWidget *parent = nullptr);

    using NetworkPage::fill;
    // Also the network the printer is joined to.
    void fill(const NetworkInformation &info) override;
    QString ssid() const;

public slots:
    void doConfigure();

protected:
    QByteArray buildTestPage() const override;
    bool sendStaticIp(const StaticIpRecord &record) override;

private:
    QLineEdit *m_ssid;
    QPushButton *m_configure;
};

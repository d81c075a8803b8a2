#pragma once

#include "pages/settingspage.h"
#include "pages/testpage.h"

#include <QByteArray>
#include <QHostAddress>

class QLineEdit;
struct NetworkInformation;
struct StaticIpRecord;

// True when the one bits of the netmask run from the top without a gap; 255.255.255.255 and
// texts that are not an IPv4 address (which count as 0.0.0.0, a valid mask) aside.
bool isValidNetmask(const QString &text);

// What the Ethernet and the Wi-Fi tabs share: the interface's MAC and DHCP addresses, its
// static configuration with Save, and a test page printed over a raw connection to the
// printer's port 9100.
class NetworkPage : public SettingsPage
{
    Q_OBJECT

public:
    // The page's interface in an answer to GetNetworkInfo; the MAC shows in capitals.
    virtual void fill(const NetworkInformation &info) = 0;
    // The page's triple of an answer to GetStaticIp.
    void fill(const StaticIpRecord &record);
    // What the page shows, as its test page prints it.
    TestPage::NetworkFields addresses() const;
    // The static configuration as Save sends it.
    StaticIpRecord staticIp() const;
    QPushButton *testPageButton() const { return m_testPage; }
    // The last test page built, as sent.
    const QByteArray &testPageBytes() const { return m_testPageBytes; }

    // Where a test page goes: the static address when it is usable, else the DHCP address;
    // null when neither is.
    QHostAddress testPageTarget() const;

public slots:
    void doPrintTestPage();
    void doSave() override;

protected:
    explicit NetworkPage(QWidget *parent = nullptr);
    // Adds the six address rows; a page adds its own rows after them.
    void addAddressRows();
    // Places the buttons left of Save, in this order; focus runs from the static fields
    // through them to Save.
    void addButtons(const QList<QPushButton *> &buttons);
    // Every address field but the gateway, which GetNetworkInfo does not carry; Save off.
    void fillAddresses(const TestPage::NetworkFields &fields);

    virtual QByteArray buildTestPage() const = 0;
    virtual bool sendStaticIp(const StaticIpRecord &record) = 0;

private:
    // Tells why the field's text cannot be sent, if it cannot, and puts the cursor there.
    bool refuses(QLineEdit *field, bool required);

    QLineEdit *m_mac;
    QLineEdit *m_dhcpAddress;
    QLineEdit *m_dhcpNetmask;
    QLineEdit *m_staticAddress;
    QLineEdit *m_staticNetmask;
    QLineEdit *m_staticGateway;
    QPushButton *m_testPage;
    QByteArray m_testPageBytes;
};

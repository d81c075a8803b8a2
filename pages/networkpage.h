#pragma once

#include "pages/settingspage.h"

#include <QAbstractSocket>
#include <QByteArray>

class QLineEdit;
class QTcpSocket;
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
    static constexpr int CloseDelayMs = 500;

    QLineEdit *macField() const { return m_mac; }
    QLineEdit *dhcpAddressField() const { return m_dhcpAddress; }
    QLineEdit *dhcpNetmaskField() const { return m_dhcpNetmask; }
    QLineEdit *staticAddressField() const { return m_staticAddress; }
    QLineEdit *staticNetmaskField() const { return m_staticNetmask; }
    QLineEdit *staticGatewayField() const { return m_staticGateway; }
    QPushButton *testPageButton() const { return m_testPage; }
    // The last test page built, as sent.
    const QByteArray &testPageBytes() const { return m_testPageBytes; }

    // Where a test page goes: the static address when it is usable, else the DHCP address;
    // null when neither is.
    QHostAddress testPageTarget() const;

public slots:
    void doPrintTestPage();
    void doSave() override;
    void onTcpSocketStateChanged(QAbstractSocket::SocketState state);
    void onTcpSocketError(QAbstractSocket::SocketError error);

protected:
    explicit NetworkPage(QWidget *parent = nullptr);
    // Adds the six address rows; a page adds its own rows after them, and places the test
    // page button among its buttons.
    void addAddressRows();
    void timerEvent(QTimerEvent *event) override;

    virtual QByteArray buildTestPage() const = 0;
    virtual bool sendStaticIp(const StaticIpRecord &record) = 0;

private:
    QLineEdit *m_mac;
    QLineEdit *m_dhcpAddress;
    QLineEdit *m_dhcpNetmask;
    QLineEdit *m_staticAddress;
    QLineEdit *m_staticNetmask;
    QLineEdit *m_staticGateway;
    QPushButton *m_testPage;
    QTcpSocket *m_socket = nullptr;
    QByteArray m_testPageBytes;
    int m_closeTimer = 0;
};

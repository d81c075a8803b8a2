#pragma once

#include "protocol/hostcmddevinfo.h"

#include <QHostAddress>
#include <QObject>

class TcpPrinter;
class UsbPrinter;

// The one transport object: owns the command links, keeps at most one open, writes every
// packet, and announces the printer once its handshake answer arrived.
class Transceiver : public QObject
{
    Q_OBJECT

public:
    enum LinkType { LinkNone = 0, LinkUsb = 1, LinkTcp = 2 };
    // Whether g_hostCmd already holds the printer's project and model (a discovered
    // printer) or must take them from the handshake (a printer reached by its address).
    enum Identify { IdentifyKnown, IdentifyByHandshake };

    explicit Transceiver(QObject *parent = nullptr);
    ~Transceiver() override;

    bool connectTcp(const QHostAddress &address, Identify identify = IdentifyKnown);
    // Opens the USB printer at a device path. With probe set the link is open only to read
    // the printer's device record: its handshake answer announces nothing.
    bool openUsb(const QString &interfaceName, bool probe);
    void close();
    bool write(const char *data, qint64 size, int milliseconds);

    int linkType() const { return m_linkType; }
    QHostAddress address() const { return m_address; }
    bool probing() const { return m_probing; }
    TcpPrinter *tcpPrinter() const { return m_tcp; }
    UsbPrinter *usbPrinter() const { return m_usb; }

signals:
    void connected();
    void disconnected();
    void bytesWritten(qint64 bytes);

public slots:
    void onConnected();
    void onDeviceFound(host_cmd_dev_info_t devinfo);

private:
    UsbPrinter *m_usb;
    TcpPrinter *m_tcp;
    int m_linkType = LinkNone;
    QHostAddress m_address;
    bool m_probing = false;
    Identify m_identify = IdentifyKnown;
};

extern Transceiver *g_transceiver;

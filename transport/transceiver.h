#pragma once

#include "protocol/hostcmddevinfo.h"

#include <QHostAddress>
#include <QObject>

class QTimer;
class TcpPrinter;
class UsbPrinter;

// The one transport object: owns the command links, keeps at most one open, writes every
// packet, and announces the printer once its handshake answer arrived.
class Transceiver : public QObject
{
    Q_OBJECT

public:
    enum LinkType { LinkNone, LinkUsb, LinkTcp };
    Q_ENUM(LinkType)
    // Whether g_hostCmd already holds the printer's project and model (a discovered
    // printer) or must take them from the handshake (a printer reached by its address).
    enum Identify { IdentifyKnown, IdentifyByHandshake };

    // A link whose printer has not answered the handshake this long after the link came up
    // is given up (ms).
    static constexpr int HandshakeTimeoutMs = 5000;

    explicit Transceiver(QObject *parent = nullptr);
    ~Transceiver() override;

    bool connectTcp(const QHostAddress &address, Identify identify = IdentifyKnown);
    // Opens the USB printer at a device path. With probe set the link is open only to read
    // the printer's device record: its handshake answer announces nothing.
    bool openUsb(const QString &interfaceName, bool probe);
    void close();
    // Opens the last link the tool opened (not a probe) again, to the same address or device
    // path, as a printer switched off and on is found again; whatever is open is closed
    // first. Ending the link's session is the one way to make a printer drop what it is in
    // the middle of, such as a file it is reading. False when there is no such link or it
    // cannot be opened at once (a socket still closing, a device still held).
    bool reopen();
    // Whether the link open now was opened by reopen(): its announcement is of the printer the
    // window already shows, unless the serial number says otherwise.
    bool reopened() const { return m_reopened; }
    bool write(const char *data, qint64 size, int milliseconds);

    LinkType linkType() const { return m_linkType; }
    QHostAddress address() const { return m_address; }
    bool probing() const { return m_probing; }
    TcpPrinter *tcpPrinter() const { return m_tcp; }
    UsbPrinter *usbPrinter() const { return m_usb; }
    // The device record of the last handshake answer announced.
    const host_cmd_dev_info_t &device() const { return m_device; }
    void setHandshakeTimeout(int milliseconds) { m_handshakeTimeoutMs = milliseconds; }

signals:
    void connected();
    void disconnected();
    void bytesWritten(qint64 bytes);
    // An attempt ended before the printer was announced: the connection could not be made,
    // or the printer did not answer the handshake. The link is closed by then; message says
    // what happened, in words for the technician. A link that was announced and is lost
    // reports disconnected() instead.
    void connectFailed(const QString &message);

public slots:
    void onConnected();
    void onDeviceFound(host_cmd_dev_info_t devinfo);

private:
    void onTcpDisconnected();
    void onHandshakeTimeout();
    void failAttempt(const QString &message);

    UsbPrinter *m_usb;
    TcpPrinter *m_tcp;
    LinkType m_linkType = LinkNone;
    QHostAddress m_address;
    bool m_probing = false;
    Identify m_identify = IdentifyKnown;
    // Whether the printer of the current link was announced; kept past close() so that the
    // closed link's late disconnection still reads as one.
    bool m_announced = false;
    host_cmd_dev_info_t m_device{};
    // What reopen() opens again.
    LinkType m_lastLink = LinkNone;
    QHostAddress m_lastAddress;
    QString m_lastDevice;
    Identify m_lastIdentify = IdentifyKnown;
    bool m_reopened = false;
    QTimer *m_handshakeTimer;
    int m_handshakeTimeoutMs = HandshakeTimeoutMs;
};

extern Transceiver *g_transceiver;

#include "transport/transceiver.h"

#include "app/log.h"
#include "protocol/hostcmd.h"
#include "transport/tcpprinter.h"
#include "transport/usbprinter.h"

#include <QGuiApplication>
#include <QTimer>

Transceiver *g_transceiver = nullptr;

namespace {

// Shift alone while a link comes up asks for the fixed nonce, so a printer always yields
// the same session key (handy when reading a capture).
bool shiftAlone()
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return false;
    return QGuiApplication::queryKeyboardModifiers() == Qt::ShiftModifier;
}

} // namespace

Transceiver::Transceiver(QObject *parent)
    : QObject(parent)
    , m_usb(new UsbPrinter(this))
    , m_tcp(new TcpPrinter(this))
    , m_handshakeTimer(new QTimer(this))
{
    m_handshakeTimer->setSingleShot(true);
    connect(m_handshakeTimer, &QTimer::timeout, this, &Transceiver::onHandshakeTimeout);
    qRegisterMetaType<host_cmd_dev_info_t>("host_cmd_dev_info_t");
    connect(m_usb, &UsbPrinter::connected, this, &Transceiver::onConnected, Qt::QueuedConnection);
    connect(m_usb, &UsbPrinter::disconnected, this, &Transceiver::disconnected);
    connect(m_usb, &UsbPrinter::bytesWritten, this, &Transceiver::bytesWritten);
    connect(m_tcp, &TcpPrinter::connected, this, &Transceiver::onConnected, Qt::QueuedConnection);
    connect(m_tcp, &TcpPrinter::disconnected, this, &Transceiver::onTcpDisconnected);
    connect(m_tcp, &TcpPrinter::bytesWritten, this, &Transceiver::bytesWritten);
    connect(&g_hostCmd, &HostCmd::deviceFound, this, &Transceiver::onDeviceFound,
            Qt::QueuedConnection);
}

Transceiver::~Transceiver() = default;

bool Transceiver::connectTcp(const QHostAddress &address, Identify identify)
{
    if (m_linkType != LinkNone)
        return false;
    if (!m_tcp->connectToPrinter(address, Wire::CommandPort))
        return false;
    m_linkType = LinkTcp;
    m_address = address;
    m_identify = identify;
    m_announced = false;
    m_lastLink = LinkTcp;
    m_lastAddress = address;
    m_lastIdentify = identify;
    m_reopened = false;
    return true;
}

bool Transceiver::openUsb(const QString &interfaceName, bool probe)
{
    if (m_linkType != LinkNone)
        return false;
    if (!m_usb->usbOpen(interfaceName))
        return false;
    m_linkType = LinkUsb;
    m_address = QHostAddress();
    m_probing = probe;
    m_identify = IdentifyKnown;
    m_announced = false;
    m_reopened = false;
    if (!probe) {
        m_lastLink = LinkUsb;
        m_lastDevice = interfaceName;
    }
    return true;
}

bool Transceiver::reopen()
{
    close();
    bool opened = false;
    if (m_lastLink == LinkTcp)
        opened = connectTcp(m_lastAddress, m_lastIdentify);
    else if (m_lastLink == LinkUsb)
        opened = openUsb(m_lastDevice, false);
    m_reopened = opened;
    return opened;
}

void Transceiver::close()
{
    // Marked closed first: a link that reports its end at once must not read as lost.
    m_linkType = LinkNone;
    m_address = QHostAddress();
    m_probing = false;
    m_identify = IdentifyKnown;
    m_handshakeTimer->stop();
    m_usb->usbClose();
    m_tcp->disconnectFromPrinter();
}

bool Transceiver::write(const char *data, qint64 size, int milliseconds)
{
    switch (m_linkType) {
    case LinkUsb:
        return m_usb->write(data, quint32(size), quint32(milliseconds));
    case LinkTcp:
        return m_tcp->write(data, size, milliseconds);
    default:
        return false;
    }
}

void Transceiver::onConnected()
{
    if (m_linkType == LinkNone)
        return;
    g_hostCmd.sendHello(shiftAlone());
    // A probe has the connect dialog's own step time.
    if (!m_probing)
        m_handshakeTimer->start(m_handshakeTimeoutMs);
}

void Transceiver::onTcpDisconnected()
{
    if (m_announced) {
        emit disconnected();
        return;
    }
    // Never announced: not a lost printer but a failed attempt, unless the caller gave it up.
    if (m_linkType != LinkTcp)
        return;
    if (m_tcp->reached())
        failAttempt(tr("The printer at %1 did not answer the handshake: %2")
                        .arg(m_address.toString(), m_tcp->errorText()));
    else
        failAttempt(tr("Cannot connect to %1:%2: %3")
                        .arg(m_address.toString())
                        .arg(Wire::CommandPort)
                        .arg(m_tcp->errorText()));
}

void Transceiver::onHandshakeTimeout()
{
    if (m_linkType == LinkNone || m_announced)
        return;
    const QString where = m_linkType == LinkTcp ? m_address.toString() : QStringLiteral("USB");
    failAttempt(tr("The printer at %1 did not answer the handshake").arg(where));
}

void Transceiver::failAttempt(const QString &message)
{
    LOG_LINE("%s", qUtf8Printable(message));
    close();
    emit connectFailed(message);
}

void Transceiver::onDeviceFound(host_cmd_dev_info_t devinfo)
{
    // A late answer after close() announces nothing.
    if (m_linkType == LinkNone || m_probing)
        return;
    m_handshakeTimer->stop();
    m_announced = true;
    m_device = devinfo;
    // Before the announcement, so that the tabs follow the model from the start.
    if (m_identify == IdentifyByHandshake) {
        g_hostCmd.setProject(devinfo.projectText());
        g_hostCmd.setModel(devinfo.modelText());
    }
    emit connected();
}

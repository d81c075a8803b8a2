#include "transport/transceiver.h"

#include "protocol/hostcmd.h"
#include "transport/tcpprinter.h"
#include "transport/usbprinter.h"

#include <QGuiApplication>

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
{
    qRegisterMetaType<host_cmd_dev_info_t>("host_cmd_dev_info_t");
    connect(m_usb, &UsbPrinter::connected, this, &Transceiver::onConnected, Qt::QueuedConnection);
    connect(m_usb, &UsbPrinter::disconnected, this, &Transceiver::disconnected);
    connect(m_usb, &UsbPrinter::bytesWritten, this, &Transceiver::bytesWritten);
    connect(m_tcp, &TcpPrinter::connected, this, &Transceiver::onConnected, Qt::QueuedConnection);
    connect(m_tcp, &TcpPrinter::disconnected, this, &Transceiver::disconnected);
    connect(m_tcp, &TcpPrinter::bytesWritten, this, &Transceiver::bytesWritten);
    connect(&g_hostCmd, &HostCmd::deviceFound, this, &Transceiver::onDeviceFound,
            Qt::QueuedConnection);
}

Transceiver::~Transceiver() = default;

bool Transceiver::connectTcp(const QHostAddress &address, Identify identify)
{
    if (m_linkType != LinkNone)
        return false;
    if (!m_tcp->connectToPrinter(address, TcpPrinter::CommandPort))
        return false;
    m_linkType = LinkTcp;
    m_address = address;
    m_identify = identify;
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
    return true;
}

void Transceiver::close()
{
    m_usb->usbClose();
    m_tcp->disconnectFromPrinter();
    m_linkType = LinkNone;
    m_address = QHostAddress();
    m_probing = false;
    m_identify = IdentifyKnown;
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
    g_hostCmd.sendHello(shiftAlone());
}

void Transceiver::onDeviceFound(host_cmd_dev_info_t devinfo)
{
    // A late answer after close() announces nothing.
    if (m_linkType == LinkNone || m_probing)
        return;
    // Before the announcement, so that the tabs follow the model from the start.
    if (m_identify == IdentifyByHandshake) {
        g_hostCmd.setProject(devinfo.projectText());
        g_hostCmd.setModel(devinfo.modelText());
    }
    emit connected();
}

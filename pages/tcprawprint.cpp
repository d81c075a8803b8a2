#include "pages/tcprawprint.h"

#include "app/log.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

#include <QTcpSocket>
#include <QTimerEvent>

int TcpRawPrint::s_inFlight = 0;

TcpRawPrint::TcpRawPrint(const QHostAddress &address, const QByteArray &data, QObject *parent)
    : QObject(parent)
    , m_address(address)
    , m_data(data)
    , m_socket(new QTcpSocket(this))
{
    ++s_inFlight;
    connect(m_socket, &QTcpSocket::stateChanged, this, &TcpRawPrint::onSocketStateChanged);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpRawPrint::onSocketError);
    m_socket->connectToHost(m_address, Wire::RawPrintPort, QIODevice::ReadWrite);
}

TcpRawPrint::~TcpRawPrint()
{
    --s_inFlight;
}

void TcpRawPrint::onSocketStateChanged(QAbstractSocket::SocketState state)
{
    if (state == QAbstractSocket::ConnectedState) {
        LOG_LINE("TCP socket connected.");
        m_socket->write(m_data);
        m_closeTimer = startTimer(CloseDelayMs, Qt::CoarseTimer);
    } else if (state == QAbstractSocket::UnconnectedState) {
        LOG_LINE("TCP socket disconnected.");
        // The socket is a child: both go once the event loop is done with the socket.
        deleteLater();
    }
}

void TcpRawPrint::onSocketError(QAbstractSocket::SocketError error)
{
    Q_UNUSED(error)
    m_socket->abort();
}

void TcpRawPrint::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_closeTimer)
        return;
    killTimer(m_closeTimer);
    m_closeTimer = 0;
    // Connected: let the bytes drain before closing; anything else is cut.
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost();
    else
        m_socket->abort();
}

void rawPrint(const QByteArray &data)
{
    rawPrint(data.constData(), data.size());
}

void rawPrint(const char *data, int length)
{
    if (!g_transceiver || length <= 0)
        return;
    switch (g_transceiver->linkType()) {
    case Transceiver::LinkUsb:
        g_transceiver->write(data, length, HostCmd::WriteTimeoutMs);
        break;
    case Transceiver::LinkTcp:
        new TcpRawPrint(g_transceiver->address(), QByteArray(data, length));
        break;
    default:
        break;
    }
}

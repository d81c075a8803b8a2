#include "transport/tcpprinter.h"

#include "app/log.h"
#include "protocol/hostcmd.h"

#include <QTcpSocket>
#include <QTimerEvent>

TcpPrinter::TcpPrinter(QObject *parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
{
    // Qt forgets options set before the connection exists, so they are set once it does.
    // Requests are small and each waits for its answer: Nagle's delay would only stall them.
    connect(m_socket, &QTcpSocket::connected, this, [this] {
        m_socket->setSocketOption(QAbstractSocket::KeepAliveOption, 1);
        m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    });
    connect(m_socket, &QTcpSocket::connected, this, &TcpPrinter::connected);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &TcpPrinter::bytesWritten);
    connect(m_socket, &QTcpSocket::readyRead, this, &TcpPrinter::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpPrinter::onError);
    connect(m_socket, &QTcpSocket::stateChanged, this, &TcpPrinter::onStateChanged);
}

TcpPrinter::~TcpPrinter()
{
    // No signals from a link that is going away.
    m_socket->blockSignals(true);
    disconnectFromPrinter();
}

QAbstractSocket::SocketState TcpPrinter::state() const
{
    return m_socket->state();
}

bool TcpPrinter::connectToPrinter(const QHostAddress &address, quint16 port)
{
    if (m_socket->state() != QAbstractSocket::UnconnectedState)
        return false;
    m_address = address;
    m_socket->connectToHost(address, port, QIODevice::ReadWrite);
    return true;
}

void TcpPrinter::disconnectFromPrinter()
{
    switch (m_socket->state()) {
    case QAbstractSocket::UnconnectedState:
        break;
    case QAbstractSocket::ConnectedState:
        m_socket->disconnectFromHost();
        break;
    default:
        m_socket->abort();
        break;
    }
}

bool TcpPrinter::write(const char *data, qint64 size, int milliseconds)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    if (m_socket->write(data, size) == -1)
        return false;
    m_heartbeatTicks = 0;
    m_socket->waitForBytesWritten(milliseconds);
    return true;
}

void TcpPrinter::onReadyRead()
{
    uchar buffer[ReadChunk];
    const qint64 size = m_socket->read(reinterpret_cast<char *>(buffer), ReadChunk);
    if (size < 0)
        return;
    m_heartbeatTicks = 0;

    quint32 offset = 0;
    while (offset < quint32(size)) {
        const quint32 used = g_hostCmd.receive(buffer + offset, quint32(size) - offset);
        if (used == 0)
            break;
        offset += used;
    }

    // Qt does not announce bytes that were already buffered when we read; take the rest in
    // later turns of the event loop so one flood cannot hold the GUI thread.
    if (m_socket->bytesAvailable() > 0)
        QMetaObject::invokeMethod(this, &TcpPrinter::onReadyRead, Qt::QueuedConnection);
}

void TcpPrinter::onError(QAbstractSocket::SocketError error)
{
    LOG_LINE("error=%d", int(error));
    m_socket->abort();
}

void TcpPrinter::onStateChanged(QAbstractSocket::SocketState state)
{
    const QAbstractSocket::SocketState previous = m_lastState;
    m_lastState = state;

    if (state == QAbstractSocket::ConnectedState) {
        m_heartbeatTicks = 0;
        if (m_heartbeatTimerId == 0)
            m_heartbeatTimerId = startTimer(m_heartbeatIntervalMs, Qt::CoarseTimer);
    }
    emit stateChanged(state);
    if (state == QAbstractSocket::UnconnectedState && previous != QAbstractSocket::UnconnectedState)
        emit disconnected();
}

void TcpPrinter::stopHeartbeat()
{
    if (m_heartbeatTimerId != 0)
        killTimer(m_heartbeatTimerId);
    m_heartbeatTimerId = 0;
}

void TcpPrinter::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_heartbeatTimerId) {
        killTimer(event->timerId());
        return;
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        stopHeartbeat();
        return;
    }
    if (++m_heartbeatTicks >= HeartbeatLimit) {
        LOG_LINE("Heartbeat lost");
        m_socket->abort();
    }
}

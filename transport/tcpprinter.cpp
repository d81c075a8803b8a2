#include "transport/tcpprinter.h"

#include "app/log.h"
#include "protocol/hostcmd.h"

#include <QTcpSocket>
#include <QTimer>
#include <QTimerEvent>

TcpPrinter::TcpPrinter(QObject *parent)
    : QObject(parent)
    , m_socket(new QTcpSocket(this))
    , m_connectTimer(new QTimer(this))
{
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, &TcpPrinter::onConnectTimeout);
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
    m_reached = false;
    m_error = NoError;
    m_connectTimer->start(m_connectTimeoutMs);
    m_socket->connectToHost(address, port, QIODevice::ReadWrite);
    return true;
}

void TcpPrinter::onConnectTimeout()
{
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        return;
    m_error = QAbstractSocket::SocketTimeoutError;
    m_socket->abort();
}

QString TcpPrinter::errorText() const
{
    switch (m_error) {
    case QAbstractSocket::ConnectionRefusedError:
        return tr("connection refused (nothing answers on that port)");
    case QAbstractSocket::RemoteHostClosedError:
        return tr("the printer closed the connection");
    case QAbstractSocket::HostNotFoundError:
        return tr("address not found");
    case QAbstractSocket::SocketTimeoutError:
        return tr("no answer within %1 s (wrong address, or the printer is off)")
            .arg(m_connectTimeoutMs / 1000.0);
    case QAbstractSocket::NetworkError:
        // The system's words: "Network unreachable", "Host unreachable", ...
        return m_socket->errorString();
    case HeartbeatLost:
        return tr("the printer sent nothing for %1 s").arg(HeartbeatLimit);
    case NoError:
        return tr("the connection was closed");
    default:
        return m_socket->errorString();
    }
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
    // The first error is the cause; the abort below may add others.
    if (m_error == NoError)
        m_error = int(error);
    // An attempt that never got through is logged once, with its cause, by the transceiver.
    if (m_reached)
        LOG_LINE("error=%d", int(error));
    m_socket->abort();
}

void TcpPrinter::onStateChanged(QAbstractSocket::SocketState state)
{
    const QAbstractSocket::SocketState previous = m_lastState;
    m_lastState = state;

    if (state == QAbstractSocket::ConnectedState) {
        m_connectTimer->stop();
        m_reached = true;
        m_heartbeatTicks = 0;
        if (m_heartbeatTimerId == 0)
            m_heartbeatTimerId = startTimer(m_heartbeatIntervalMs, Qt::CoarseTimer);
    }
    // Qt reports a refused or unreachable attempt as unconnected before it reports the error.
    if (state == QAbstractSocket::UnconnectedState && m_error == NoError
        && m_socket->error() != QAbstractSocket::UnknownSocketError)
        m_error = m_socket->error();
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
        m_error = HeartbeatLost;
        m_socket->abort();
    }
}

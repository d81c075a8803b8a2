#include "pages/tcprawprint.h"

#include "app/activity.h"
#include "app/displaytext.h"
#include "app/log.h"
#include "protocol/hostcmd.h"
#include "transport/transceiver.h"

#include <QTcpSocket>
#include <QTimerEvent>

int TcpRawPrint::s_inFlight = 0;

TcpRawPrint::TcpRawPrint(const QHostAddress &address, const QByteArray &data, const QString &what,
                         QObject *parent)
    : QObject(parent)
    , m_address(address)
    , m_data(data)
    , m_what(what)
    , m_socket(new QTcpSocket(this))
{
    ++s_inFlight;
    connect(m_socket, &QTcpSocket::stateChanged, this, &TcpRawPrint::onSocketStateChanged);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &TcpRawPrint::onSocketError);
    connect(m_socket, &QTcpSocket::bytesWritten, this, [this](qint64 bytes) { m_written += bytes; });
    m_connectTimer = startTimer(ConnectTimeoutMs, Qt::CoarseTimer);
    m_socket->connectToHost(m_address, Wire::RawPrintPort, QIODevice::ReadWrite);
}

TcpRawPrint::~TcpRawPrint()
{
    --s_inFlight;
}

QString TcpRawPrint::sentText(const QString &what, const QString &destination, qint64 bytes)
{
    return tr("%1 sent to %2 (%3 bytes)").arg(what, destination, DisplayText::grouped(bytes));
}

QString TcpRawPrint::notSentText(const QString &what, const QString &destination, const QString &cause)
{
    return tr("%1 not sent: %2 %3").arg(what, destination, cause);
}

QString TcpRawPrint::causeText(QAbstractSocket::SocketError error, const QString &systemText)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return tr("refused the connection");
    case QAbstractSocket::RemoteHostClosedError:
        return tr("closed the connection before the page was written");
    case QAbstractSocket::SocketTimeoutError:
        return tr("did not answer within %1 s (wrong address, or the printer is off)")
            .arg(ConnectTimeoutMs / 1000);
    default:
        // The system's words: "Network unreachable", "Host unreachable", ...
        return tr("could not be reached: %1").arg(systemText);
    }
}

QString TcpRawPrint::destination() const
{
    return QStringLiteral("%1:%2").arg(m_address.toString()).arg(Wire::RawPrintPort);
}

void TcpRawPrint::onSocketStateChanged(QAbstractSocket::SocketState state)
{
    if (state == QAbstractSocket::ConnectedState) {
        LOG_LINE("TCP socket connected.");
        killTimer(m_connectTimer);
        m_connectTimer = 0;
        m_socket->write(m_data);
        m_closeTimer = startTimer(CloseDelayMs, Qt::CoarseTimer);
    } else if (state == QAbstractSocket::UnconnectedState) {
        LOG_LINE("TCP socket disconnected.");
        // A refused connection reports its state before its error.
        if (m_error == QAbstractSocket::UnknownSocketError) {
            m_error = m_socket->error();
            m_errorText = m_socket->errorString();
        }
        // Written whole counts as sent, even when the printer closed first.
        const bool sent = m_written >= m_data.size();
        const QString outcome = sent ? sentText(m_what, destination(), m_data.size())
                                     : notSentText(m_what, destination(), causeText(m_error, m_errorText));
        Activity::report(outcome);
        emit finished(sent, outcome);
        // The socket is a child: both go once the event loop is done with the socket.
        disconnect(m_socket, nullptr, this, nullptr);
        deleteLater();
    }
}

void TcpRawPrint::onSocketError(QAbstractSocket::SocketError error)
{
    // The first error is the cause; the abort may add others.
    if (m_error == QAbstractSocket::UnknownSocketError) {
        m_error = error;
        m_errorText = m_socket->errorString();
    }
    m_socket->abort();
}

void TcpRawPrint::timerEvent(QTimerEvent *event)
{
    killTimer(event->timerId());
    if (event->timerId() == m_connectTimer) {
        m_connectTimer = 0;
        if (m_socket->state() != QAbstractSocket::ConnectedState) {
            m_error = QAbstractSocket::SocketTimeoutError;
            m_socket->abort();
        }
        return;
    }
    if (event->timerId() != m_closeTimer)
        return;
    m_closeTimer = 0;
    // Connected: let the bytes drain before closing; anything else is cut.
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost();
    else
        m_socket->abort();
}

void rawPrint(const QByteArray &data, const QString &what)
{
    rawPrint(data, what, nullptr, RawPrintDone());
}

void rawPrint(const QByteArray &data, const QString &what, QObject *context, const RawPrintDone &done)
{
    if (data.isEmpty())
        return;
    const bool told = context && done;
    switch (g_transceiver ? g_transceiver->linkType() : Transceiver::LinkNone) {
    case Transceiver::LinkUsb: {
        const bool sent = g_transceiver->write(data.constData(), data.size(), HostCmd::WriteTimeoutMs);
        const QString outcome
            = sent ? TcpRawPrint::sentText(what, TcpRawPrint::tr("the USB printer"), data.size())
                   : TcpRawPrint::tr("%1 not sent: the USB printer did not take the bytes").arg(what);
        Activity::report(outcome);
        if (told)
            done(sent, outcome);
        break;
    }
    case Transceiver::LinkTcp: {
        auto *job = new TcpRawPrint(g_transceiver->address(), data, what);
        if (told)
            QObject::connect(job, &TcpRawPrint::finished, context, done);
        break;
    }
    default:
        Activity::report(TcpRawPrint::tr("%1 not sent: no printer is connected").arg(what));
        break;
    }
}

#include "emulator/printeremulator.h"

#include "protocol/hostcmd.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimerEvent>

using namespace PacketCodec;

PrinterEmulator::PrinterEmulator(const EmulatorOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &PrinterEmulator::onNewConnection);
}

bool PrinterEmulator::listen()
{
    if (!m_server->listen(m_options.listen, m_options.port))
        return false;
    say(QStringLiteral("listening on %1:%2").arg(m_options.listen.toString()).arg(m_server->serverPort()));
    return true;
}

QString PrinterEmulator::errorString() const
{
    return m_server->errorString();
}

void PrinterEmulator::say(const QString &line)
{
    emit logLine(line);
}

void PrinterEmulator::onNewConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        if (m_socket) {
            m_socket->abort();
            m_socket->deleteLater();
        }
        m_socket = socket;
        m_receiver = PacketReceiver();
        m_requests = 0;
        if (m_keepAliveTimer)
            killTimer(m_keepAliveTimer);
        m_keepAliveTimer = 0;
        say(QStringLiteral("connection from %1:%2").arg(socket->peerAddress().toString()).arg(socket->peerPort()));
        connect(socket, &QTcpSocket::readyRead, this, &PrinterEmulator::onReadyRead);
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            say(QStringLiteral("connection closed"));
            if (socket == m_socket) {
                m_socket = nullptr;
                if (m_keepAliveTimer)
                    killTimer(m_keepAliveTimer);
                m_keepAliveTimer = 0;
            }
            socket->deleteLater();
        });
    }
}

void PrinterEmulator::onReadyRead()
{
    auto *socket = qobject_cast<QTcpSocket *>(sender());
    if (!socket || socket != m_socket)
        return;
    const QByteArray chunk = socket->readAll();
    if (m_options.silent)
        return;
    const auto *data = reinterpret_cast<const uchar *>(chunk.constData());
    quint32 offset = 0;
    while (offset < quint32(chunk.size()) && m_socket == socket) {
        const PacketReceiver::Result r = m_receiver.receive(data + offset, quint32(chunk.size()) - offset, m_sessionKey);
        if (r.consumed == 0) {
            say(QStringLiteral("dropped %1 bytes that are not a packet").arg(quint32(chunk.size()) - offset));
            break;
        }
        offset += r.consumed;
        if (r.event != PacketReceiver::Event::None)
            handle(r.event, m_receiver.payload(), r.length);
    }
}

void PrinterEmulator::handle(PacketReceiver::Event event, const uchar *payload, int length)
{
    if (event == PacketReceiver::Event::Handshake) {
        if (length < NonceSize) {
            say(QStringLiteral("dropped a handshake that did not decrypt"));
            return;
        }
        const quint32 nonce = quint32(payload[0]) | quint32(payload[1]) << 8 | quint32(payload[2]) << 16
                              | quint32(payload[3]) << 24;
        const host_cmd_dev_info_t record = m_state.deviceRecord();
        m_sessionKey = deriveSessionKey(nonce, record.sn, sizeof record.sn);
        say(QStringLiteral("hello nonce=%1, session key derived").arg(nonce));
        emit requestReceived(0, QByteArray(reinterpret_cast<const char *>(payload), length));
        // The handshake answer must reach the tool in one piece: it states no length.
        send(encodePacket(record.toBytes(), builtInKey(), true), true);
        if (m_options.keepAliveMs > 0 && m_keepAliveTimer == 0)
            m_keepAliveTimer = startTimer(m_options.keepAliveMs);
    } else {
        const QByteArray request(reinterpret_cast<const char *>(payload), length);
        const quint16 word = length >= 2 ? quint16(payload[0] | payload[1] << 8) : 0;
        say(QStringLiteral("request 0x%1 (%2 bytes)").arg(word, 4, 16, QLatin1Char('0')).arg(length));
        emit requestReceived(word, request);
        const QByteArray answer = m_state.answer(request);
        if (!answer.isEmpty()) {
            Key key = m_sessionKey;
            if (m_options.wrongKey)
                key[0] ^= 0x5a;
            send(encodePacket(answer, key, false), false);
        }
    }
    if (m_options.closeAfter > 0 && ++m_requests >= m_options.closeAfter && m_socket) {
        say(QStringLiteral("closing after %1 requests").arg(m_requests));
        m_socket->disconnectFromHost();
    }
}

void PrinterEmulator::send(const QByteArray &packet, bool whole)
{
    if (!m_socket)
        return;
    if (whole || m_options.chunk <= 0) {
        m_socket->write(packet);
        return;
    }
    for (int i = 0; i < packet.size(); i += m_options.chunk) {
        m_socket->write(packet.mid(i, m_options.chunk));
        m_socket->flush();
        QThread::msleep(2);
    }
}

void PrinterEmulator::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_keepAliveTimer) {
        killTimer(event->timerId());
        return;
    }
    if (m_socket)
        m_socket->write(keepAlivePacket());
}

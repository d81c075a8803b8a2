#include "emulator/emulatorsession.h"

#include <QTcpSocket>

#include <algorithm>

using namespace PacketCodec;

namespace {
// The tool takes a packet only when a read starts with at least this much of it.
constexpr int MinFirstPiece = HeaderSize + BlockSize;

// The flood: a tick every millisecond with a few keep-alives, a garbage burst every
// GarbageTicks ticks. The tool drops the rest of a read once it meets garbage, so garbage
// waits while requests are being answered, and an answer waits GarbageGapMs after garbage:
// a tool that reads within that time gets the two in separate reads.
constexpr int FloodTickMs = 1;
constexpr int FloodStartMs = 50; // the handshake answer must be read alone
constexpr int KeepAlivesPerTick = 4;
constexpr int GarbageTicks = 20;
constexpr int QuietAfterRequestMs = 300;
constexpr int GarbageGapMs = 50;
} // namespace

EmulatorSession::EmulatorSession(QTcpSocket *socket, PrinterState &state,
                                 const EmulatorOptions &options, QObject *parent)
    : EmulatorSession(static_cast<QIODevice *>(socket),
                      endpoint(socket->peerAddress(), socket->peerPort()), state, options, parent)
{
    m_socket = socket;
    m_socket->setParent(this);
    // Answers go out as they are made, as a printer's do, not held back by Nagle's delay.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(m_socket, &QTcpSocket::disconnected, this, &EmulatorSession::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &EmulatorSession::onError);
}

EmulatorSession::EmulatorSession(QIODevice *device, const QString &peer, PrinterState &state,
                                 const EmulatorOptions &options, QObject *parent)
    : QObject(parent)
    , m_device(device)
    , m_socket(nullptr)
    , m_options(options)
    , m_protocol(state, options.wrongKey, options.silent)
    , m_peer(peer)
{
    m_protocol.setSpoolDir(options.spoolDir);
    connect(m_device, &QIODevice::readyRead, this, &EmulatorSession::onReadyRead);

    m_pieceTimer.setInterval(std::max(0, options.chunkDelayMs));
    connect(&m_pieceTimer, &QTimer::timeout, this, &EmulatorSession::writeNextPiece);
    m_keepAliveTimer.setInterval(options.keepAliveMs);
    connect(&m_keepAliveTimer, &QTimer::timeout, this, &EmulatorSession::sendKeepAlive);
    m_floodTimer.setInterval(FloodTickMs);
    m_floodTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_floodTimer, &QTimer::timeout, this, &EmulatorSession::floodTick);
    // The same garbage on every run, so a failure can be replayed.
    m_random.seed(0x5eed);

    // Bytes that came with the connection were read before readyRead was connected.
    QTimer::singleShot(0, this, [this] {
        if (m_device->bytesAvailable() > 0)
            onReadyRead();
    });
}

EmulatorSession::~EmulatorSession()
{
    // Nothing from a device that goes away with its session.
    m_device->disconnect(this);
    if (m_socket)
        m_socket->abort();
}

void EmulatorSession::deviceGone()
{
    onDisconnected();
}

QString EmulatorSession::endpoint(const QHostAddress &address, quint16 port)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    if (isV4)
        return QStringLiteral("%1:%2").arg(QHostAddress(v4).toString()).arg(port);
    return QStringLiteral("[%1]:%2").arg(address.toString()).arg(port);
}

void EmulatorSession::onReadyRead()
{
    // One read is one chunk, as the tool reads its own side.
    QByteArray chunk = m_device->readAll();
    if (m_closing || chunk.isEmpty())
        return;
    // The restart strikes at its byte: what follows reaches a printer that is off.
    const FileUpload *upload = m_protocol.upload();
    bool restart = false;
    if (m_options.restartMidUpload > 0 && upload && !upload->isComplete()) {
        const qint64 left = qint64(m_options.restartMidUpload) - upload->received();
        if (chunk.size() >= left) {
            chunk.truncate(int(std::max<qint64>(0, left)));
            restart = true;
        }
    }
    const QVector<EmulatorProtocol::Event> events = m_protocol.feed(chunk);
    for (const EmulatorProtocol::Event &event : events) {
        handle(event);
        if (m_closing)
            break; // the rest of the chunk came after the last request --close-after allows
    }
    upload = m_protocol.upload();
    if (!restart && m_options.restartMidUpload > 0 && upload)
        restart = upload->received() >= quint32(m_options.restartMidUpload);
    if (restart && upload) {
        m_closing = true;
        m_floodTimer.stop();
        m_keepAliveTimer.stop();
        emit restartDue(QStringLiteral("upload %1: %2 of %3 bytes received")
                            .arg(QString::fromLatin1(upload->path()))
                            .arg(upload->received())
                            .arg(upload->size()));
    }
}

void EmulatorSession::handle(const EmulatorProtocol::Event &event)
{
    using Kind = EmulatorProtocol::Event::Kind;
    emit logLine(event.received);
    for (const QString &note : event.notes)
        emit logLine(note);
    if (event.kind != Kind::Hello && event.kind != Kind::Request) {
        if (!event.reply.isEmpty())
            emit logLine(event.reply);
        return;
    }

    ++m_requests;
    m_sinceRequest.start();
    emit requestReceived(event.kind == Kind::Hello ? quint16(0) : event.word, event.payload);
    if (m_options.silent) {
        emit logLine(QStringLiteral("no answer to %1: silent")
                         .arg(event.kind == Kind::Hello ? QStringLiteral("hello")
                                                        : EmulatorProtocol::describeWord(event.word)));
    } else {
        if (!event.reply.isEmpty())
            emit logLine(event.reply);
        // Each answer is a packet of its own, as the printer sends one per script or file.
        for (const QByteArray &packet : event.answers)
            send(packet, event.kind == Kind::Hello);
    }

    if (m_options.closeAfter > 0 && m_requests >= m_options.closeAfter) {
        m_closing = true;
        emit logLine(QStringLiteral("closing the connection after %1 requests").arg(m_requests));
        closeWhenDrained();
    }
}

void EmulatorSession::send(const QByteArray &packet, bool handshake)
{
    // A handshake packet states no length: the tool takes every whole block of the read that
    // holds it, so it must arrive in one piece and alone. It is never split.
    if (handshake || m_options.chunk <= 0 || packet.size() <= MinFirstPiece) {
        m_queue.enqueue({packet, handshake});
    } else {
        // A read that starts a packet with fewer than 20 of its bytes makes the tool drop
        // it, so the first piece is never shorter: pieces exercise the tool's reassembly
        // rather than just losing every answer.
        int at = 0;
        while (at < packet.size()) {
            const int n = at == 0 ? std::max(m_options.chunk, MinFirstPiece) : m_options.chunk;
            m_queue.enqueue({packet.mid(at, n), false});
            at += n;
        }
    }

    if (m_options.chunk <= 0 && !holdingForFlood()) {
        while (!m_queue.isEmpty())
            write(m_queue.dequeue());
    } else if (!m_pieceTimer.isActive()) {
        m_pieceTimer.start();
    }
}

void EmulatorSession::writeNextPiece()
{
    if (holdingForFlood())
        return;
    if (!m_queue.isEmpty())
        write(m_queue.dequeue());
    if (m_queue.isEmpty()) {
        m_pieceTimer.stop();
        closeWhenDrained();
    }
}

void EmulatorSession::write(const Piece &piece)
{
    if (m_socket ? m_socket->state() != QAbstractSocket::ConnectedState : !m_device->isOpen())
        return;
    m_device->write(piece.bytes);
    if (m_socket)
        m_socket->flush();
    // Only now: a keep-alive in the same read as the handshake answer would be lost with it.
    if (piece.handshake && m_options.keepAliveMs > 0 && !m_keepAliveTimer.isActive())
        m_keepAliveTimer.start();
    if (piece.handshake && m_options.flood && !m_floodTimer.isActive())
        QTimer::singleShot(FloodStartMs, &m_floodTimer, qOverload<>(&QTimer::start));
}

bool EmulatorSession::holdingForFlood() const
{
    return m_options.flood && m_sinceGarbage.isValid() && m_sinceGarbage.elapsed() < GarbageGapMs;
}

void EmulatorSession::floodTick()
{
    if (m_closing || !m_queue.isEmpty()
        || (m_socket ? m_socket->state() != QAbstractSocket::ConnectedState : !m_device->isOpen()))
        return;
    QByteArray bytes;
    for (int i = 0; i < KeepAlivesPerTick; ++i)
        bytes += keepAlivePacket();
    const bool quiet = !m_sinceRequest.isValid() || m_sinceRequest.elapsed() >= QuietAfterRequestMs;
    if (++m_floodTicks % GarbageTicks == 0 && quiet) {
        bytes += m_protocol.garbage(m_random);
        m_sinceGarbage.start();
    }
    m_device->write(bytes);
    if (m_socket)
        m_socket->flush();
}

void EmulatorSession::sendKeepAlive()
{
    if (m_closing)
        return;
    // Through the queue, so it never lands inside an answer still going out in pieces.
    send(keepAlivePacket(), false);
}

void EmulatorSession::closeWhenDrained()
{
    if (!m_closing || !m_queue.isEmpty())
        return;
    m_keepAliveTimer.stop();
    m_floodTimer.stop();
    if (m_socket) {
        // Writes what is still buffered, then closes.
        m_socket->disconnectFromHost();
        return;
    }
    // A printer on USB that closes its end is a printer unplugged.
    m_device->close();
    onDisconnected();
}

void EmulatorSession::onError(QAbstractSocket::SocketError error)
{
    if (error != QAbstractSocket::RemoteHostClosedError)
        emit logLine(QStringLiteral("connection error (%1): %2").arg(m_peer, m_socket->errorString()));
    if (m_socket->state() == QAbstractSocket::UnconnectedState)
        onDisconnected();
}

void EmulatorSession::onDisconnected()
{
    if (m_finished)
        return;
    m_finished = true;
    // A USB device outlives its sessions: the next one must get every byte.
    m_device->disconnect(this);
    m_pieceTimer.stop();
    m_keepAliveTimer.stop();
    m_floodTimer.stop();
    m_queue.clear();
    const QString upload = m_protocol.abandonUpload();
    if (!upload.isEmpty())
        emit logLine(upload);
    emit logLine(QStringLiteral("connection closed (%1)").arg(m_peer));
    emit finished();
    deleteLater();
}

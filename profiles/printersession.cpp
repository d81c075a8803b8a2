#include "profiles/printersession.h"

#include "app/log.h"
#include "protocol/hostcmddevinfo.h"
#include "protocol/hostcmdword.h"

#include <QRandomGenerator>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstring>

using namespace PacketCodec;

namespace {

// The handshake answer: the header and the device record padded to whole blocks.
constexpr int HandshakeAnswerSize = HeaderSize + (DeviceRecordSize / BlockSize + 1) * BlockSize;
// The receiver drops a chunk that starts with less of a packet than this.
constexpr int ShortestPacket = HeaderSize + BlockSize;

// What is left over after the receiver took what it could: worth keeping only when it may be
// the start of a packet whose rest is still on its way.
bool mayBePacketStart(const QByteArray &rest)
{
    const int n = std::min(rest.size(), int(sizeof Signature));
    return rest.size() < ShortestPacket && std::memcmp(rest.constData(), Signature, size_t(n)) == 0;
}

} // namespace

PrinterSession::PrinterSession(const QHostAddress &address, quint16 port, QObject *parent)
    : QObject(parent)
    , m_address(address)
    , m_port(port)
    , m_socket(new QTcpSocket(this))
    , m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &PrinterSession::onTimeout);
    connect(m_socket, &QTcpSocket::connected, this, &PrinterSession::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &PrinterSession::onReadyRead);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &PrinterSession::onError);
}

PrinterSession::~PrinterSession()
{
    m_socket->blockSignals(true);
    m_socket->abort();
}

void PrinterSession::read()
{
    if (m_phase == Phase::Open && m_socket->state() == QAbstractSocket::ConnectedState) {
        readOnOpenLink({});
        return;
    }
    m_reading = PrinterSettings();
    m_undecryptable = 0;
    m_timer->start(AnswerTimeoutMs);
    m_socket->abort();
    m_pending.clear();
    m_receiver = PacketReceiver();
    m_phase = Phase::Connecting;
    m_socket->connectToHost(m_address, m_port);
}

void PrinterSession::sendAndReadBack(const QList<QByteArray> &requests)
{
    if (m_phase != Phase::Open || m_socket->state() != QAbstractSocket::ConnectedState) {
        // Failed later, as any other outcome, not inside the caller.
        QMetaObject::invokeMethod(this, [this] { fail(tr("the printer closed the connection")); },
                                  Qt::QueuedConnection);
        return;
    }
    readOnOpenLink(requests);
}

void PrinterSession::readOnOpenLink(const QList<QByteArray> &requests)
{
    // A new read that keeps who the printer is: the handshake does not come again.
    m_reading = PrinterSettings();
    m_reading.project = m_settings.project;
    m_reading.model = m_settings.model;
    m_reading.serialNumber = m_settings.serialNumber;
    m_undecryptable = 0;
    m_phase = Phase::Reading;
    m_timer->start(AnswerTimeoutMs);
    // The printer does not answer Set requests, and takes its requests in order: the
    // queries behind them read what the Sets left.
    for (const QByteArray &request : requests)
        write(request, false);
    sendQueries();
}

void PrinterSession::close()
{
    m_timer->stop();
    m_phase = Phase::Idle;
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost();
    else
        m_socket->abort();
}

void PrinterSession::onConnected()
{
    if (m_phase != Phase::Connecting)
        return;
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_phase = Phase::Handshake;
    m_nonce = QRandomGenerator::global()->generate();
    const char nonce[NonceSize] = {char(m_nonce), char(m_nonce >> 8), char(m_nonce >> 16), char(m_nonce >> 24)};
    write(QByteArray(nonce, NonceSize), true);
}

void PrinterSession::onReadyRead()
{
    if (m_phase == Phase::Handshake) {
        // Its length is known; the receiver takes every block at hand as the handshake's.
        if (m_socket->bytesAvailable() < HandshakeAnswerSize)
            return;
        takeHandshake(m_socket->read(HandshakeAnswerSize));
        if (m_phase != Phase::Reading)
            return;
    }
    m_pending += m_socket->readAll();
    takeAnswers();
}

void PrinterSession::takeHandshake(const QByteArray &answer)
{
    const PacketReceiver::Result result = m_receiver.receive(
        reinterpret_cast<const uchar *>(answer.constData()), quint32(answer.size()), m_sessionKey);
    if (result.event != PacketReceiver::Event::Handshake || result.length != DeviceRecordSize) {
        fail(tr("the printer did not answer the handshake"));
        return;
    }
    const auto info = host_cmd_dev_info_t::fromBytes(reinterpret_cast<const char *>(m_receiver.payload()),
                                                     DeviceRecordSize);
    m_sessionKey = deriveSessionKey(m_nonce, info.sn, sizeof info.sn);
    m_reading.project = info.projectText();
    m_reading.model = info.modelText();
    m_reading.serialNumber = info.snText();
    m_phase = Phase::Reading;
    sendQueries();
}

void PrinterSession::takeAnswers()
{
    // Answers come whole, split or several in one read; keep-alives are consumed unseen.
    int offset = 0;
    while (offset < m_pending.size() && m_phase != Phase::Idle && m_phase != Phase::Failed) {
        const PacketReceiver::Result result = m_receiver.receive(
            reinterpret_cast<const uchar *>(m_pending.constData()) + offset,
            quint32(m_pending.size() - offset), m_sessionKey);
        if (result.consumed == 0)
            break;
        offset += int(result.consumed);
        // A whole packet that did not decrypt: not a keep-alive (a header alone).
        if (result.event == PacketReceiver::Event::None && result.consumed > quint32(HeaderSize)
            && m_receiver.held() == 0)
            ++m_undecryptable;
        if (result.event != PacketReceiver::Event::Packet || m_phase != Phase::Reading)
            continue;
        const QByteArray answer(reinterpret_cast<const char *>(m_receiver.payload()), result.length);
        if (m_reading.takeResponse(answer) && m_reading.isComplete()) {
            m_timer->stop();
            m_settings = m_reading;
            m_phase = Phase::Open;
            emit settingsRead();
        }
    }
    m_pending.remove(0, offset);
    if (!mayBePacketStart(m_pending))
        m_pending.clear();
}

void PrinterSession::sendQueries()
{
    for (const quint16 word : PrinterSettings::queryWords()) {
        const char payload[HostCmdWordSize] = {char(word), char(word >> 8)};
        write(QByteArray(payload, HostCmdWordSize), false);
    }
}

void PrinterSession::write(const QByteArray &payload, bool handshake)
{
    m_socket->write(encodePacket(payload, handshake ? builtInKey() : m_sessionKey, handshake));
}

void PrinterSession::onError(QAbstractSocket::SocketError error)
{
    if (m_phase == Phase::Idle || m_phase == Phase::Failed)
        return;
    QString reason;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        reason = tr("connection refused");
        break;
    case QAbstractSocket::RemoteHostClosedError:
        reason = tr("the printer closed the connection");
        break;
    default:
        // The system's words: "Network unreachable", "Host unreachable", ...
        reason = m_socket->errorString();
        break;
    }
    // An open session that loses its printer says so at the next request.
    if (m_phase != Phase::Open)
        fail(reason);
}

void PrinterSession::onTimeout()
{
    if (m_phase == Phase::Reading && m_undecryptable > 0)
        fail(tr("the printer's answers could not be decrypted"));
    else if (m_phase == Phase::Connecting || m_phase == Phase::Handshake || m_phase == Phase::Reading)
        fail(tr("no printer answered within %1 s").arg(AnswerTimeoutMs / 1000));
}

void PrinterSession::fail(const QString &reason)
{
    if (m_phase == Phase::Failed)
        return;
    LOG_LINE("%s:%u: %s", qPrintable(m_address.toString()), unsigned(m_port), qPrintable(reason));
    m_timer->stop();
    m_phase = Phase::Failed;
    m_socket->abort();
    emit failed(reason);
}

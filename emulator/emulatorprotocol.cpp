#include "emulator/emulatorprotocol.h"

using namespace PacketCodec;

EmulatorProtocol::EmulatorProtocol(PrinterState &state, bool wrongKey)
    : m_state(state)
    , m_wrongKey(wrongKey)
{
}

QString EmulatorProtocol::describeWord(quint16 word)
{
    const char *name = PrinterState::commandName(word);
    return QStringLiteral("0x%1 %2")
        .arg(word, 4, 16, QLatin1Char('0'))
        .arg(name ? QLatin1String(name) : QLatin1String("unknown"));
}

QVector<EmulatorProtocol::Event> EmulatorProtocol::feed(const QByteArray &chunk)
{
    QVector<Event> events;
    const auto *data = reinterpret_cast<const uchar *>(chunk.constData());
    const quint32 size = quint32(chunk.size());
    quint32 offset = 0;
    while (offset < size) {
        const uchar *at = data + offset;
        const quint32 rest = size - offset;
        const bool startsPacket = m_receiver.held() == 0;
        const PacketReceiver::Result r = m_receiver.receive(at, rest, m_sessionKey);
        if (r.consumed == 0) {
            Event e;
            e.received = QStringLiteral("dropped %1 bytes: not the start of a packet").arg(rest);
            events.append(e);
            break;
        }
        offset += r.consumed;

        switch (r.event) {
        case PacketReceiver::Event::Handshake:
            events.append(hello(m_receiver.payload(), r.length));
            break;
        case PacketReceiver::Event::Packet:
            events.append(request(m_receiver.payload(), r.length));
            break;
        case PacketReceiver::Event::None:
            if (startsPacket && r.consumed == quint32(HeaderSize) && at[3] == KeepAliveBlockCount) {
                Event e;
                e.kind = Event::Kind::KeepAlive;
                e.received = QStringLiteral("keep-alive received");
                events.append(e);
            } else if (m_receiver.held() == 0) {
                // A whole packet arrived but its padding is wrong after decryption.
                Event e;
                e.received = m_hasSession
                                 ? QStringLiteral("dropped a packet: it does not decrypt with the session key")
                                 : QStringLiteral("dropped a packet: no hello yet, so no session key");
                events.append(e);
            }
            break;
        }
    }
    return events;
}

EmulatorProtocol::Event EmulatorProtocol::hello(const uchar *payload, int length)
{
    Event e;
    if (length == 0) {
        e.received = QStringLiteral("dropped a hello: it does not decrypt with the built-in key");
        return e;
    }
    if (length != NonceSize) {
        e.received = QStringLiteral("dropped a hello with a %1-byte body; a hello carries %2")
                         .arg(length)
                         .arg(NonceSize);
        return e;
    }
    e.kind = Event::Kind::Hello;
    e.payload = QByteArray(reinterpret_cast<const char *>(payload), length);
    e.nonce = quint32(payload[0]) | quint32(payload[1]) << 8 | quint32(payload[2]) << 16
              | quint32(payload[3]) << 24;

    const host_cmd_dev_info_t record = m_state.deviceRecord();
    m_sessionKey = deriveSessionKey(e.nonce, record.sn, sizeof record.sn);
    m_hasSession = true;
    e.received = QStringLiteral("hello nonce=0x%1, session key derived").arg(e.nonce, 8, 16, QLatin1Char('0'));

    // Always the built-in key: --wrong-key spoils only what the session key would carry.
    e.answer = encodePacket(record.toBytes(), builtInKey(), true);
    e.reply = QStringLiteral("answer hello: project %1, model %2, sn %3")
                  .arg(record.projectText(), record.modelText(), record.snText());
    return e;
}

EmulatorProtocol::Event EmulatorProtocol::request(const uchar *payload, int length)
{
    Event e;
    e.payload = QByteArray(reinterpret_cast<const char *>(payload), length);
    const PrinterState::Answer answer = m_state.answer(e.payload);
    if (answer.outcome == PrinterState::Outcome::NoWord) {
        e.received = QStringLiteral("dropped a %1-byte request: no command word").arg(length);
        return e;
    }
    e.kind = Event::Kind::Request;
    e.word = quint16(PrinterState::commandWord(e.payload));
    const QString what = describeWord(e.word);
    e.received = QStringLiteral("request %1 (%2 bytes)").arg(what).arg(length);

    switch (answer.outcome) {
    case PrinterState::Outcome::Answered:
        e.answer = seal(answer.payload);
        if (e.answer.isEmpty())
            e.reply = QStringLiteral("no answer to %1: %2 bytes do not fit a packet")
                          .arg(what)
                          .arg(answer.payload.size());
        else
            e.reply = QStringLiteral("answer %1 (%2 bytes%3)")
                          .arg(what)
                          .arg(answer.payload.size())
                          .arg(m_wrongKey ? QStringLiteral(", wrong key") : QString());
        break;
    case PrinterState::Outcome::Applied:
        // The printer acknowledges no Set command.
        e.reply = QStringLiteral("applied %1, no answer").arg(what);
        break;
    case PrinterState::Outcome::TooShort:
        e.reply = QStringLiteral("ignored %1: too short, its record has %2 bytes")
                      .arg(what)
                      .arg(PrinterState::requestSize(e.word));
        break;
    case PrinterState::Outcome::NotImplemented:
        e.reply = QStringLiteral("no answer to %1: not played by the emulator yet").arg(what);
        break;
    case PrinterState::Outcome::Unknown:
    case PrinterState::Outcome::NoWord:
        e.reply = QStringLiteral("no answer to %1: unknown command").arg(what);
        break;
    }
    return e;
}

QByteArray EmulatorProtocol::seal(const QByteArray &payload) const
{
    return m_wrongKey ? sealWithWrongKey(payload) : encodePacket(payload, m_sessionKey);
}

QByteArray EmulatorProtocol::sealWithWrongKey(const QByteArray &payload) const
{
    // Under the session key, a packet sealed with some other key still shows valid padding
    // about once in 256 keys. Take the first other key whose packet the tool surely rejects,
    // so --wrong-key behaves the same on every run.
    uchar plain[BlockSize * MaxBlocks];
    for (int salt = 1; salt < 256; ++salt) {
        Key key = m_sessionKey;
        for (uchar &b : key)
            b ^= uchar(salt);
        const QByteArray packet = encodePacket(payload, key);
        if (packet.isEmpty())
            return {};
        const auto *body = reinterpret_cast<const uchar *>(packet.constData()) + HeaderSize;
        if (decryptBody(body, (packet.size() - HeaderSize) / BlockSize, m_sessionKey, plain) == 0)
            return packet;
    }
    return {};
}

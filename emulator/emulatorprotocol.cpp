#include "emulator/emulatorprotocol.h"

#include "emulator/escposwalker.h"

#include "protocol/hostcmdword.h"

#include <QRandomGenerator>

using namespace PacketCodec;

namespace {
// The tool's receiver, like the printer's, takes a packet only from a read that holds its
// header and first block.
constexpr quint32 MinPacketStart = HeaderSize + BlockSize;
} // namespace

EmulatorProtocol::EmulatorProtocol(PrinterState &state, bool wrongKey, bool silent)
    : m_state(state)
    , m_wrongKey(wrongKey)
    , m_silent(silent)
{
}

EmulatorProtocol::~EmulatorProtocol() = default;

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
    QByteArray rest = chunk;
    if (!m_held.isEmpty()) {
        // The rest of a print command goes to it before anything is read as a packet:
        // image rows may look like anything.
        const int taken = completeHeld(chunk, events);
        if (taken >= chunk.size())
            return events;
        rest = chunk.mid(taken);
    }
    const QByteArray bytes = m_carry.isEmpty() ? rest : m_carry + rest;
    m_carry.clear();
    const auto *data = reinterpret_cast<const uchar *>(bytes.constData());
    const quint32 size = quint32(bytes.size());
    quint32 offset = 0;
    while (offset < size) {
        if (m_upload && !m_upload->isComplete()) {
            offset += takeFileData(data + offset, size - offset, events);
            // The file's last block and the commit often share a read. The printer reads
            // the file by its size and the next packet afresh, so a packet start cut short
            // here waits for the rest rather than being dropped.
            if (m_upload->isComplete() && size - offset < MinPacketStart) {
                m_carry = bytes.mid(int(offset));
                break;
            }
            continue;
        }

        const uchar *at = data + offset;
        const quint32 rest = size - offset;
        const bool startsPacket = m_receiver.held() == 0;
        const PacketReceiver::Result r = m_receiver.receive(at, rest, m_sessionKey);
        if (r.consumed == 0) {
            events.append(dropped(at, rest));
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

quint32 EmulatorProtocol::takeFileData(const uchar *data, quint32 length, QVector<Event> &events)
{
    // One line as the bytes start and one as they are all in: a 5 MB font comes in
    // thousands of reads.
    const bool first = m_upload->received() == 0;
    const quint32 n = m_upload->take(reinterpret_cast<const char *>(data), length);
    const QString what = QStringLiteral("upload %1").arg(QString::fromLatin1(m_upload->path()));
    if (first) {
        Event e;
        e.kind = Event::Kind::FileData;
        e.received = QStringLiteral("%1: receiving %2 raw bytes").arg(what).arg(m_upload->size());
        events.append(e);
    }
    if (m_upload->isComplete()) {
        Event e;
        e.kind = Event::Kind::FileData;
        e.received = QStringLiteral("%1: all %2 bytes received").arg(what).arg(m_upload->size());
        events.append(e);
    }
    return n;
}

EmulatorProtocol::Event EmulatorProtocol::dropped(const uchar *data, quint32 length)
{
    Event e;
    e.received = QStringLiteral("dropped %1 bytes: not the start of a packet").arg(length);
    // On USB the raw print road shares the link: print streams arrive here.
    const QByteArray stream(reinterpret_cast<const char *>(data), int(length));
    EscPosWalker walker(stream);
    EscPosWalker::Command c, last;
    bool any = false;
    while (walker.next(&c)) {
        last = c;
        any = true;
    }
    qint64 hold = -1;
    if (any && !walker.isComplete(last) && last.end() - last.start <= MaxHeldCommand)
        hold = last.start;
    else if (walker.cutHeader() >= 0 && (!any || walker.cutHeader() >= last.end()))
        hold = walker.cutHeader();
    if (hold < 0) {
        print(stream, e);
        return e;
    }
    print(stream.left(int(hold)), e);
    m_held = stream.mid(int(hold));
    e.notes << QStringLiteral("print command of %1 bytes so far: waiting for the rest").arg(m_held.size());
    return e;
}

int EmulatorProtocol::completeHeld(const QByteArray &chunk, QVector<Event> &events)
{
    const QByteArray bytes = m_held + chunk;
    const int before = m_held.size();
    EscPosWalker walker(bytes);
    EscPosWalker::Command c;
    const bool command = walker.next(&c) && c.start == 0;
    if (!command && walker.cutHeader() == 0) {
        m_held = bytes; // its header is still not all here
        return chunk.size();
    }
    Event e;
    e.kind = Event::Kind::Dropped;
    int taken = 0;
    if (!command) {
        // Not a command after all: the held bytes are print data of their own.
        e.received = QStringLiteral("print data: %1 held bytes").arg(before);
        print(m_held, e);
    } else if (c.end() <= bytes.size()) {
        taken = int(c.end()) - before;
        e.received = QStringLiteral("print data: %1 more bytes complete a command of %2").arg(taken).arg(c.end());
        print(bytes.left(int(c.end())), e);
    } else if (c.end() <= MaxHeldCommand) {
        m_held = bytes;
        return chunk.size();
    } else {
        // A length found only now, and too long to wait for.
        taken = chunk.size();
        e.received = QStringLiteral("print data: %1 bytes of a command of %2, too long to hold")
                         .arg(bytes.size())
                         .arg(c.end());
        print(bytes, e);
    }
    m_held.clear();
    events.append(e);
    return taken;
}

void EmulatorProtocol::print(const QByteArray &stream, Event &e)
{
    if (stream.isEmpty())
        return;
    DualColorSetting setting = m_state.dualColor.value_or(DualColorSetting());
    if (setting.apply(stream) > 0) {
        m_state.dualColor = setting;
        e.notes << setting.text();
    }
    const NvMemory::Result result = m_state.nvMemory.apply(stream, m_state.nvMemorySize);
    e.notes << result.notes << m_spool.save(result);
}

QString EmulatorProtocol::abandonUpload()
{
    if (!m_upload)
        return {};
    // The session's end is the tool's one way to cancel an upload; nothing of it is kept.
    const QString line = m_upload->isComplete()
                             ? QStringLiteral("upload %1: cancelled before the commit (connection ended), file discarded")
                                   .arg(QString::fromLatin1(m_upload->path()))
                             : QStringLiteral("upload %1: cancelled after %2 of %3 bytes (connection ended), "
                                              "partial file discarded")
                                   .arg(QString::fromLatin1(m_upload->path()))
                                   .arg(m_upload->received())
                                   .arg(m_upload->size());
    m_upload.reset();
    m_carry.clear();
    return line;
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
    e.answers = {encodePacket(record.toBytes(), builtInKey(), true)};
    e.reply = QStringLiteral("answer hello: project %1, model %2, sn %3")
                  .arg(record.projectText(), record.modelText(), record.snText());
    return e;
}

EmulatorProtocol::Event EmulatorProtocol::request(const uchar *payload, int length)
{
    Event e;
    e.payload = QByteArray(reinterpret_cast<const char *>(payload), length);
    const PrinterState::Answer answer = m_state.answer(e.payload, m_upload.get());
    if (answer.outcome == PrinterState::Outcome::NoWord) {
        e.received = QStringLiteral("dropped a %1-byte request: no command word").arg(length);
        return e;
    }
    e.kind = Event::Kind::Request;
    e.word = quint16(PrinterState::commandWord(e.payload));
    e.notes = answer.notes;
    const QString what = describeWord(e.word);
    e.received = QStringLiteral("request %1 (%2 bytes)").arg(what).arg(length);

    // A commit ends the upload, whatever it found.
    if (e.word == HostCmdWord::CommitFileUpload && answer.outcome != PrinterState::Outcome::TooShort)
        m_upload.reset();
    if (e.word == HostCmdWord::BeginFileUpload && answer.outcome == PrinterState::Outcome::Answered)
        startUpload(answer, e);

    switch (answer.outcome) {
    case PrinterState::Outcome::Answered: {
        int unsealed = 0;
        for (const QByteArray &p : answer.payloads) {
            const QByteArray packet = seal(p);
            if (packet.isEmpty())
                ++unsealed;
            else
                e.answers.append(packet);
        }
        const QString wrongKey = m_wrongKey ? QStringLiteral(", wrong key") : QString();
        if (unsealed > 0)
            e.reply = QStringLiteral("no answer to %1: %2 bytes do not fit a packet")
                          .arg(what)
                          .arg(answer.payloads.first().size());
        else if (!answer.listing)
            e.reply = QStringLiteral("answer %1 (%2 bytes%3)").arg(what).arg(answer.payloads.first().size()).arg(wrongKey);
        else if (answer.payloads.isEmpty())
            e.reply = QStringLiteral("answer %1: 0 answers").arg(what);
        else
            e.reply = QStringLiteral("answer %1: %2 %3, %4 bytes%5%6")
                          .arg(what)
                          .arg(answer.payloads.size())
                          .arg(answer.payloads.size() == 1 ? QStringLiteral("answer") : QStringLiteral("answers"))
                          .arg(answer.payloads.first().size())
                          .arg(answer.payloads.size() == 1 ? QString() : QStringLiteral(" each"))
                          .arg(wrongKey);
        break;
    }
    case PrinterState::Outcome::Applied:
        // The printer acknowledges no Set command.
        e.reply = QStringLiteral("applied %1, no answer").arg(what);
        break;
    case PrinterState::Outcome::Ignored:
        e.reply = QStringLiteral("ignored %1, no answer").arg(what);
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

void EmulatorProtocol::startUpload(const PrinterState::Answer &answer, Event &e)
{
    if (m_upload)
        e.notes.prepend(QStringLiteral("upload %1: dropped, never committed")
                            .arg(QString::fromLatin1(m_upload->path())));
    m_upload.reset();
    QByteArray path;
    quint32 size = 0;
    if (!PrinterState::readyUpload(answer.payloads.value(0), &path, &size))
        return;
    if (m_silent || m_wrongKey) {
        e.notes << QStringLiteral("upload %1: not started, the tool cannot read the answer")
                       .arg(QString::fromLatin1(path));
        return;
    }
    m_upload = std::make_unique<FileUpload>(path, size);
}

QByteArray EmulatorProtocol::garbage(QRandomGenerator &random) const
{
    const auto bytes = [&random](int n) {
        QByteArray b(n, '\0');
        for (char &c : b)
            c = char(random.bounded(256));
        return b;
    };
    const QByteArray signature(reinterpret_cast<const char *>(Signature), sizeof Signature);
    QByteArray out;

    // A packet the tool consumes whole and rejects: with a random body its padding would
    // pass now and then, and the tool would take it for an answer.
    uchar plain[BlockSize * MaxBlocks];
    for (;;) {
        const int blocks = 1 + int(random.bounded(4));
        const QByteArray body = bytes(blocks * BlockSize);
        if (decryptBody(reinterpret_cast<const uchar *>(body.constData()), blocks, m_sessionKey, plain) == 0) {
            out += signature + char(blocks) + body;
            break;
        }
    }
    // Random bytes that do not start a packet.
    QByteArray noise = bytes(4 * (2 + int(random.bounded(15))));
    if (uchar(noise[0]) == Signature[0])
        noise[0] = char(~Signature[0]);
    out += noise;
    // A block count no packet has.
    const int badCount = MaxBlocks + 1 + int(random.bounded(KeepAliveBlockCount - MaxBlocks - 1));
    out += signature + char(badCount) + bytes(BlockSize);
    // A handshake answer two blocks long, where a device record needs four.
    out += signature + char(HandshakeBlockCount) + bytes(2 * BlockSize);
    // A header cut short.
    out += signature + char(1);
    return out;
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

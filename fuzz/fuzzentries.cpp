#include "fuzz/fuzzentries.h"

#include "fuzz/fuzzstream.h"

#include "app/conf.h"
#include "app/mainwindow.h"
#include "emulator/emulatorprotocol.h"
#include "emulator/printerstate.h"
#include "nvimage/widgetnvimage.h"
#include "protocol/filerecord.h"
#include "protocol/fontscriptrecord.h"
#include "protocol/hostcmd.h"
#include "protocol/hostcmddevinfo.h"
#include "protocol/nvimagelist.h"
#include "transport/transceiver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace FuzzEntries {

namespace {

// Kept alive for the whole run: the fuzzer never returns from its loop.
QApplication *s_app = nullptr;
QTemporaryDir *s_confDir = nullptr;
MainWindow *s_window = nullptr;
int s_confFiles = 0;

// A broken expectation is a finding like a crash: say what broke and stop.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), int(size));
}

// The serial number of the device record the engine is handed first.
constexpr char FirstSerial[] = "SN0042";

QByteArray deviceRecord(const char *serial)
{
    QByteArray r(PacketCodec::DeviceRecordSize, '\0');
    r.replace(0, 5, "RX210");
    r.replace(16, 7, "RX220_S");
    r.replace(32, int(std::strlen(serial)), serial);
    return r;
}

// A packet as the peer seals it: the plain payload and whether it is a handshake.
QByteArray seal(const QByteArray &payload, const PacketCodec::Key &key, bool handshake)
{
    return PacketCodec::encodePacket(payload, key, handshake);
}

// The main window is made afresh now and then: the NV image table appends the entries of
// an answer with the identity it shows, so one window would grow without end.
MainWindow *window()
{
    constexpr int MaxNvRows = 256;
    if (s_window && s_window->nvImagePage()->table()->rowCount() > MaxNvRows) {
        delete s_window;
        s_window = nullptr;
    }
    if (!s_window) {
        g_hostCmd.setProject(QStringLiteral("RX210"));
        g_hostCmd.setModel(QStringLiteral("RX220_S"));
        s_window = new MainWindow;
        s_window->onConnected(); // every tab enabled; the queries go nowhere without a link
    }
    return s_window;
}

struct ConfValues
{
    int fileVersion;
    int language;
    int fontSettings;
    int dualColorSettings;
    QList<quint32> usbIds;
};

ConfValues loadConf()
{
    g_conf.load();
    return {g_conf.fileVersion(), int(g_conf.language()), g_conf.fontSettingsEnabled(),
            g_conf.dualColorSettingsEnabled(), g_conf.usbIds()};
}

} // namespace

void initialize(int *argc, char ***argv)
{
    if (s_app)
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    s_app = new QApplication(*argc, *argv);
    // QSettings syncs each file it writes to disk; on tmpfs that costs nothing.
    const QString shm = QStringLiteral("/dev/shm");
    s_confDir = new QTemporaryDir(QFileInfo(shm).isDir() && QFileInfo(shm).isWritable()
                                      ? shm + QStringLiteral("/zomra-fuzz-XXXXXX")
                                      : QDir::tempPath() + QStringLiteral("/zomra-fuzz-XXXXXX"));
    // libFuzzer ends with exit(), so the folder goes then too.
    std::atexit([] { delete s_confDir; });
    if (!g_transceiver)
        g_transceiver = new Transceiver;
}

int hostCmdReceive(const uint8_t *data, size_t size)
{
    using namespace PacketCodec;
    // A fresh engine (g_hostCmd's class) per input, in the state the handshake leaves, so
    // an input always does the same.
    HostCmd engine;
    QVector<QByteArray> responses;
    QObject::connect(&engine, &HostCmd::responseReceived, [&responses](const QByteArray &r) {
        FUZZ_CHECK(r.size() >= 1 && r.size() < BlockSize * MaxBlocks);
        responses.append(r);
    });
    const QByteArray hello = seal(deviceRecord(FirstSerial), builtInKey(), true);
    engine.receive(reinterpret_cast<const uchar *>(hello.constData()), quint32(hello.size()));
    FUZZ_CHECK(engine.sessionKey() == deriveSessionKey(0, FirstSerial, int(sizeof FirstSerial)));

    FuzzStream input(data, size);
    Key key = engine.sessionKey();
    QByteArray stream;
    // Only packets and keep-alives: read in one chunk, every payload must come out.
    bool onlyPackets = true;
    QVector<QByteArray> sealed;
    while (!input.atEnd()) {
        const FuzzStream::Segment s = input.nextSegment();
        switch (s.kind) {
        case FuzzStream::Raw:
            stream += s.bytes;
            onlyPackets = false;
            break;
        case FuzzStream::Sealed:
            stream += seal(s.bytes, key, false);
            if (!s.bytes.isEmpty())
                sealed.append(s.bytes);
            break;
        case FuzzStream::Handshake: {
            stream += seal(s.bytes, builtInKey(), true);
            onlyPackets = false;
            // The key the engine takes if the whole record arrives in one chunk.
            if (s.bytes.size() == DeviceRecordSize)
                key = deriveSessionKey(0, s.bytes.constData() + 32, 24);
            break;
        }
        case FuzzStream::KeepAlive:
            stream += keepAlivePacket();
            break;
        }
    }

    // Each chunk by the links' contract: receive the rest until it takes nothing.
    const QVector<QByteArray> chunks = input.chunks(stream);
    for (const QByteArray &chunk : chunks) {
        const auto *at = reinterpret_cast<const uchar *>(chunk.constData());
        quint32 offset = 0;
        const quint32 length = quint32(chunk.size());
        while (offset < length) {
            const quint32 used = engine.receive(at + offset, length - offset);
            FUZZ_CHECK(used <= length - offset);
            if (used == 0)
                break;
            offset += used;
        }
    }
    if (onlyPackets && chunks.size() <= 1)
        FUZZ_CHECK(responses == sealed);
    return 0;
}

int handleResponse(const uint8_t *data, size_t size)
{
    window()->handleResponse(bytes(data, size));
    return 0;
}

int discoveryAnswer(const uint8_t *data, size_t size)
{
    // As DialogConnect::onUdpSocketReadyRead: the datagram is the record in clear text.
    const QByteArray datagram = bytes(data, size);
    const host_cmd_dev_info_t record = host_cmd_dev_info_t::fromBytes(datagram.constData(), datagram.size());
    const QString project = record.projectText();
    const QString model = record.modelText();
    const QString sn = record.snText();
    FUZZ_CHECK(project.size() <= int(sizeof record.project));
    FUZZ_CHECK(model.size() <= int(sizeof record.model));
    FUZZ_CHECK(sn.size() <= int(sizeof record.sn));
    FUZZ_CHECK(!project.contains(QChar(0)) && !model.contains(QChar(0)) && !sn.contains(QChar(0)));
    // The record holds the datagram's first 56 bytes, the rest zero.
    QByteArray expected = datagram.left(int(sizeof record));
    expected.append(QByteArray(int(sizeof record) - expected.size(), '\0'));
    FUZZ_CHECK(record.toBytes() == expected);
    FUZZ_CHECK(sn.toLatin1() == fieldText(record.sn, sizeof record.sn));
    return 0;
}

int nvImageList(const uint8_t *data, size_t size)
{
    const QByteArray response = bytes(data, size);
    NvImageList list;
    list.statedCount = 0xbeef;
    const bool ok = NvImageList::decode(response, &list);
    FUZZ_CHECK(ok == (response.size() >= NvImageList::MinSize));
    if (!ok) {
        FUZZ_CHECK(list.statedCount == 0xbeef && list.images.isEmpty());
        return 0;
    }
    FUZZ_CHECK(list.images.size() <= qMin<int>(list.statedCount, NvImageList::MaxImages));
    for (int i = 0; i < list.images.size(); ++i) {
        const NvImageList::Image &image = list.images.at(i);
        // The page reads both key code characters unchecked.
        FUZZ_CHECK(image.keyCode.size() == 2);
        FUZZ_CHECK(image.keyCode == response.mid(NvImageList::EntriesOffset + i * NvImageList::EntrySize, 2));
    }
    return 0;
}

int fontRecords(const uint8_t *data, size_t size)
{
    const QByteArray response = bytes(data, size);

    FontScriptRecord record;
    if (FontScriptRecord::decode(response, &record)) {
        FUZZ_CHECK(record.script.size() <= FontScriptRecord::ScriptSize);
        FUZZ_CHECK(record.language.size() <= FontScriptRecord::LanguageSize);
        FUZZ_CHECK(record.font.size() <= FontScriptRecord::FontSize);
        FUZZ_CHECK(record.ranges.size() <= FontScriptRecord::MaxRanges);
        // What the dialog sends back decodes to what it read, but for texts that filled
        // their whole field: a sent text keeps room for its zero.
        FontScriptRecord again;
        FUZZ_CHECK(FontScriptRecord::decode(record.toBytes(HostCmdWord::SetFontScript), &again));
        FUZZ_CHECK(again.enabled == record.enabled && again.ct == record.ct && again.px == record.px
                   && again.ad == record.ad);
        FUZZ_CHECK(again.script == record.script.left(FontScriptRecord::ScriptSize - 1));
        FUZZ_CHECK(again.language == record.language.left(FontScriptRecord::LanguageSize - 1));
        FUZZ_CHECK(again.font == record.font.left(FontScriptRecord::FontSize - 1));
        FUZZ_CHECK(again.faceIndex == record.faceIndex && again.threshold == record.threshold
                   && again.pixelWidth == record.pixelWidth && again.pixelHeight == record.pixelHeight
                   && again.advance == record.advance);
        FUZZ_CHECK(again.ranges == record.ranges);
        const QString text = FontScriptRecord::rangesText(record.ranges);
        FUZZ_CHECK(record.ranges.isEmpty() == text.isEmpty());
    } else {
        FUZZ_CHECK(response.size() < FontScriptRecord::Size);
    }

    QByteArray name = "untouched";
    quint32 fileSize = 7;
    if (FileRecord::decodeListFilesEntry(response, &name, &fileSize)) {
        FUZZ_CHECK(!name.contains('\0'));
        FUZZ_CHECK(name.size() <= response.size() - 2);
    } else {
        FUZZ_CHECK(response.size() < FileRecord::ListFilesEntryMinSize);
        FUZZ_CHECK(name == "untouched" && fileSize == 7);
    }

    FileRecord file;
    if (FileRecord::decode(response, &file)) {
        FUZZ_CHECK(!file.path.contains('\0'));
        FUZZ_CHECK(file.digest.size() == FileRecord::DigestSize);
    } else {
        FUZZ_CHECK(response.size() < FileRecord::Size);
    }
    return 0;
}

int confFile(const uint8_t *data, size_t size)
{
    // A new name each time: QSettings keeps what it read of a file and may take an
    // unchanged size and time stamp for unchanged contents.
    const QString name = s_confDir->filePath(QStringLiteral("conf-%1.ini").arg(++s_confFiles));
    {
        QFile file(name);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    g_conf.setFileName(name);

    const ConfValues first = loadConf();
    FUZZ_CHECK(!first.usbIds.isEmpty());
    g_conf.save();
    const ConfValues second = loadConf();
    // Saving keeps what was read; the switches keep their meaning (shown above 0).
    FUZZ_CHECK(second.language == first.language);
    FUZZ_CHECK(second.usbIds == first.usbIds);
    FUZZ_CHECK((second.fontSettings > 0) == (first.fontSettings > 0));
    FUZZ_CHECK((second.dualColorSettings > 0) == (first.dualColorSettings > 0));
    // And a second save changes nothing more.
    g_conf.save();
    const ConfValues third = loadConf();
    FUZZ_CHECK(third.fileVersion == second.fileVersion && third.language == second.language
               && third.fontSettings == second.fontSettings
               && third.dualColorSettings == second.dualColorSettings && third.usbIds == second.usbIds);

    QFile::remove(name);
    return 0;
}

int emulatorFeed(const uint8_t *data, size_t size)
{
    using namespace PacketCodec;
    // Copied from one made once: its sample NV images take a while to draw.
    static const PrinterState prototype = [] {
        PrinterState p;
        p.clock = [] { return qint64(1000000); }; // the same answers on every run
        return p;
    }();
    PrinterState state = prototype;
    EmulatorProtocol protocol(state);

    const auto check = [](const QVector<EmulatorProtocol::Event> &events) {
        for (const EmulatorProtocol::Event &e : events) {
            for (const QByteArray &packet : e.answers) {
                FUZZ_CHECK(packet.size() >= HeaderSize + BlockSize && packet.size() <= MaxPacket);
                FUZZ_CHECK(std::memcmp(packet.constData(), Signature, sizeof Signature) == 0);
            }
        }
    };
    const QByteArray firstHello = seal(QByteArray("\x01\x00\x00\x00", 4), builtInKey(), true);
    check(protocol.feed(firstHello));
    FUZZ_CHECK(protocol.hasSession());

    const QByteArray serial = state.serialNumber.toLatin1();
    FuzzStream input(data, size);
    Key key = protocol.sessionKey();
    QByteArray stream;
    while (!input.atEnd()) {
        const FuzzStream::Segment s = input.nextSegment();
        switch (s.kind) {
        case FuzzStream::Raw:
            stream += s.bytes;
            break;
        case FuzzStream::Sealed:
            stream += seal(s.bytes, key, false);
            break;
        case FuzzStream::Handshake: {
            // The tool's hello carries the nonce; the record's first four bytes stand in.
            const QByteArray hello = s.bytes.size() == DeviceRecordSize ? s.bytes.left(NonceSize) : s.bytes;
            stream += seal(hello, builtInKey(), true);
            if (hello.size() == NonceSize) {
                const auto *n = reinterpret_cast<const uchar *>(hello.constData());
                const quint32 nonce = quint32(n[0]) | quint32(n[1]) << 8 | quint32(n[2]) << 16
                                      | quint32(n[3]) << 24;
                key = deriveSessionKey(nonce, serial.constData(), serial.size());
            }
            break;
        }
        case FuzzStream::KeepAlive:
            stream += keepAlivePacket();
            break;
        }
    }
    const QVector<QByteArray> chunks = input.chunks(stream);
    for (const QByteArray &chunk : chunks)
        check(protocol.feed(chunk));
    protocol.abandonUpload();
    return 0;
}

const Target *targets(int *count)
{
    static const Target all[] = {
        {"hostcmd_receive", hostCmdReceive}, {"handle_response", handleResponse},
        {"discovery_answer", discoveryAnswer}, {"nvimage_list", nvImageList},
        {"font_records", fontRecords},         {"conf_file", confFile},
        {"emulator_feed", emulatorFeed},
    };
    *count = int(sizeof all / sizeof all[0]);
    return all;
}

} // namespace FuzzEntries

#include "fuzz/fuzzentries.h"
#include "fuzz/fuzzstream.h"

#include "app/conf.h"
#include "app/mainwindow.h"
#include "nvimage/widgetnvimage.h"
#include "protocol/hostcmd.h"
#include "tests/testbytes.h"
#include "transport/transceiver.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTableWidget>
#include <QTemporaryDir>

#include <cstdlib>
#include <tuple>

namespace FuzzEntries {

namespace {

// Kept alive for the whole run: the fuzzer never returns from its loop.
QTemporaryDir *s_confDir = nullptr;
MainWindow *s_window = nullptr;
int s_confFiles = 0;

// Made afresh now and then: the NV image table appends the entries of an answer with the
// identity it shows, so one window would grow without end.
MainWindow *window()
{
    if (s_window && s_window->nvImagePage()->table()->rowCount() > 256) {
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

// What the program reads from its file: version, language, the two switches, the identifiers.
std::tuple<int, int, int, int, QList<quint32>> loadConf()
{
    g_conf.load();
    return {g_conf.fileVersion(), int(g_conf.language()), g_conf.fontSettingsEnabled(),
            g_conf.dualColorSettingsEnabled(), g_conf.usbIds()};
}

} // namespace

void initialize(int *argc, char ***argv)
{
    if (QCoreApplication::instance())
        return;
    new QApplication(*argc, *argv); // offscreen, as fuzz/run.sh and the suite set it
    // QSettings syncs each file it writes to disk; on tmpfs that costs nothing.
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    s_confDir = new QTemporaryDir((shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath())
                                  + QStringLiteral("/zomra-fuzz-XXXXXX"));
    std::atexit([] { delete s_confDir; }); // libFuzzer ends with exit()
    if (!g_transceiver)
        g_transceiver = new Transceiver;
}

int hostCmdReceive(const uint8_t *data, size_t size)
{
    using namespace PacketCodec;
    // A fresh engine per input, in the state the handshake leaves, so an input always does the same.
    HostCmd engine;
    QVector<QByteArray> responses;
    QObject::connect(&engine, &HostCmd::responseReceived, [&responses](const QByteArray &r) {
        FUZZ_CHECK(r.size() >= 1 && r.size() < BlockSize * MaxBlocks);
        responses.append(r);
    });
    const QByteArray hello = encodePacket(deviceRecord("RX210", "RX220_S", "SN0042"), builtInKey(), true);
    engine.receive(reinterpret_cast<const uchar *>(hello.constData()), quint32(hello.size()));

    FuzzStream input(data, size);
    bool onlyPackets = true;
    QVector<QByteArray> sealed;
    const QByteArray stream = input.stream(engine.sessionKey(), [](const QByteArray &record, Key *key) {
        // The key the engine takes if the whole record arrives in one chunk.
        if (record.size() == DeviceRecordSize)
            *key = deriveSessionKey(0, record.constData() + 32, 24);
        return encodePacket(record, builtInKey(), true);
    }, &sealed, &onlyPackets);
    const QVector<QByteArray> chunks = input.chunks(stream);
    for (const QByteArray &chunk : chunks) {
        // By the links' contract: receive the rest until it takes nothing.
        const auto *at = reinterpret_cast<const uchar *>(chunk.constData());
        for (quint32 offset = 0, used = 1; offset < quint32(chunk.size()) && used > 0; offset += used) {
            used = engine.receive(at + offset, quint32(chunk.size()) - offset);
            FUZZ_CHECK(used <= quint32(chunk.size()) - offset);
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

int confFile(const uint8_t *data, size_t size)
{
    // A new name each time: QSettings may take an unchanged size and time stamp for unchanged contents.
    const QString name = s_confDir->filePath(QStringLiteral("conf-%1.ini").arg(++s_confFiles));
    {
        QFile file(name);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly) && file.write(bytes(data, size)) == qint64(size));
    }
    g_conf.setFileName(name);

    const auto read = loadConf();
    FUZZ_CHECK(!std::get<4>(read).isEmpty());
    g_conf.save();
    const auto saved = loadConf();
    // Saving keeps what was read, the switches their meaning (shown above 0).
    const auto meaning = [](const auto &c) {
        return std::make_tuple(std::get<1>(c), std::get<2>(c) > 0, std::get<3>(c) > 0, std::get<4>(c));
    };
    FUZZ_CHECK(meaning(saved) == meaning(read));
    // And a second save changes nothing more.
    g_conf.save();
    FUZZ_CHECK(loadConf() == saved);
    QFile::remove(name);
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

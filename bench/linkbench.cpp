// Figures 3 and 4: the window's first Reload after connecting and a font upload, each
// against the emulator over loopback (127.0.0.90 to .99), beside what they cannot beat.
#include "app/mainwindow.h"
#include "bench/benchloop.h"
#include "bench/benchsizes.h"
#include "bench/floorreporter.h"
#include "emulator/printeremulator.h"
#include "print/dialogfontsettings.h"
#include "protocol/bytefields.h"
#include "protocol/filerecord.h"
#include "protocol/hostcmd.h"
#include "transport/tcpprinter.h"
#include "transport/transceiver.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {

using BenchLoop::runUntil;

void runFor(int ms)
{
    QElapsedTimer clock;
    clock.start();
    runUntil([&clock, ms] { return clock.elapsed() >= ms; }, ms + 1000);
}

// The emulator as its own program, as a technician runs it; false when it did not come up.
bool startEmulatorProcess(QProcess &process, const QString &address, const QStringList &extra,
                          QStringList *lines)
{
    // The connection outlives this function: it may only touch what outlives it too.
    QObject::connect(&process, &QProcess::readyReadStandardOutput, &process, [&process, lines] {
        while (process.canReadLine())
            lines->append(QString::fromLocal8Bit(process.readLine()).trimmed());
    });
    const auto listening = [lines] {
        return std::any_of(lines->cbegin(), lines->cend(),
                           [](const QString &line) { return line.startsWith(QStringLiteral("listening on")); });
    };
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(ZOMRA_EMULATOR),
                  QStringList{QStringLiteral("--listen"), address, QStringLiteral("--no-discovery")} + extra);
    return runUntil([&] { return listening() || process.state() == QProcess::NotRunning; }, 5000)
           && listening();
}

void stopEmulatorProcess(QProcess &process)
{
    process.disconnect();
    process.terminate();
    if (!process.waitForFinished(3000))
        process.kill();
    process.waitForFinished(1000);
}

// A printer for the link benchmarks: in this process, or the emulator program.
class Printer
{
public:
    Printer(const char *address, bool separate, const QString &fontDir = QString())
        : m_address(QString::fromLatin1(address))
    {
        if (separate) {
            QStringList extra;
            if (!fontDir.isEmpty())
                extra << QStringLiteral("--font-dir") << fontDir;
            m_up = startEmulatorProcess(m_process, m_address.toString(), extra, &m_lines);
            return;
        }
        EmulatorOptions options;
        options.listen = m_address;
        options.discovery = false;
        m_emulator = std::make_unique<PrinterEmulator>(options);
        if (!fontDir.isEmpty())
            m_emulator->state().fontFolder = FontFolder(fontDir);
        m_up = m_emulator->listen();
    }
    ~Printer()
    {
        if (m_process.state() != QProcess::NotRunning)
            stopEmulatorProcess(m_process);
    }

    bool isUp() const { return m_up; }
    const QHostAddress &address() const { return m_address; }
    PrinterEmulator *inProcess() const { return m_emulator.get(); }
    QStringList &lines() { return m_lines; }

private:
    QHostAddress m_address;
    std::unique_ptr<PrinterEmulator> m_emulator;
    QProcess m_process;
    QStringList m_lines;
    bool m_up = false;
};

bool connectLink(const QHostAddress &address)
{
    bool connected = false;
    const QMetaObject::Connection c = QObject::connect(g_transceiver, &Transceiver::connected,
                                                       [&connected] { connected = true; });
    g_transceiver->connectTcp(address, Transceiver::IdentifyByHandshake);
    const bool ok = runUntil([&] { return connected; }, 5000);
    QObject::disconnect(c);
    return ok;
}

void closeLink()
{
    g_transceiver->close();
    // Lets the window and the printer see the closed link before the next one opens.
    runFor(30);
}

// Figure 3: from the link's connected() to the ninth query answer applied by the window.
void firstReload(benchmark::State &state, bool separate)
{
    g_transceiver = new Transceiver;
    {
        MainWindow window;
        Printer printer(separate ? "127.0.0.91" : "127.0.0.90", separate);
        if (!printer.isUp()) {
            state.SkipWithError("the emulator did not start");
        } else {
            QElapsedTimer clock;
            clock.start();
            qint64 connectedAt = -1;
            qint64 appliedAt = -1;
            QSet<quint16> answered;
            QObject::connect(g_transceiver, &Transceiver::connected, &window, [&] {
                connectedAt = clock.nsecsElapsed();
                answered.clear();
            }, Qt::DirectConnection);
            // Queued like the window's own handleResponse and connected after it, so this runs
            // once the window has applied the same answer.
            QObject::connect(&g_hostCmd, &HostCmd::responseReceived, &window, [&](const QByteArray &r) {
                const quint16 word = ByteFields::u16(r, 0);
                if (word < GetDeviceInfo || word > GetNvImageList || connectedAt < 0)
                    return;
                answered.insert(word);
                if (answered.size() == 9 && appliedAt < 0)
                    appliedAt = clock.nsecsElapsed();
            }, Qt::QueuedConnection);

            for (auto _ : state) {
                connectedAt = appliedAt = -1;
                g_transceiver->connectTcp(printer.address(), Transceiver::IdentifyByHandshake);
                if (!runUntil([&] { return appliedAt >= 0; }, 5000)) {
                    state.SkipWithError("the nine answers did not all arrive");
                    break;
                }
                state.SetIterationTime(double(appliedAt - connectedAt) / 1e9);
                closeLink();
            }
            closeLink();
        }
    }
    delete g_transceiver;
    g_transceiver = nullptr;
}
void firstReloadInProcess(benchmark::State &state) { firstReload(state, false); }
void firstReloadProcess(benchmark::State &state) { firstReload(state, true); }
BENCHMARK(firstReloadInProcess)->Name("window_first_reload/emulator_in_process")
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);
BENCHMARK(firstReloadProcess)->Name("window_first_reload/emulator_process")
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);

// Its floor: the nine pauses sendQueries takes between the queries.
void queryPauses(benchmark::State &state)
{
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 9; ++i)
            QThread::msleep(MainWindow::QueryPauseMs);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(queryPauses)->Name("query_pauses_floor")
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);

QByteArray fontBytes()
{
    QByteArray bytes(BenchSizes::fontBytes(), '\0');
    std::mt19937 random(5);
    for (char &c : bytes)
        c = char(random());
    return bytes;
}

// Figure 4: the font settings dialog's Install Font, from the request to the printer having
// committed the file to its font folder (a directory, as with the emulator's --font-dir).
void fontUpload(benchmark::State &state, bool separate)
{
    QTemporaryDir dir;
    const QString fontDir = dir.filePath(QStringLiteral("fonts"));
    QDir().mkpath(fontDir);
    const QString local = dir.filePath(QStringLiteral("BenchFont.ttc"));
    const QByteArray bytes = fontBytes();
    {
        QFile file(local);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            state.SkipWithError("cannot write the local font");
            return;
        }
    }
    const QString installed = QDir(fontDir).filePath(QStringLiteral("BenchFont.ttc"));

    g_transceiver = new Transceiver;
    {
        Printer printer(separate ? "127.0.0.93" : "127.0.0.92", separate, fontDir);
        std::unique_ptr<DialogFontSettings> dialog;
        if (!printer.isUp() || !connectLink(printer.address())) {
            state.SkipWithError("no link to the emulator");
        } else {
            dialog = std::make_unique<DialogFontSettings>();
            dialog->show();
            // Its own refresh comes first (GetFontScripts and ListFiles after 200 ms).
            runFor(DialogFontSettings::StartDelayMs + 200);

            QElapsedTimer clock;
            clock.start();
            qint64 committedAt = -1;
            // The printer's own word that it committed the file.
            if (PrinterEmulator *emulator = printer.inProcess()) {
                QObject::connect(emulator, &PrinterEmulator::requestReceived, emulator, [&](quint16 word) {
                    if (word == CommitFileUpload)
                        committedAt = clock.nsecsElapsed();
                });
            }
            const auto committed = [&] {
                if (committedAt < 0 && !printer.lines().isEmpty()) {
                    for (int i = printer.lines().size() - 1; i >= 0 && committedAt < 0; --i) {
                        if (printer.lines().at(i).contains(QStringLiteral("MD5 good, installed")))
                            committedAt = clock.nsecsElapsed();
                    }
                    printer.lines().clear();
                }
                return committedAt >= 0;
            };
            printer.lines().clear();
            for (auto _ : state) {
                committedAt = -1;
                const qint64 startedAt = clock.nsecsElapsed();
                if (!dialog->installFont(local) || !runUntil(committed, 60000)) {
                    state.SkipWithError("the printer did not commit the font");
                    break;
                }
                state.SetIterationTime(double(committedAt - startedAt) / 1e9);
                // The dialog's list refresh after the commit, then the next round.
                runUntil([&] { return !dialog->uploading(); }, 5000);
                runFor(30);
                if (QFileInfo(installed).size() != bytes.size()) {
                    state.SkipWithError("the installed font has the wrong size");
                    break;
                }
            }
            QFile file(installed);
            if (!file.open(QIODevice::ReadOnly) || FileRecord::md5(file.readAll()) != FileRecord::md5(bytes))
                state.SkipWithError("the installed font differs from the local one");
        }
        dialog.reset();
        closeLink();
    }
    delete g_transceiver;
    g_transceiver = nullptr;
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["bytes"] = bytes.size();
}
void fontUploadInProcess(benchmark::State &state) { fontUpload(state, false); }
void fontUploadProcess(benchmark::State &state) { fontUpload(state, true); }
BENCHMARK(fontUploadInProcess)->Name("font_upload/emulator_in_process")
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);
BENCHMARK(fontUploadProcess)->Name("font_upload/emulator_process")
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);

// Its floor: the same number of bytes through a bare loopback TCP connection, written in
// large pieces by one thread and read by another, connection set-up included.
void loopbackTcp(benchmark::State &state)
{
    const int size = BenchSizes::fontBytes();
    const std::vector<char> bytes(size_t(size), 'x');
    sockaddr_in address{};
    address.sin_family = AF_INET;
    inet_pton(AF_INET, "127.0.0.94", &address.sin_addr);
    const int server = socket(AF_INET, SOCK_STREAM, 0);
    socklen_t length = sizeof address;
    if (server < 0 || bind(server, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || listen(server, 1) != 0
        || getsockname(server, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        state.SkipWithError("cannot listen on 127.0.0.94");
        if (server >= 0)
            close(server);
        return;
    }
    for (auto _ : state) {
        const auto started = std::chrono::steady_clock::now();
        std::thread reader([server, size] {
            const int peer = accept(server, nullptr, nullptr);
            std::vector<char> buffer(64 * 1024);
            int total = 0;
            while (total < size) {
                const ssize_t n = read(peer, buffer.data(), buffer.size());
                if (n <= 0)
                    break;
                total += int(n);
            }
            close(peer);
        });
        const int client = socket(AF_INET, SOCK_STREAM, 0);
        bool sent = connect(client, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
        if (!sent)
            shutdown(server, SHUT_RDWR); // wakes the reader's accept
        for (int at = 0; sent && at < size;) {
            const ssize_t n = write(client, bytes.data() + at, size_t(std::min(size - at, 64 * 1024)));
            sent = n > 0;
            at += int(n);
        }
        reader.join();
        close(client);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        if (!sent) {
            state.SkipWithError("the loopback transfer failed");
            break;
        }
    }
    close(server);
    state.SetBytesProcessed(state.iterations() * size);
    state.counters["bytes"] = size;
}
BENCHMARK(loopbackTcp)->Name("loopback_tcp_floor")->UseManualTime()->Unit(benchmark::kMillisecond);

const bool paired =
    FloorReporter::pair("window_first_reload/emulator_in_process", "query_pauses_floor")
    && FloorReporter::pair("window_first_reload/emulator_process", "query_pauses_floor")
    && FloorReporter::pair("font_upload/emulator_in_process", "loopback_tcp_floor")
    && FloorReporter::pair("font_upload/emulator_process", "loopback_tcp_floor");

} // namespace

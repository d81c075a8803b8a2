// Figure 6: a roll-out of one changed setting (the print density) to many printers at once,
// each an emulator in this process on its own loopback address (127.0.0.1 and on), all on a
// thread of their own so that the tool and the printers each have a core. On loopback the
// printers answer at once and the figure is the cost of the work itself; the slow printers
// send their answers in 32-byte pieces 2 ms apart, as a busy network or firmware might, so
// that it is the waiting the sessions overlap.
#include "bench/benchloop.h"
#include "bench/benchsizes.h"
#include "bench/floorreporter.h"
#include "emulator/printeremulator.h"
#include "profiles/printersession.h"
#include "profiles/profile.h"
#include "profiles/rollout.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

namespace {

using BenchLoop::runUntil;

int printerCount()
{
    return BenchSizes::smoke() ? 4 : 50;
}

// The printers, listening on their thread until the fleet goes.
class Fleet
{
public:
    Fleet(int count, bool slow)
    {
        m_thread.start();
        for (int i = 0; i < count; ++i) {
            EmulatorOptions options;
            options.listen = QHostAddress(QHostAddress(QHostAddress::LocalHost).toIPv4Address() + quint32(i));
            options.discovery = false;
            if (slow) {
                options.chunk = 32;
                options.chunkDelayMs = 2;
            }
            auto *emulator = new PrinterEmulator(options);
            emulator->moveToThread(&m_thread);
            bool listening = false;
            QMetaObject::invokeMethod(emulator, [emulator, &listening] { listening = emulator->listen(); },
                                      Qt::BlockingQueuedConnection);
            m_up = m_up && listening;
            m_printers.push_back(emulator);
            m_addresses << Rollout::Printer{options.listen, options.port};
        }
    }
    ~Fleet()
    {
        for (PrinterEmulator *emulator : m_printers)
            QMetaObject::invokeMethod(emulator, [emulator] { delete emulator; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    bool isUp() const { return m_up; }
    const QList<Rollout::Printer> &printers() const { return m_addresses; }

private:
    QThread m_thread;
    std::vector<PrinterEmulator *> m_printers;
    QList<Rollout::Printer> m_addresses;
    bool m_up = true;
};

// What the first printer holds, read through a session.
bool readSettings(const Rollout::Printer &printer, PrinterSettings *settings)
{
    PrinterSession session(printer.address, printer.port);
    bool done = false;
    bool ok = false;
    QObject::connect(&session, &PrinterSession::settingsRead, [&] { done = ok = true; });
    QObject::connect(&session, &PrinterSession::failed, [&] { done = true; });
    session.read();
    runUntil([&] { return done; }, PrinterSession::AnswerTimeoutMs + 1000);
    if (ok)
        *settings = session.settings();
    return ok;
}

// The printers' profile with another density each round, so every round changes it.
Profile profileFor(const PrinterSettings &read, int round)
{
    PrinterSettings settings = read;
    settings.print.density = round % 2 == 0 ? 115 : 100;
    return Profile::fromSettings(settings, QStringLiteral("bench"));
}

// From start() to finished(), every printer verified.
void rollout(benchmark::State &state, bool slow)
{
    const int parallelism = int(state.range(0));
    Fleet fleet(printerCount(), slow);
    PrinterSettings settings;
    if (!fleet.isUp() || !readSettings(fleet.printers().first(), &settings)) {
        state.SkipWithError("the emulators did not start");
        return;
    }
    int round = 0;
    for (auto _ : state) {
        Rollout rollout(profileFor(settings, round++), fleet.printers());
        rollout.setParallelism(parallelism);
        bool finished = false;
        bool allOk = false;
        QObject::connect(&rollout, &Rollout::finished, [&](bool ok) {
            finished = true;
            allOk = ok;
        });
        QElapsedTimer clock;
        clock.start();
        rollout.start();
        if (!runUntil([&] { return finished; }, 60000) || !allOk) {
            state.SkipWithError("not every printer verified the setting");
            break;
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
    state.counters["printers"] = printerCount();
}
BENCHMARK_CAPTURE(rollout, loopback, false)->Name("rollout_50_printers")->Arg(4)->Arg(8)->Arg(16)
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rollout, slow, true)->Name("rollout_50_slow_printers")->Arg(8)->Arg(16)->Arg(32)
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);

// Its floor: one printer's connect, nine queries, the Set and the read-back, as many times
// over as the printers take turns for the sessions.
void rolloutFloor(benchmark::State &state, bool slow)
{
    const int parallelism = int(state.range(0));
    Fleet fleet(1, slow);
    PrinterSettings settings;
    if (!fleet.isUp() || !readSettings(fleet.printers().first(), &settings)) {
        state.SkipWithError("the emulator did not start");
        return;
    }
    const Rollout::Printer &printer = fleet.printers().first();
    int round = 0;
    for (auto _ : state) {
        PrinterSettings wanted = settings;
        wanted.print.density = round++ % 2 == 0 ? 115 : 100;
        PrinterSession session(printer.address, printer.port);
        bool read = false;
        bool failed = false;
        int reads = 0;
        QObject::connect(&session, &PrinterSession::failed, [&] { failed = true; });
        QObject::connect(&session, &PrinterSession::settingsRead, [&] {
            if (++reads == 1)
                session.sendAndReadBack(PrinterSettings::setRequests(session.settings(), wanted, QString()));
            else
                read = true;
        });
        QElapsedTimer clock;
        clock.start();
        session.read();
        if (!runUntil([&] { return read || failed; }, 20000) || failed
            || session.settings().print.density != wanted.print.density) {
            state.SkipWithError("the printer did not take the setting");
            break;
        }
        const double seconds = double(clock.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds * printerCount() / std::min(parallelism, printerCount()));
        session.close();
    }
}
BENCHMARK_CAPTURE(rolloutFloor, loopback, false)->Name("rollout_floor")->Arg(4)->Arg(8)->Arg(16)
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(rolloutFloor, slow, true)->Name("rollout_slow_floor")->Arg(8)->Arg(16)->Arg(32)
    ->UseManualTime()->Iterations(BenchSizes::linkRounds())->Unit(benchmark::kMillisecond);

const bool paired = FloorReporter::pair("rollout_50_printers/4", "rollout_floor/4")
                    && FloorReporter::pair("rollout_50_printers/8", "rollout_floor/8")
                    && FloorReporter::pair("rollout_50_printers/16", "rollout_floor/16")
                    && FloorReporter::pair("rollout_50_slow_printers/8", "rollout_slow_floor/8")
                    && FloorReporter::pair("rollout_50_slow_printers/16", "rollout_slow_floor/16")
                    && FloorReporter::pair("rollout_50_slow_printers/32", "rollout_slow_floor/32");

} // namespace

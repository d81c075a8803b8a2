#pragma once

#include <QtGlobal>

// The benchmarks' workloads. ZOMRA_BENCH_SMOKE=1 shrinks them so that the ctest smoke run
// only proves each benchmark still builds and runs; its figures mean nothing.
namespace BenchSizes {

inline bool smoke()
{
    return qEnvironmentVariableIntValue("ZOMRA_BENCH_SMOKE") != 0;
}

// Packets in the stream HostCmd::receive takes.
inline int streamPackets() { return smoke() ? 64 : 4096; }
// The font file the upload sends.
inline int fontBytes() { return smoke() ? 64 * 1024 : 5 * 1024 * 1024; }
// The photograph the NV image preview fits to the printer.
inline int photoWidth() { return smoke() ? 800 : 4000; }
inline int photoHeight() { return smoke() ? 600 : 3000; }
// Timed rounds of the benchmarks that drive a window over loopback.
inline int linkRounds() { return smoke() ? 1 : 5; }

} // namespace BenchSizes

#!/usr/bin/env bash
# Builds the benchmarks optimized into build-bench/ and prints the figures, each beside
# its floor. The link benchmarks talk to the emulator over loopback, so the whole run
# goes inside a private network namespace. Extra arguments go to zomra-bench, e.g.
#   bench/run.sh --benchmark_filter=codec
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-bench

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target zomra-bench
if [ ! -x "$build/bench/zomra-bench" ]; then
    echo "bench/run.sh: no zomra-bench: Google Benchmark (libbenchmark-dev) is missing" >&2
    exit 1
fi

# Five repetitions in random order, medians shown: the machine is shared, and single runs
# or runs in a fixed order wander with the load.
QT_QPA_PLATFORM=offscreen "$root/scripts/netns-run.sh" "$build/bench/zomra-bench" \
    --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
    --benchmark_display_aggregates_only=true "$@"

#!/usr/bin/env bash
# Builds the transport tests with ThreadSanitizer in a tree of its own and runs them: the
# TCP link, the USB link (its reader thread, the GUI thread's writes and closes, the
# hand-over to the protocol engine) and the window over both, its reconnects after a lost
# link included, must show no data race.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TSAN_BUILD_DIR:-${BUILD_DIR:-$root/build}-tsan}

# Not from inside the AddressSanitizer suite, whose tree registers this script too.
if [ -n "${ZOMRA_ASAN_SUITE:-}" ]; then
    echo "thread-sanitizer.sh: skipped inside the AddressSanitizer suite" >&2
    exit 77
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -O1" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
start=$SECONDS
cmake --build "$build" -j"$(nproc)" --target tst_links tst_mainwindow >/dev/null
echo "thread-sanitizer.sh: built in $((SECONDS - start)) s"
export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}"
export QT_QPA_PLATFORM=offscreen

# In a namespace of their own, so their emulators' fixed ports never meet the suite's.
run() { "$root/scripts/netns-run.sh" "$build/tests/$1"; }
run tst_links
# The whole window test: the reconnects after a lost TCP link, the USB printer pulled out.
run tst_mainwindow

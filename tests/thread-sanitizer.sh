#!/usr/bin/env bash
# Builds the USB link test with ThreadSanitizer in a tree of its own and runs it: the reader
# thread, the GUI thread's writes and closes, and the hand-over to the protocol engine must
# show no data race.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TSAN_BUILD_DIR:-${BUILD_DIR:-$root/build}-tsan}

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread -O1" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build "$build" -j"$(nproc)" --target tst_usblink >/dev/null
export TSAN_OPTIONS="suppressions=$root/tests/tsan.supp halt_on_error=1 exitcode=66 ${TSAN_OPTIONS:-}"
"$build/tests/tst_usblink"

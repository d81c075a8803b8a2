#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer in a tree of its
# own and runs the suite there: the QtTest programs, the end-to-end scripts (whose
# programs, tool and emulator, come from that tree too) and the corpus replay. A bad
# access, a leak or undefined behaviour fails the test it happens in. Extra arguments go
# to ctest (tests/address-sanitizer.sh -R tcplink).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ASAN_BUILD_DIR:-${BUILD_DIR:-$root/build}-asan}

# The sanitized tree registers this script as a test as well; running it there would
# build a tree inside the tree.
if [ -n "${ZOMRA_ASAN_SUITE:-}" ]; then
    echo "address-sanitizer.sh: already inside the sanitizer suite" >&2
    exit 77
fi
export ZOMRA_ASAN_SUITE=1

flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS="$flags -O1" \
    -DCMAKE_EXE_LINKER_FLAGS="$flags" -DCMAKE_SHARED_LINKER_FLAGS="$flags" >/dev/null
start=$SECONDS
cmake --build "$build" -j"$(nproc)" >/dev/null
echo "address-sanitizer.sh: built $build in $((SECONDS - start)) s"

# Qt, fontconfig and the rest are not instrumented: what they keep for the life of the
# process is listed in lsan.supp, library by library (what only a suppressed block holds
# is left out with it). The fast unwinder stays: the exact one, which would see through
# the libraries' frames, makes every allocation slow enough to miss the scans' 50 ms steps.
export ASAN_OPTIONS="detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1:detect_leaks=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export QT_QPA_PLATFORM=offscreen

# Left out: the checks that build or inspect rather than run our code (the sanitizer
# jobs themselves, the package, the Windows syntax check, the translation check) and the
# fuzzers' own runs, which have sanitizers of their own.
skip='^(address_sanitizer_suite|thread_sanitizer|package_check|usbport_windows_syntax|translations_complete|fuzz_.*)$'
cd "$build"
# A namespace of its own, so its emulators' fixed ports never meet the outer suite's.
exec "$root/scripts/netns-run.sh" ctest --output-on-failure -j"$(nproc)" -E "$skip" "$@"

#!/bin/bash
# Builds the libFuzzer programs in build-fuzz/ (clang, AddressSanitizer and UBSan) and runs
# each target for SECONDS (default 5) from a scratch copy of its seed corpus.
#
#   fuzz/run.sh [SECONDS-PER-TARGET] [TARGET...]     e.g. fuzz/run.sh 600 hostcmd_receive
#
# A crash fails the run and prints the input's path; copy it into fuzz/regressions/TARGET/ under
# a name that says what it does, fix the bug, and the suite's tst_fuzzcorpus keeps it fixed.
# Inputs the run found that reach new code stay in the scratch copy, whose path it prints
# (the short run of the suite, without SECONDS, removes it when it passes);
# the committed corpus is never changed. Exits 77 where clang or libFuzzer is missing.
# BUILD_FUZZ_DIR picks another build tree, FUZZ_WORK_DIR another scratch folder.
set -u

here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(dirname "$here")
# Without SECONDS the run is the suite's short one, whose scratch folder goes when it passes.
short=0
[ $# -eq 0 ] && short=1
seconds=${1:-5}
shift || true
all_targets=(hostcmd_receive handle_response discovery_answer nvimage_list font_records conf_file emulator_feed)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")
build=${BUILD_FUZZ_DIR:-$source_dir/build-fuzz}

case $seconds in
    ''|*[!0-9]*) echo "run.sh: SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac
for t in "${targets[@]}"; do
    if [[ " ${all_targets[*]} " != *" $t "* ]]; then
        echo "run.sh: no target '$t' (targets: ${all_targets[*]})" >&2
        exit 2
    fi
done

# libFuzzer comes with clang's runtime libraries; without them there is nothing to run.
if ! command -v clang++ >/dev/null || ! command -v clang >/dev/null; then
    echo "run.sh: SKIP: clang is not installed (apt-get install clang libclang-rt-14-dev)"
    exit 77
fi
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char *, unsigned long) { return 0; }' >"$probe/p.cpp"
if ! clang++ -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" 2>"$probe/err"; then
    echo "run.sh: SKIP: clang cannot link libFuzzer programs:"
    sed 's/^/  /' "$probe/err" | head -5
    exit 77
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -DZOMRA_FUZZ=ON -DBUILD_TESTING=OFF \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$probe/configure.log" 2>&1 \
        || { cat "$probe/configure.log"; echo "run.sh: configuring $build failed" >&2; exit 1; }
fi
# Only the fuzzers: the libraries once more with clang is what this costs.
build_targets=()
for t in "${targets[@]}"; do build_targets+=(--target "fuzz_$t"); done
echo "run.sh: building ${targets[*]} in $build"
if ! cmake --build "$build" -j2 "${build_targets[@]}" >"$probe/build.log" 2>&1; then
    tail -40 "$probe/build.log"
    echo "run.sh: the build failed" >&2
    exit 1
fi

work=${FUZZ_WORK_DIR:-$(mktemp -d /tmp/zomra-fuzz.XXXXXX)}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# Qt itself is not instrumented; its caches look like leaks to LeakSanitizer at exit.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

failed=0
for t in "${targets[@]}"; do
    corpus=$work/$t/corpus
    artifacts=$work/$t/artifacts
    mkdir -p "$corpus" "$artifacts"
    cp "$here/corpus/$t/"* "$corpus/" 2>/dev/null
    log=$work/$t/fuzz.log
    "$build/fuzz/fuzz_$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1
    status=$?
    stats=$(grep -E '^stat::(number_of_executed_units|average_exec_per_sec)' "$log" | sed 's/^stat:://' | tr '\n' ' ')
    coverage=$(grep -E '^#[0-9]+[[:space:]]+(DONE|INITED|pulse|NEW|REDUCE)' "$log" | tail -1 | grep -oE 'cov: [0-9]+ ft: [0-9]+')
    crash=$(ls "$artifacts" 2>/dev/null | head -1)
    if [ $status -ne 0 ] || [ -n "$crash" ]; then
        failed=1
        echo "FAIL $t (exit $status)"
        grep -E 'ERROR: |SUMMARY: |fuzz check failed|runtime error' "$log" | head -5 | sed 's/^/  /'
        [ -n "$crash" ] && echo "  crash input: $artifacts/$crash"
        echo "  log: $log"
    else
        echo "ok   $t: ${seconds}s, $coverage, $stats"
    fi
done
if [ $failed -eq 0 ] && [ $short -eq 1 ] && [ -z "${FUZZ_WORK_DIR:-}" ]; then
    rm -rf "$work"
else
    echo "run.sh: scratch corpora and logs in $work"
fi
exit $failed

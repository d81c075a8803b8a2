#!/usr/bin/env bash
# The profile commands of the real program, with no display, against the emulator program:
# export, compare, apply a changed copy, compare again, and a printer that is not there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
[ "${ZOMRA_PRIVATE_NETNS:-}" = "$(readlink /proc/self/ns/net)" ] \
    || { echo "profile-end-to-end.sh: skipped outside a private network namespace" >&2; exit 77; }
work=$(mktemp -d)
"$build/emulator/zomra-printer-emulator" --listen 127.0.0.1 --no-discovery >"$work/emulator.log" 2>&1 &
trap 'kill $! 2>/dev/null || true; wait; rm -rf "$work"' EXIT
for _ in $(seq 100); do grep -q '^listening' "$work/emulator.log" && break; sleep 0.05; done

# run STATUS ARGUMENT...: the tool exits with STATUS; its output is left in $output.
run() {
    local expected=$1 status=0 && shift
    output=$(cd "$work" && env -u DISPLAY -u QT_QPA_PLATFORM "$build/zomra-cloud-printer-setup" "$@" 2>&1) || status=$?
    echo "$* -> $status: $output"
    [ "$status" -eq "$expected" ]
}
run 0 --export-profile saved.json --connect 127.0.0.1
run 0 --compare-profile saved.json --connect 127.0.0.1
sed 's/"density": 100/"density": 115/' "$work/saved.json" >"$work/changed.json"
run 0 --apply-profile changed.json --connect 127.0.0.1
[ "$output" = "127.0.0.1 ZR2108A0001234: 1 setting applied and verified" ]
run 0 --compare-profile changed.json --connect 127.0.0.1
started=$SECONDS
run 1 --export-profile absent.json --connect 127.0.0.9
[ $((SECONDS - started)) -le 12 ]

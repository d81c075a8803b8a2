#!/usr/bin/env bash
# Starts the emulator on 127.0.0.1, waits until it listens, runs the tool connected to it,
# and stops the emulator when the tool ends. Meant to run inside scripts/netns-run.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

if [ "${ZOMRA_PRIVATE_NETNS:-}" != "$(readlink /proc/self/ns/net)" ]; then
    echo "run-with-emulator.sh: refusing to run outside a private network namespace;" \
         "start it through scripts/netns-run.sh" >&2
    exit 77
fi

workdir=$(mktemp -d)
trap 'kill "$emulator" 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$workdir"' EXIT

"$build/emulator/zomra-printer-emulator" --listen 127.0.0.1 >"$workdir/emulator.log" 2>&1 &
emulator=$!
for _ in $(seq 100); do
    grep -q '^listening' "$workdir/emulator.log" 2>/dev/null && break
    kill -0 "$emulator" 2>/dev/null || { cat "$workdir/emulator.log" >&2; exit 1; }
    sleep 0.05
done
sed 's/^/emulator: /' "$workdir/emulator.log"

# Until the main window exists, the tool checks the link and prints what the printer said.
[ -n "${DISPLAY:-}" ] || export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
status=0
"$build/zomra-cloud-printer-setup" --connect 127.0.0.1 "$@" || status=$?
sleep 0.1
sed 's/^/emulator: /' "$workdir/emulator.log" | tail -n +3
exit $status

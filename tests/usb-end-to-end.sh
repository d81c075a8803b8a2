#!/usr/bin/env bash
# The USB road between the real programs: the emulator plays a printer on a pseudo-terminal
# with a sysfs tree of its own, and the connect dialog's scan, pointed at that tree, probes
# it and lists it as a USB row.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

if [ "${ZOMRA_PRIVATE_NETNS:-}" != "$(readlink /proc/self/ns/net)" ]; then
    echo "usb-end-to-end.sh: the scan also multicasts; run it through scripts/netns-run.sh" >&2
    exit 77
fi

workdir=$(mktemp -d)
emulator=
trap '[ -z "$emulator" ] || kill "$emulator" 2>/dev/null; wait 2>/dev/null; rm -rf "$workdir"' EXIT

"$build/emulator/zomra-printer-emulator" --usb-pty --sysfs-root "$workdir/sysfs" \
    --project RX100 --model RX110 --sn ZR-USB-E2E >"$workdir/emulator.log" 2>&1 &
emulator=$!
for _ in $(seq 100); do
    grep -q '^usb: printer on' "$workdir/emulator.log" && break
    kill -0 "$emulator" 2>/dev/null || { cat "$workdir/emulator.log"; exit 1; }
    sleep 0.05
done

cd "$workdir"
rows=$(ZOMRA_SYSFS_ROOT="$workdir/sysfs" QT_QPA_PLATFORM=offscreen "$build/tests/zomra-discoveryscan" 50)
sed 's/^/emulator: /' "$workdir/emulator.log"
echo "rows:"
echo "$rows"
grep -q "hello nonce" "$workdir/emulator.log"
[ "$(echo "$rows" | grep -c .)" -eq 1 ]
echo "$rows" | grep -qP '^RX110\tZR-USB-E2E\tUSB$'

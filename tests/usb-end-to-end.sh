#!/usr/bin/env bash
# The USB road between the real programs: the emulator plays a printer with a sysfs tree of
# its own, on a pseudo-terminal (pty, the default) or on its usblp double, a FUSE node
# (fuse), and the connect dialog's scan, pointed at that tree, probes it and lists it as a
# USB row. On the usblp double the scan's reads also meet EIO and zero-length packets,
# asked for through the node's control file, and the printer is then unplugged there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
mode=${1:-pty}

if [ "${ZOMRA_PRIVATE_NETNS:-}" != "$(readlink /proc/self/ns/net)" ]; then
    echo "usb-end-to-end.sh: the scan also multicasts; run it through scripts/netns-run.sh" >&2
    exit 77
fi

workdir=$(mktemp -d)
emulator=
# The emulator unmounts its node as it ends, so the wait comes before the removal.
trap '[ -z "$emulator" ] || kill "$emulator" 2>/dev/null; wait 2>/dev/null; rm -rf "$workdir"' EXIT

road=(--usb-pty)
if [ "$mode" = fuse ]; then
    mkdir "$workdir/mnt"
    road=(--usb-fuse --fuse-mount "$workdir/mnt" --usb-zlp-every 2 --usb-transfer-ms 2)
fi
"$build/emulator/zomra-printer-emulator" "${road[@]}" --sysfs-root "$workdir/sysfs" \
    --project RX100 --model RX110 --sn ZR-USB-E2E >"$workdir/emulator.log" 2>&1 &
emulator=$!
for _ in $(seq 100); do
    grep -q '^usb: printer on' "$workdir/emulator.log" && break
    if ! kill -0 "$emulator" 2>/dev/null; then
        cat "$workdir/emulator.log"
        if grep -q -e 'FUSE' -e '/dev/fuse' -e 'libfuse3' "$workdir/emulator.log"; then
            echo "usb-end-to-end.sh: no FUSE here; skipping the usblp road"
            exit 77
        fi
        exit 1
    fi
    sleep 0.05
done
[ "$mode" != fuse ] || printf 'eio 2\nzlp 3\n' >"$workdir/mnt/control"

cd "$workdir"
rows=$(ZOMRA_SYSFS_ROOT="$workdir/sysfs" QT_QPA_PLATFORM=offscreen "$build/tests/zomra-discoveryscan" 50)
if [ "$mode" = fuse ]; then
    echo unplug >"$workdir/mnt/control"
    for _ in $(seq 40); do grep -q '^usb: unplugged' "$workdir/emulator.log" && break; sleep 0.05; done
fi
sed 's/^/emulator: /' "$workdir/emulator.log"
echo "rows:"
echo "$rows"
grep -q "hello nonce" "$workdir/emulator.log"
[ "$(echo "$rows" | grep -c .)" -eq 1 ]
echo "$rows" | grep -qP '^RX110\tZR-USB-E2E\tUSB$'
if [ "$mode" = fuse ]; then
    [ "$(grep -c 'GetOverlappedResult failed.' log.txt)" -eq 2 ]
    grep -q '^usb: unplugged' "$workdir/emulator.log"
    [ ! -e "$workdir/mnt/lp0" ]
fi

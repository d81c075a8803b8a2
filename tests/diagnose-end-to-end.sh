#!/usr/bin/env bash
# --diagnose for real: alone with loopback it says so and exits 1; with an emulated printer
# at the other end of a veth pair it finds it usable and exits 0. The namespaces and the
# pair are made here and removed on exit, so the caller's own network is never touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
emulator=$build/emulator/zomra-printer-emulator
tool=$build/zomra-cloud-printer-setup

skip() { echo "diagnose-end-to-end.sh: skipped: $*" >&2; exit 77; }
fail() { echo "diagnose-end-to-end.sh: $*" >&2; exit 1; }
command -v ip >/dev/null || skip "no ip command (iproute2)"
[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
[ -x "$emulator" ] && [ -x "$tool" ] || fail "build first: $emulator or $tool is missing"

tag=zomra-diag-$$
workdir=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    wait 2>/dev/null || true
    ip netns delete "$tag-tool" 2>/dev/null || true
    ip netns delete "$tag-printer" 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP
# An empty sysfs tree: this machine's own USB printers stay out of it.
diagnose() { # NETNS-COMMAND...
    (cd "$workdir" && ZOMRA_SYSFS_ROOT=$workdir/sys "$@" "$tool" --diagnose) >"$workdir/out.txt" || status=$?
    sed 's/^/report: /' "$workdir/out.txt"
}

status=0
diagnose unshare -n
[ "$status" -eq 1 ] || fail "with loopback alone: exit status $status, want 1"
grep -q '^  no interface to search but loopback$' "$workdir/out.txt" || fail "loopback alone not said"

for ns in "$tag-tool" "$tag-printer"; do
    ip netns add "$ns" 2>/dev/null || skip "cannot make network namespaces (ip netns add failed)"
    ip -n "$ns" link set lo up
done
ip -n "$tag-tool" link add eth0 type veth peer name eth0 netns "$tag-printer"
host=0
for ns in "$tag-tool" "$tag-printer"; do
    host=$((host + 1))
    ip -n "$ns" addr add "10.78.0.$host/24" dev eth0
    ip -n "$ns" link set eth0 up
    ip -n "$ns" route add 224.0.0.0/4 dev eth0
done
ip netns exec "$tag-printer" "$emulator" --listen 10.78.0.2 --keepalive-ms 0 --project RX200 --model RX230 --sn ZR-DIAG-0001 \
    >"$workdir/printer.log" 2>&1 &
pid=$!
for _ in $(seq 100); do
    grep -q '^discovery: answering' "$workdir/printer.log" && break
    sleep 0.05
done

status=0
diagnose ip netns exec "$tag-tool"
[ "$status" -eq 0 ] || fail "with the printer: exit status $status, want 0"
grep -q '^  searched eth0 10.78.0.1/24 (sent)$' "$workdir/out.txt" || fail "the interface searched not said"
grep -q '^  RX230 ZR-DIAG-0001 at 10.78.0.2: command port 17900 takes connections - usable$' "$workdir/out.txt" \
    || fail "the printer not found usable"
echo "diagnose-end-to-end.sh: loopback alone told, the printer found usable"

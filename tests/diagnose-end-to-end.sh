#!/usr/bin/env bash
# --diagnose for real: alone with loopback it says so and exits 1; with an emulated printer
# across a veth pair it finds it usable and exits 0. Namespaces made here, removed on exit.
set -euo pipefail
build=${BUILD_DIR:-$(cd "$(dirname "$0")/.." && pwd)/build}
fail() { echo "diagnose-end-to-end.sh: $*" >&2; exit 1; }
skip() { echo "diagnose-end-to-end.sh: skipped: $*" >&2; exit 77; }
[ "$(id -u)" -eq 0 ] && command -v ip >/dev/null || skip "making network namespaces needs root and ip"
tag=zomra-diag-$$
work=$(mktemp -d)
cleanup() {
    kill %1 2>/dev/null || true
    wait 2>/dev/null || true
    for ns in tool printer; do ip netns delete "$tag-$ns" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
# WANT-STATUS LINE NETNS-COMMAND...; an empty sysfs tree keeps this machine's USB out of it.
diagnose() {
    local want=$1 line=$2 status=0
    shift 2
    (cd "$work" && ZOMRA_SYSFS_ROOT=$work/sys "$@" "$build/zomra-cloud-printer-setup" --diagnose) >"$work/out" || status=$?
    sed 's/^/report: /' "$work/out"
    [ "$status" -eq "$want" ] && grep -qxF "  $line" "$work/out" || fail "want exit status $want and: $line"
}
diagnose 1 "no interface to search but loopback" unshare -n

ip netns add "$tag-tool" && ip netns add "$tag-printer" || skip "cannot make network namespaces"
ip -n "$tag-tool" link add eth0 type veth peer name eth0 netns "$tag-printer"
host=0
for ns in "$tag-tool" "$tag-printer"; do
    host=$((host + 1))
    ip -n "$ns" addr add "10.78.0.$host/24" dev eth0
    ip -n "$ns" link set eth0 up
    ip -n "$ns" route add 224.0.0.0/4 dev eth0
done
ip netns exec "$tag-printer" "$build/emulator/zomra-printer-emulator" --listen 10.78.0.2 --keepalive-ms 0 \
    --project RX200 --model RX230 --sn ZR-DIAG-0001 >"$work/printer.log" 2>&1 &
diagnose 0 "RX230 ZR-DIAG-0001 at 10.78.0.2: command port 17900 takes connections - usable" ip netns exec "$tag-tool"
grep -qxF "  searched eth0 10.78.0.1/24 (sent)" "$work/out" || fail "eth0 not named as searched"

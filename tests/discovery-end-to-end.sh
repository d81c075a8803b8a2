#!/usr/bin/env bash
# Network discovery for real: the connect dialog scans from one network namespace, three
# emulated printers (one on another subnet, one with its command port elsewhere) answer from
# three others, all joined by veth pairs to a bridge in a fifth. Every namespace, link and
# address is made here and removed on exit; links are only ever made inside those
# namespaces, so the caller's own network is never touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
emulator=$build/emulator/zomra-printer-emulator
scan=$build/tests/zomra-discoveryscan
step_ms=50

skip() {
    echo "discovery-end-to-end.sh: skipped: $*" >&2
    exit 77
}
fail() {
    echo "discovery-end-to-end.sh: $*" >&2
    exit 1
}
command -v ip >/dev/null || skip "no ip command (iproute2)"
[ "$(id -u)" -eq 0 ] || skip "making network namespaces needs root"
[ -x "$emulator" ] && [ -x "$scan" ] || fail "build first: $emulator or $scan is missing"

tag=zomra-disc-$$
hub=$tag-hub
tool=$tag-tool
printer1=$tag-p1
printer2=$tag-p2
printer3=$tag-p3
workdir=$(mktemp -d)
made=()
pids=()
cleanup() {
    for pid in ${pids[@]+"${pids[@]}"}; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    for ns in ${made[@]+"${made[@]}"}; do
        ip netns delete "$ns" 2>/dev/null || true
    done
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

for ns in "$hub" "$tool" "$printer1" "$printer2" "$printer3"; do
    ip netns add "$ns" 2>/dev/null || skip "cannot make network namespaces (ip netns add failed)"
    made+=("$ns")
    ip -n "$ns" link set lo up
done

ip -n "$hub" link add br0 type bridge
ip -n "$hub" link set br0 up
host=0
for ns in "$tool" "$printer1" "$printer2" "$printer3"; do
    host=$((host + 1))
    # Both ends are born inside the namespaces: the hub's port and the member's eth0.
    ip -n "$hub" link add "port$host" type veth peer name eth0 netns "$ns"
    ip -n "$hub" link set "port$host" master br0 up
    [ "$ns" = "$printer3" ] || ip -n "$ns" addr add "10.77.0.$host/24" dev eth0
    ip -n "$ns" link set eth0 up
    ip -n "$ns" route add 224.0.0.0/4 dev eth0
done
ip -n "$printer3" addr add 192.168.77.50/24 dev eth0
ip -n "$printer3" route add 10.77.0.0/24 dev eth0

# A printer in its own namespace, once it says it answers discovery.
start_printer() {
    local ns=$1 address=$2 log=$workdir/$1.log
    shift 2
    ip netns exec "$ns" "$emulator" --listen "$address" --keepalive-ms 0 "$@" >"$log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        grep -q '^discovery: answering' "$log" && return 0
        sleep 0.05
    done
    cat "$log" >&2
    fail "the printer at $address does not answer discovery"
}
start_printer "$printer1" 10.77.0.2 --project RX100 --model RX160 --sn ZR-E2E-0001
start_printer "$printer2" 10.77.0.3 --project RX200 --model RX230 --sn ZR-E2E-0002 --port 17901
start_printer "$printer3" 192.168.77.50 --project RX100 --model RX170 --sn ZR-E2E-0003

netns_id=$(ip netns exec "$tool" readlink /proc/self/ns/net)
status=0
(cd "$workdir" && ZOMRA_PRIVATE_NETNS=$netns_id QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$workdir \
    ip netns exec "$tool" "$scan" "$step_ms" 10.77.0.3) >"$workdir/rows.txt" || status=$?
sed 's/^/row: /' "$workdir/rows.txt"
[ "$status" -eq 0 ] || fail "the scan program failed with status $status"

tab=$'\t'
expected="RX160${tab}ZR-E2E-0001${tab}Network (10.77.0.2)
RX170${tab}ZR-E2E-0003${tab}Network (192.168.77.50)${tab}on another subnet (192.168.77.50, this computer: 10.77.0.1/24)
RX230${tab}ZR-E2E-0002${tab}Network (10.77.0.3)
status: The printer answered the search, but not on its command port 10.77.0.3:17900. Cannot connect to 10.77.0.3:17900: connection refused (nothing answers on that port)"
# Either printer may answer a request first.
[ "$(sort "$workdir/rows.txt")" = "$expected" ] || fail "want exactly these rows:
$expected"

# Every one of the 60 requests reached every printer, from the dialog's port.
for log in "$workdir/$printer1.log" "$workdir/$printer2.log" "$workdir/$printer3.log"; do
    answered=$(grep -c '^discovery request from 10.77.0.1:17899, answered$' "$log" || true)
    [ "$answered" -eq 60 ] || { cat "$log" >&2; fail "$log: $answered requests answered, want 60"; }
done
for address in 10.77.0.2 10.77.0.3 192.168.77.50; do
    grep -q "56 bytes received from $address:17899" "$workdir/log.txt" || fail "no answer logged from $address"
done
echo "discovery-end-to-end.sh: the printers found, each listed once"

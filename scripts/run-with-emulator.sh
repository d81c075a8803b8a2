#!/usr/bin/env bash
# Starts the printer emulator on 127.0.0.1, waits until it listens, runs a command against
# it and stops the emulator when the command ends. Meant to run inside scripts/netns-run.sh.
#
#   run-with-emulator.sh [EMULATOR-OPTION...] [-- COMMAND [ARG...]]
#
# Without a command it opens the tool connected to the emulator. With UNTIL set to an
# extended regular expression, the command is stopped as soon as an emulator line matches
# it (status 0), or after UNTIL_SECONDS (default 20) without a match (status 1).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

if [ "${ZOMRA_PRIVATE_NETNS:-}" != "$(readlink /proc/self/ns/net)" ]; then
    echo "run-with-emulator.sh: refusing to run outside a private network namespace;" \
         "start it through scripts/netns-run.sh" >&2
    exit 77
fi

emulator_options=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    emulator_options+=("$1")
    shift
done
[ "${1:-}" != -- ] || shift
[ $# -gt 0 ] || set -- "$build/zomra-cloud-printer-setup" --connect 127.0.0.1

workdir=$(mktemp -d)
emulator=
command=
cleanup() {
    [ -z "$command" ] || kill "$command" 2>/dev/null || true
    [ -z "$emulator" ] || kill "$emulator" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$workdir"
}
trap cleanup EXIT

"$build/emulator/zomra-printer-emulator" --listen 127.0.0.1 ${emulator_options[@]+"${emulator_options[@]}"} \
    >"$workdir/emulator.log" 2>&1 &
emulator=$!
for _ in $(seq 100); do
    # One printer says it listens; several (--instances) list themselves once all do.
    grep -Eq '^(listening|printer: .* at )' "$workdir/emulator.log" 2>/dev/null && break
    kill -0 "$emulator" 2>/dev/null || { cat "$workdir/emulator.log" >&2; exit 1; }
    sleep 0.05
done
shown=$(wc -l <"$workdir/emulator.log")
sed 's/^/emulator: /' "$workdir/emulator.log"

status=0
if [ -z "${UNTIL:-}" ]; then
    "$@" || status=$?
else
    "$@" &
    command=$!
    status=1
    deadline=$((SECONDS + ${UNTIL_SECONDS:-20}))
    while [ $SECONDS -lt $deadline ] && kill -0 "$command" 2>/dev/null; do
        if grep -Eq "$UNTIL" "$workdir/emulator.log"; then
            status=0
            break
        fi
        sleep 0.1
    done
    grep -Eq "$UNTIL" "$workdir/emulator.log" && status=0
    [ $status -eq 0 ] || echo "run-with-emulator.sh: no emulator line matched: $UNTIL" >&2
fi
sleep 0.1
sed 's/^/emulator: /' "$workdir/emulator.log" | tail -n +$((shown + 1))
exit $status

#!/usr/bin/env bash
# Runs a command inside a private network namespace that has nothing but loopback, so
# nothing the command sends (multicast discovery included) can leave this machine.
# The command finds the namespace's identity in ZOMRA_PRIVATE_NETNS; tests compare it
# with their own namespace before they send anything.
set -euo pipefail

if [ "${1:-}" != --inside ]; then
    if [ "$(id -u)" -eq 0 ]; then
        exec unshare -n -- "$0" --inside "$@"
    else
        exec unshare -rn -- "$0" --inside "$@"
    fi
fi
shift

ip link set lo up
ZOMRA_PRIVATE_NETNS=$(readlink /proc/self/ns/net)
export ZOMRA_PRIVATE_NETNS
exec "$@"

#!/usr/bin/env bash
# Writes a PNG of every tab of the tool, connected to the emulator, into a folder
# (default: screenshots/). Runs on the offscreen platform inside a private network
# namespace, so it needs no display and sends nothing off this machine.
#
#   scripts/screenshots.sh [FOLDER] [EMULATOR-OPTION...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

if [ "${ZOMRA_PRIVATE_NETNS:-}" != "$(readlink /proc/self/ns/net 2>/dev/null)" ]; then
    [ -x "$build/tests/zomra-screenshots" ] || "$root/scripts/build.sh"
    exec "$root/scripts/netns-run.sh" "$0" "$@"
fi

folder=${1:-screenshots}
[ $# -eq 0 ] || shift
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
export QT_QPA_PLATFORM=offscreen
exec "$root/scripts/run-with-emulator.sh" "$@" -- "$build/tests/zomra-screenshots" 127.0.0.1 "$folder"

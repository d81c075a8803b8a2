#!/usr/bin/env bash
# Writes a PNG of every tab of the tool, connected to the emulator, into a folder
# (default: screenshots/). Runs on the offscreen platform inside a private network
# namespace, so it needs no display and sends nothing off this machine.
#
#   scripts/screenshots.sh [--chinese] [FOLDER] [EMULATOR-OPTION...]
#
# --chinese shows the window in Simplified Chinese, as a start with language 1 does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

if [ "${ZOMRA_PRIVATE_NETNS:-}" != "$(readlink /proc/self/ns/net 2>/dev/null)" ]; then
    [ -x "$build/tests/zomra-screenshots" ] || "$root/scripts/build.sh"
    exec "$root/scripts/netns-run.sh" "$0" "$@"
fi

language=()
if [ "${1:-}" = --chinese ]; then
    language=(zh_CN)
    shift
fi
folder=${1:-screenshots}
[ $# -eq 0 ] || shift
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
export QT_QPA_PLATFORM=offscreen
# The program finds its translation in translations/ of the working directory.
cd "$build"
exec "$root/scripts/run-with-emulator.sh" "$@" -- "$build/tests/zomra-screenshots" 127.0.0.1 "$folder" \
    ${language[@]+"${language[@]}"}

#!/usr/bin/env bash
# Installs what is missing, builds, and opens the tool connected to the bundled printer
# emulator, both inside one private network namespace. Arguments go to the emulator
# (./run.sh --project RX100 --model RX110).
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "run.sh: no display here; the tool opens on a virtual X display (Xvfb)," \
         "where it runs but cannot be seen. scripts/screenshots.sh shows its tabs as pictures." >&2
    exec xvfb-run -a scripts/netns-run.sh scripts/run-with-emulator.sh "$@"
fi
exec scripts/netns-run.sh scripts/run-with-emulator.sh "$@"

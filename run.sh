#!/usr/bin/env bash
# Installs what is missing, builds, and runs the tool against the bundled printer emulator,
# both inside one private network namespace.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh
scripts/build.sh
exec scripts/netns-run.sh scripts/run-with-emulator.sh "$@"

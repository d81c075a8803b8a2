#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole suite inside a private network
# namespace on Qt's offscreen platform. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

scripts/install-deps.sh tests
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
cd "${BUILD_DIR:-$root/build}"
exec "$root/scripts/netns-run.sh" ctest --output-on-failure --timeout 300 -j"$(nproc)" "$@"

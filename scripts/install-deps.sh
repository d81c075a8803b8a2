#!/usr/bin/env bash
# Installs the Debian packages the build and the program need, when any is missing; with
# "tests", also what only the test suite uses.
set -euo pipefail

packages=(
    cmake g++ make pkg-config dpkg-dev
    qtbase5-dev libqt5serialport5-dev qttools5-dev-tools
    libssl-dev openssl
    iproute2 util-linux
    fonts-dejavu-core fonts-wqy-microhei xvfb xauth
)
# Tests: the Windows cross compiler for its check, clang's libFuzzer and sanitizer runtimes
# for the fuzz targets, Google Benchmark for the figures, libfuse3 (and fusermount3, which
# mounts for users other than root) for the emulator's usblp double.
[ "${1:-}" != tests ] || packages+=(g++-mingw-w64-x86-64-posix clang libclang-rt-14-dev llvm libbenchmark-dev
                                   libfuse3-dev fuse3)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Not root: install these packages first (sudo apt-get install ${missing[*]})." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null

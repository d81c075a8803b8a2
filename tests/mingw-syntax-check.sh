#!/usr/bin/env bash
# The Windows side of the USB port, checked with the MinGW cross compiler so that it keeps
# compiling on a machine without Windows. Skips when the compiler is not installed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
compiler=x86_64-w64-mingw32-g++
if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "$compiler not installed (apt-get install g++-mingw-w64-x86-64-posix); skipping"
    exit 77
fi
cd "$root"
# Warnings count as failures.
output=$("$compiler" -std=c++17 -Wall -Wextra -fsyntax-only -I. transport/usbport_windows.cpp 2>&1) || {
    echo "$output"
    exit 1
}
if [ -n "$output" ]; then
    echo "$output"
    exit 1
fi
echo "transport/usbport_windows.cpp compiles for Windows without warnings"

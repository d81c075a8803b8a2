#!/usr/bin/env bash
# The tool itself against the emulator process: started with --connect, it must hand-shake
# and send the nine queries of its first Reload in order 1 to 9.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
output=$(UNTIL='request 0x0009 ' "$root/scripts/run-with-emulator.sh" 2>&1) || status=$?
echo "$output"
[ "${status:-0}" -ne 77 ] || exit 77
[ "${status:-0}" -eq 0 ] || exit 1
words=$(echo "$output" | sed -n 's/^emulator: request 0x\(000[1-9]\) .*/\1/p' | tr '\n' ' ')
echo "queries in order: $words"
[ "$words" = "0001 0002 0003 0004 0005 0006 0007 0008 0009 " ]

# Three printers on 127.0.0.101 to .103: three serial numbers, and the third hand-shakes.
output=$(UNTIL='^127\.0\.0\.103: request 0x0001 ' "$root/scripts/run-with-emulator.sh" --listen 127.0.0.101 --instances 3 \
    -- "${BUILD_DIR:-$root/build}/zomra-cloud-printer-setup" --connect 127.0.0.103 2>&1) || { echo "$output"; exit 1; }
[ "$(echo "$output" | sed -n 's/^emulator: printer: .*, sn \([^ ]*\) at .*/\1/p' | sort -u | wc -l)" -eq 3 ]

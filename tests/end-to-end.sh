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

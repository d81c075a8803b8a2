#!/usr/bin/env bash
# scripts/screenshots.sh keeps working: one PNG per tab and one of the serial port dialog,
# each a real picture.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
status=0
"$root/scripts/screenshots.sh" "$folder" || status=$?
[ $status -ne 77 ] || exit 77
[ $status -eq 0 ] || exit 1
count=0
for png in "$folder"/*.png; do
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "not a PNG: $png"; exit 1; }
    [ "$(stat -c %s "$png")" -gt 2000 ] || { echo "too small: $png"; exit 1; }
    count=$((count + 1))
done
echo "$count pictures"
[ $count -eq 9 ] # the eight tabs and the serial port dialog

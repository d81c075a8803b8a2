#!/usr/bin/env bash
# scripts/screenshots.sh keeps working, in English and in Chinese: one PNG per tab, one of
# the dialogs, an unreachable printer and the feedback, each a real picture, and the two languages look different.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

shoot() { # FOLDER [--chinese]
    local status=0 count=0
    "$root/scripts/screenshots.sh" ${2:+"$2"} "$1" || status=$?
    [ $status -ne 77 ] || exit 77
    [ $status -eq 0 ] || exit 1
    for png in "$1"/*.png; do
        [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || { echo "not a PNG: $png"; exit 1; }
        [ "$(stat -c %s "$png")" -gt 2000 ] || { echo "too small: $png"; exit 1; }
        count=$((count + 1))
    done
    echo "$count pictures in $1"
    [ $count -ge 11 ] # the eight tabs, the dialogs, a retry, a failed connect and the feedback
}

shoot "$folder/en"
shoot "$folder/zh" --chinese
! cmp -s "$folder/en/01-device-information.png" "$folder/zh/01-device-information.png"

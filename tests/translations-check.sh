#!/usr/bin/env bash
# Every tr string of the program has a finished Chinese translation: lupdate, run on a
# scratch copy of the .ts file, finds no new text and leaves nothing unfinished.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$root/resources/translations/zh_CN.ts" "$scratch/zh_CN.ts"
report=$("$root/scripts/update-translations.sh" "$scratch/zh_CN.ts" 2>&1)
echo "$report" | grep "source text"
status=0
if ! echo "$report" | grep -q "(0 new and"; then
    echo "strings the .ts file does not have yet; run scripts/update-translations.sh and translate them"
    status=1
fi
if grep -q 'type="unfinished"' "$scratch/zh_CN.ts"; then
    echo "unfinished translations:"
    grep -B1 'type="unfinished"' "$scratch/zh_CN.ts" | sed -n 's/^ *<source>\(.*\)<\/source>/  \1/p'
    status=1
fi
# lupdate's own warnings (a tr in a class without Q_OBJECT, say) lose strings silently.
if echo "$report" | grep -E "lacks Q_OBJECT|unknown namespace/class"; then
    status=1
fi
exit $status

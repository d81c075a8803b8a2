#!/usr/bin/env bash
# Brings resources/translations/zh_CN.ts up to date with the program's tr strings: new
# strings arrive unfinished, strings the code no longer has are dropped. Translate the
# unfinished ones (Qt Linguist, or by hand) and commit the file; the build compiles it.
# With a path argument, writes that file instead (the test suite checks a scratch copy).
set -euo pipefail
cd "$(dirname "$0")/.."
ts=${1:-resources/translations/zh_CN.ts}
lupdate=$(command -v lupdate || echo /usr/lib/qt5/bin/lupdate)
"$lupdate" -I . -no-obsolete -locations none -target-language zh_CN \
    app pages print nvimage profiles protocol transport -ts "$ts"

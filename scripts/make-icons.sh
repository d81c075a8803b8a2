#!/usr/bin/env bash
# Renders resources/images/src/*.svg to 64x64 PNGs in resources/images/.
# Needs rsvg-convert (Debian: apt-get install librsvg2-bin). The PNGs are
# committed, so a normal build never runs this.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
src=$root/resources/images/src
out=$root/resources/images
command -v rsvg-convert >/dev/null || { echo "make-icons: rsvg-convert not found (apt-get install librsvg2-bin)" >&2; exit 1; }
size=${ICON_SIZE:-64}
for svg in "$src"/*.svg; do
  name=$(basename "$svg" .svg)
  rsvg-convert -w "$size" -h "$size" -f png -o "$out/$name.png" "$svg"
  echo "$out/$name.png"
done

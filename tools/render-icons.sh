#!/bin/sh
# Renders data/quelvan.svg into the icons the programs carry, kept in the tree so that no
# build needs an SVG renderer: data/icons/quelvan-<size>.png (the window's icon, embedded as a
# Qt resource, and the Debian package's hicolor icons) and data/quelvan.ico (the Windows
# programs' icon). Run it after changing the SVG, and commit what it writes.
# Usage: tools/render-icons.sh
set -eu

cd "$(dirname "$0")/.."
sh tools/install-deps.sh librsvg2-bin icoutils
mkdir -p data/icons
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" data/quelvan.svg -o "data/icons/quelvan-$size.png"
done
# Windows shows the small sizes as bitmaps and takes 256 as PNG.
icotool -c -o data/quelvan.ico data/icons/quelvan-16.png data/icons/quelvan-24.png \
    data/icons/quelvan-32.png data/icons/quelvan-48.png data/icons/quelvan-64.png \
    -r data/icons/quelvan-256.png

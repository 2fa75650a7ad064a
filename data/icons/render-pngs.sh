#!/bin/sh
# Renders the hicolor PNGs from qelto.svg. Run by hand after changing the SVG and commit the
# result; the build never renders (needs librsvg2-bin: apt-get install librsvg2-bin).
set -eu
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    mkdir -p "hicolor/${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" qelto.svg -o "hicolor/${size}x${size}/apps/qelto.png"
done

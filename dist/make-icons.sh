#!/usr/bin/env bash
# Renders the PNG sizes of the icon from io.github.tallowick.Tallowick.svg
# into icons/NxN/. Run it after changing the SVG and commit the PNGs: the
# build installs them as they are and needs no SVG renderer.
# Needs rsvg-convert (Debian package librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"

command -v rsvg-convert >/dev/null || { echo "make-icons.sh: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 2; }
for size in 16 32 48 64 128 256; do
    mkdir -p "icons/${size}x${size}"
    rsvg-convert -w "$size" -h "$size" io.github.tallowick.Tallowick.svg \
        -o "icons/${size}x${size}/io.github.tallowick.Tallowick.png"
done
echo "icons/*/io.github.tallowick.Tallowick.png"

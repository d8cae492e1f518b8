#!/usr/bin/env bash
# Draws the icon theme images of desktop/icons again after a change of the pictures they come
# from, for committing:
#   16 and 32 pixels: the program's own hand-drawn icon, uikit/pictures/velka-{16,32}.xpm;
#   48 and 256 pixels: the large drawing desktop/icons/velka-tablewright.svg;
#   the Windows icon velka-tablewright.ico: the four of them in one file.
#
#   bash scripts/make-icons.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh
install_groups icons

out=desktop/icons
for size in 16 32; do
    # No time stamps in the file, so that an unchanged picture gives an unchanged file.
    convert "uikit/pictures/velka-$size.xpm" -strip -define png:exclude-chunks=date,time \
        "PNG32:$out/velka-tablewright-$size.png"
done
for size in 48 256; do
    rsvg-convert --width "$size" --height "$size" --format png \
        --output "$out/velka-tablewright-$size.png" "$out/velka-tablewright.svg"
done

convert "$out"/velka-tablewright-{16,32,48,256}.png "$out/velka-tablewright.ico"

for size in 16 32 48 256; do
    identify -format "%f: %wx%h\n" "$out/velka-tablewright-$size.png"
done

#!/usr/bin/env bash
# Makes the pictures of the bracket in docs/ from the program's own renderer: a page of the PDF
# that "PDFとして保存" writes, rasterised as a reader shows it, and the projector view on a
# 1280 x 720 projector. Both show a draw of 9 with some results marked.
#
#   bash scripts/bracket-pictures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh
# The picture program is built with the tests, in the ci preset.
install_groups build program test pictures

cmake --preset ci >/dev/null
cmake --build --preset ci --target bracket_sample_page
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen build/ci/tools/bracket_sample_page "$work/bracket.pdf" \
    docs/bracket-projector.png
pdftoppm -r 80 -png -singlefile "$work/bracket.pdf" docs/bracket-page
echo "docs/bracket-page.png, docs/bracket-projector.png"

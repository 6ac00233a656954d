#!/usr/bin/env bash
# Writes the window's icon into the program from the menu icon, packaging/tolvaren.png: one line
# of RGBA hex a row. Run again whenever the icon changes; the package test compares the two.
set -euo pipefail
cd "$(dirname "$0")/.."
out=platform/services/window_icon_pixels.inc
read -r width height < <(identify -format '%w %h\n' packaging/tolvaren.png)
{
    echo "// Written by tools/icon.sh from packaging/tolvaren.png: $width x $height, RGBA, one row a line."
    echo "constexpr int kIconWidth = $width, kIconHeight = $height;"
    echo "const char* const kIconRows[kIconHeight] = {"
    convert packaging/tolvaren.png -depth 8 RGBA:- | od -An -v -tx1 | tr -d ' \n' |
        fold -w $((width * 8)) | sed 's/.*/    "&",/'
    echo
    echo "};"
} >"$out"

#!/usr/bin/env bash
# Draws the splash logo, assets/logo.png: a 214 x 207 24-bit picture of three measuring axes, and
# renders the program's icon, assets/icons/vx.svg, as the PNG sizes of the desktop's icon theme
# and as the Windows icon assets/icons/vx.ico that vx.exe carries (those sizes in one file).
# Needs ImageMagick (and its Helvetica font for the logo's letters) and rsvg-convert
# (librsvg2-bin); the results are kept in the repository, so a build does not run this.
# The logo has always been a JPEG of quality 92 and keeps that look: it is drawn, stored as that
# JPEG, then kept as PNG, which Qt reads without an image plugin (and -strip leaves out the colour
# chunks that would make Qt read other pixels than those of the JPEG).
# Usage: tools/make_logo.sh [logo] [icons]    (both when neither is named)
set -euo pipefail
assets="$(dirname "$0")/../assets"
what=" ${*:-logo icons} "

if [[ $what == *" logo "* ]]; then
    out="$assets/logo.png"
    jpeg=$(mktemp --suffix=.jpg)
    trap 'rm -f "$jpeg"' EXIT
    convert -size 214x207 gradient:'#1d3557-#457b9d' \
        -stroke '#f1faee' -strokewidth 6 -fill none \
        -draw "line 40,165 40,40" -draw "line 40,165 175,165" -draw "line 40,165 105,110" \
        -stroke none -fill '#f1faee' \
        -draw "polygon 40,28 31,46 49,46" -draw "polygon 187,165 169,156 169,174" \
        -draw "polygon 113,103 94,108 104,121" \
        -fill '#e63946' -draw "circle 40,165 40,175" \
        -fill '#f1faee' -pointsize 22 -draw "text 52,48 'Y'" -draw "text 160,150 'X'" \
        -draw "text 112,98 'Z'" \
        -type TrueColor -quality 92 "$jpeg"
    convert "$jpeg" -strip PNG24:"$out"
    identify "$out"
fi

if [[ $what == *" icons "* ]]; then
    for size in 16 22 24 32 48 64 128 256; do
        png="$assets/icons/vx-$size.png"
        rsvg-convert -w "$size" -h "$size" "$assets/icons/vx.svg" -o "$png"
        # No time stamps inside, so that drawing again changes no file whose picture is the same.
        convert "$png" -define png:exclude-chunks=date,time -strip "$png"
        identify "$png"
    done
    convert "$assets"/icons/vx-{16,24,32,48,64,128,256}.png "$assets/icons/vx.ico"
    identify "$assets/icons/vx.ico"
fi

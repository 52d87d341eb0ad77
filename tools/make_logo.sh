#!/usr/bin/env bash
# Draws the splash logo, assets/logo.png: a 214 x 207 24-bit PNG of three measuring axes.
# Needs ImageMagick; the result is kept in the repository, so a build does not run this.
# The logo has always been a JPEG of quality 92 and keeps that look: it is drawn, stored as that
# JPEG, then kept as PNG, which Qt reads without an image plugin (and -strip leaves out the colour
# chunks that would make Qt read other pixels than those of the JPEG).
set -euo pipefail
out="$(dirname "$0")/../assets/logo.png"
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

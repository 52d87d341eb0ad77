#!/usr/bin/env bash
# Brings the English catalogue translations/vx_en.ts up to date with the texts of the sources:
# a new text comes in unfinished, for its English to be written in (Qt Linguist, or by hand), and
# a text that is no longer in the sources goes. With --check it changes nothing and fails when the
# catalogue is not up to date (a test runs it so).
# Usage: scripts/update-translations.sh [--check]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}
catalogue=$top/translations/vx_en.ts

# The same reading as the build's update_translations target (src/platform/CMakeLists.txt).
update() {
    (cd "$top" && "$lupdate" -silent -locations none -no-obsolete \
        -source-language zh_TW -target-language en src app -ts "$1")
}

if [ "${1:-}" = --check ]; then
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    cp "$catalogue" "$tmp/vx_en.ts"
    update "$tmp/vx_en.ts"
    if ! diff -u "$catalogue" "$tmp/vx_en.ts"; then
        echo "translations/vx_en.ts is not up to date with the sources:" \
            "run scripts/update-translations.sh and write the English of the new texts" >&2
        exit 1
    fi
    exit 0
fi
update "$catalogue"
grep -q 'type="unfinished"' "$catalogue" &&
    echo "Texts without their English yet are marked type=\"unfinished\" in $catalogue"
exit 0

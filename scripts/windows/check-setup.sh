#!/usr/bin/env bash
# The setup program under Wine: a silent install (/S) puts vx.exe in Program Files with its
# Start-menu entry and uninstall entry, the installed vx.exe answers --version, and a silent
# uninstall takes all of it away again. Run by check-windows.sh with its Wine prefix.
# Usage: scripts/windows/check-setup.sh BUILD_DIR
set -uo pipefail
build=$1
: "${WINEPREFIX:?}" "${WINE_LOG:?}"
# shellcheck source=wine-rig.sh
source "$(dirname "$0")/wine-rig.sh"
setup=$(ls "$build"/dist/vx-*-setup.exe)
version=$(basename "$setup" -setup.exe)
version=${version#vx-}
dest=$WINEPREFIX/drive_c/Program\ Files/vx
menu=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Vx.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vx'
problems=0
fail() {
    echo "check-setup: $*" >&2
    problems=$((problems + 1))
}
# Waits until the condition holds: 0, or 1 after the seconds.
until_true() {
    local seconds=$1 waited=0
    shift
    until "$@"; do
        [ "$waited" -ge $((seconds * 10)) ] && return 1
        sleep 0.1
        waited=$((waited + 1))
    done
}

run_with_deadline 120 wine "$setup" /S </dev/null >>"$WINE_LOG" 2>&1 || fail "the setup program failed"
cmp -s "$dest/vx.exe" "$build/dist/vx.exe" || fail "no vx.exe of this build in $dest"
[ -f "$dest/uninstall.exe" ] && [ -f "$dest/LICENSE.txt" ] || fail "no uninstaller or licence"
[ -f "$menu" ] || fail "no Start-menu entry $menu"
wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "$version" ||
    fail "no uninstall entry for version $version"
answer=$(run_with_deadline 60 wine "C:\\Program Files\\vx\\vx.exe" --version </dev/null 2>/dev/null |
    tr -d '\r')
[ "$answer" = "vx $version" ] || fail "the installed vx.exe answered '$answer' to --version"

run_with_deadline 120 wine "C:\\Program Files\\vx\\uninstall.exe" /S </dev/null >>"$WINE_LOG" 2>&1 ||
    fail "the uninstaller failed"
# The uninstaller runs on from a copy of itself in the temporary folder.
gone() { [ ! -e "$dest" ] && [ ! -e "$menu" ]; }
until_true 60 gone || fail "left after uninstalling: $(ls -A "$dest" 2>/dev/null) $([ -e "$menu" ] && echo "$menu")"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstall entry is still there"
[ "$problems" -eq 0 ] && echo "check-setup: installed, started and uninstalled $(basename "$setup")"
[ "$problems" -eq 0 ]

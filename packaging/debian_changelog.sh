#!/bin/sh
# Writes the package's changelog in Debian's format from the project's CHANGELOG.md: each
# "## VERSION - YYYY-MM-DD" heading an entry, each "- " item a "  * " item.
# Usage: debian_changelog.sh CHANGELOG.md "Name <address>" > changelog
set -eu
awk -v who="$2" '
function finish(   command, stamp) {
    if (version == "")
        return
    command = "date -u -R -d \"" date " 12:00\""
    if ((command | getline stamp) <= 0) {
        print "no date in the heading of " version > "/dev/stderr"
        exit 1
    }
    close(command)
    printf "\n -- %s  %s\n", who, stamp
}
/^## / {
    finish()
    if (version != "")
        print ""
    version = $2
    date = $4
    printf "vx (%s) unstable; urgency=medium\n\n", version
    next
}
version == "" { next }
/^- / { print "  * " substr($0, 3); next }
/^  [^ ]/ { print "  " $0; next }
END { finish() }
' "$1"

#!/usr/bin/env bash
# Fails when an include of the product points up or sideways, or when a header of one operating
# system is included outside its own folder of src/platform. The layers, top to bottom:
#   app -> shell (ui -> core) -> link | readout | datalog -> form -> platform (posix/, win32/)
# Only app/ chooses an operating system's folder; nothing under src/ outside it names one.
set -uo pipefail
cd "$(dirname "$0")/.."

rank() { # the layer of a folder under src/, or of app
    case $1 in
    platform*) echo 0 ;; form) echo 1 ;; link | readout | datalog) echo 2 ;;
    shell/core) echo 3 ;; shell/ui) echo 4 ;; app) echo 5 ;; *) echo -1 ;;
    esac
}
area() { # the area of a path: shell/core, shell/ui, platform/posix, link, ...
    case $1 in
    shell/*) echo "${1%%/*}/$(cut -d/ -f2 <<<"$1")" ;;
    platform/posix/* | platform/win32/*) echo "platform/$(cut -d/ -f2 <<<"$1")" ;;
    *) echo "${1%%/*}" ;;
    esac
}

posix_headers='termios|unistd|fcntl|sys/[a-z_/]+|pty|poll|dirent|pwd|grp|linux/[a-z_]+|csignal|signal|netinet/[a-z_]+|arpa/[a-z_]+'
windows_headers='windows|winbase|winioctl|io|shlobj|knownfolders|winerror|winreg|shellapi'
problems=0
say() {
    echo "check-includes: $*" >&2
    problems=$((problems + 1))
}

while IFS= read -r file; do
    rel=${file#src/}
    [[ $file == app/* ]] && rel=app/${file#app/}
    from=$(area "$rel")
    while IFS= read -r line; do
        if [[ $line =~ \#include\ \<($posix_headers)\.h\> || $line =~ \#include\ \<(csignal)\> ]]; then
            [[ $from == platform/posix ]] || say "$file: $line (a POSIX header outside src/platform/posix)"
        fi
        if [[ $line =~ \#include\ \<($windows_headers)\.h\> ]]; then
            [[ $from == platform/win32 ]] || say "$file: $line (a Windows header outside src/platform/win32)"
        fi
        [[ $line =~ \#include\ \"([^\"]+)\" ]] || continue
        target=${BASH_REMATCH[1]}
        [[ $target == ../* ]] && { say "$file: $line (reach other folders by their path from src/)"; continue; }
        [[ $target == */* ]] || continue # a file of the same folder
        to=$(area "$target")
        [[ $to == "$from" ]] && continue
        if [[ $to == platform/posix || $to == platform/win32 ]]; then
            [[ $from == app ]] || say "$file: $line (only app/ chooses an operating system)"
            continue
        fi
        [[ $(rank "$to") -ge 0 ]] || continue # not a folder of the product (tools, vx515sim)
        if [[ $(rank "$to") -ge $(rank "$from") ]]; then
            [[ $from == platform/* && $to == platform ]] && continue
            say "$file: $line (points up or sideways: $from -> $to)"
        fi
    done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file")
done < <(git ls-files -- 'src/*.cpp' 'src/*.h' 'app/*.cpp' 'app/*.h' | grep -v '/testing/')

if [[ $problems -gt 0 ]]; then
    echo "check-includes: $problems include(s) out of place" >&2
    exit 1
fi
echo "check-includes: every include points down; operating-system headers stay in their folders"

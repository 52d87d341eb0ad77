#!/usr/bin/env bash
# Applies one-line faults to the product code one at a time, builds, runs the unit tests (not the
# end-to-end ones) and tells for each whether a test caught it. The file is restored whatever
# happens, Ctrl+C included.
#
#   scripts/mutants.sh [-n] [-s SOURCE_TREE] [-b BUILD_DIR] [-k PATTERN] [-j JOBS] [LIST]
#
# SOURCE_TREE defaults to this repository, BUILD_DIR to SOURCE_TREE/build (configured if it is
# not), LIST to scripts/mutants.txt beside this script. -k runs only the mutants whose heading
# matches the pattern (grep -E); -n only tells which mutants apply, without building. A file that
# is not at its path in the tree is looked for by its base name under src/, tools/ and app/, and
# then by the one product file that holds the text, so the list also runs on older trees. A mutant
# whose text is not found exactly once is "not applicable", never "caught".
#
# The list: blank lines and lines starting with "#" are ignored; a mutant is three lines,
#   @ <path> | <the fault, in a few words>
#   - <text exactly as it stands in the file, once>
#   + <what it becomes; nothing after "+ " removes it>
set -uo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
src="$(dirname "$here")"
build=""
pattern=""
jobs=2
dry=0
while getopts "ns:b:k:j:" opt; do
    case "$opt" in
    n) dry=1 ;;
    s) src="$(cd "$OPTARG" && pwd)" ;;
    b) build="$OPTARG" ;;
    k) pattern="$OPTARG" ;;
    j) jobs="$OPTARG" ;;
    *) sed -n '2,20p' "$0" >&2; exit 2 ;;
    esac
done
shift $((OPTIND - 1))
list="${1:-$here/mutants.txt}"
build="${build:-$src/build}"
log="$(mktemp -d)"

backup="" target=""
restore() {
    if [[ -n "$target" ]]; then
        cat "$backup" >"$target" # a fresh time stamp, so the next build compiles it again
        target=""
    fi
}
trap 'restore; rm -rf "$log"' EXIT
trap 'restore; exit 130' INT TERM HUP

if [[ $dry -eq 0 && ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null || exit 2
fi
# Every test program but the end-to-end ones (and the Windows ones), as the tests' CMake files name
# them (whatever the generator), and the simulator that the simulator tests start. A cross build
# (Windows: scripts/windows/mutants.txt) builds all it has and runs its tests under its emulator.
if [[ -f "$build/CMakeCache.txt" ]] && grep -q '^CMAKE_CROSSCOMPILING_EMULATOR' "$build/CMakeCache.txt"; then
    targets=(all)
else
    mapfile -t targets < <(find "$src"/tests -mindepth 2 -maxdepth 2 -name CMakeLists.txt \
        -not -path '*/win32/*' -exec grep -ohE '^vx_add_test\([A-Za-z0-9_]+' {} + |
        sed 's/^vx_add_test(//' | grep -v '^e2e' | sort -u)
    targets+=(vx515sim)
fi

build_and_test() {
    rm -f "$log/build" "$log/test"
    cmake --build "$build" -j "$jobs" --target "${targets[@]}" >"$log/build" 2>&1 || return 2
    ctest --test-dir "$build" -LE e2e -j "$jobs" --timeout 60 --stop-on-failure >"$log/test" 2>&1 ||
        return 1
    return 0
}

# The tests that failed, from ctest's summary.
failed_tests() {
    sed -n '/tests FAILED:/,$p' "$log/test" | grep -oE ' - [^ ]+' | sed 's/^ - //' | head -3 |
        paste -sd, -
}

occurrences() {
    ORIG="$original" perl -0777 -ne 'print scalar(() = /\Q$ENV{ORIG}\E/g)' "$1"
}

# The file of the list in this tree: as given, else the one file of that base name, else the one
# product file that holds the text (code that has moved since the list was written).
locate() {
    local found="$src/$1"
    [[ -f "$found" ]] ||
        found="$(find "$src/src" "$src/tools" "$src/app" -name "$(basename "$1")" -type f)"
    if [[ -f "$found" && "$(occurrences "$found")" -gt 0 ]]; then
        echo "$found"
        return
    fi
    found="$(find "$src/src" "$src/tools" "$src/app" -name '*.cpp' -o -name '*.h' |
        grep -v /testing/ | while read -r f; do [[ "$(occurrences "$f")" -gt 0 ]] && echo "$f"; done)"
    [[ -n "$found" && "$(wc -l <<<"$found")" -eq 1 ]] && echo "$found"
}

echo "Source tree: $src ($(git -C "$src" rev-parse --short HEAD 2>/dev/null || echo "no git"))"
echo "Build: $build; list: $list"
if [[ $dry -eq 0 ]] && ! build_and_test; then
    echo "The unmutated tree does not build or pass its unit tests; see below." >&2
    tail -30 "$log/build" "$log/test" 2>/dev/null >&2
    exit 2
fi

caught=0 survived=0 skipped=0 unbuilt=0 n=0
heading="" original="" step=0
while IFS= read -r line || [[ -n "$line" ]]; do
    case "$step:$line" in
    0:@*) heading="${line#@ }"; step=1; continue ;;
    1:-*) original="${line#-}"; original="${original# }"; step=2; continue ;;
    2:+*) replacement="${line#+}"; replacement="${replacement# }"; step=0 ;;
    0:\#* | 0:) continue ;;
    *) echo "$list: cannot read the line: $line" >&2; exit 2 ;;
    esac
    [[ -n "$pattern" ]] && ! grep -qE -- "$pattern" <<<"$heading" && continue
    n=$((n + 1))
    path="${heading%% | *}"
    label="$(printf '[%2d] %s' "$n" "$heading")"
    file="$(locate "$path")"
    count=0
    [[ -n "$file" ]] && count="$(occurrences "$file")"
    [[ -n "$file" && "$file" != "$src/$path" ]] && label="$label (in ${file#"$src"/})"
    if [[ "$count" -ne 1 ]]; then
        skipped=$((skipped + 1))
        echo "not applicable  $label (the text is found $count times)"
        continue
    fi
    if [[ $dry -eq 1 ]]; then
        echo "applies         $label"
        continue
    fi
    backup="$log/backup"
    cp "$file" "$backup"
    target="$file"
    ORIG="$original" REPL="$replacement" perl -0777 -i -pe 's/\Q$ENV{ORIG}\E/$ENV{REPL}/' "$file"
    build_and_test
    result=$?
    restore
    # Ctrl+C reaches make and ctest, which end as if they had failed: stop here, not at the next.
    grep -qs "Interrupt" "$log/build" "$log/test" && exit 130
    case "$result" in
    0) survived=$((survived + 1)); echo "SURVIVED        $label" ;;
    1) caught=$((caught + 1)); echo "caught          $label by $(failed_tests)" ;;
    *) unbuilt=$((unbuilt + 1)); echo "does not build  $label" ;;
    esac
done <"$list"

if [[ $dry -eq 1 ]]; then
    echo "$((n - skipped)) of $n mutants apply."
    exit 0
fi
echo "Caught $caught of $((caught + survived)) mutants run; survived $survived;" \
    "not applicable $skipped; did not build $unbuilt."
echo "Rebuilding the unmutated tree."
cmake --build "$build" -j "$jobs" --target "${targets[@]}" >/dev/null 2>&1

# Helpers of the Windows checks, sourced by scripts/check-windows.sh: a Wine prefix of the
# build's own, COM ports mapped to the simulator's pseudo-terminals, and programs run under Wine
# with a deadline. Wine's service processes outlive a program, so nothing here kills a process
# group: a program that overruns is ended by its own process id, and wineserver -k ends the rest.

# The Windows name of a Linux path, on Wine's drive Z:.
winpath() {
    local p=$1
    echo "Z:${p//\//\\}"
}

# A 64-bit prefix, made once (about 20 s), without the Mono and Gecko installers that would ask
# for a download.
make_prefix() {
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        wineboot -i >>"$WINE_LOG" 2>&1
        wineserver -w
    fi
}

# COMn leads to the link LINK (the simulator's, which it points at a new pseudo-terminal at every
# plug). Wine's mount manager reads the mapping when the server starts.
map_com() {
    wine reg add 'HKLM\Software\Wine\Ports' /v "COM$1" /t REG_SZ /d "$2" /f >>"$WINE_LOG" 2>&1
}

# A server that stays 30 s after its last program (or until wineserver -k), so the next program
# starts at once, its standard error apart: a pulled cable's hang-up makes it print an object dump
# of thousands of lines.
restart_server() {
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
    wineserver -p30 2>>"$WINE_LOG" >/dev/null </dev/null || true
}
# For programs without windows: the server, with Wine's service processes started apart, since a
# program that started them would hand them its output, which they would hold open after it ended
# (and ctest waits for that). Not before a program with windows: a desktop started without a
# display stays without one.
ensure_server() {
    wineserver -p30 2>>"$WINE_LOG" >/dev/null </dev/null || true
    wineboot >>"$WINE_LOG" 2>&1 </dev/null
}

# Runs the command; ends it by its process id when it is still running after SECONDS. Its status,
# or 124 for an overrun.
run_with_deadline() {
    local seconds=$1
    shift
    "$@" &
    local pid=$! waited=0
    while kill -0 "$pid" 2>/dev/null; do
        if [ "$waited" -ge $((seconds * 10)) ]; then
            echo "check-windows: $* took more than $seconds s; ended" >&2
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            return 124
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    wait "$pid"
}

# Waits until the file holds the text: 0, or 1 at the deadline.
wait_for_text() {
    local file=$1 text=$2 seconds=$3 waited=0
    until grep -q -- "$text" "$file" 2>/dev/null; do
        [ "$waited" -ge $((seconds * 10)) ] && return 1
        sleep 0.1
        waited=$((waited + 1))
    done
}

# Shared by the benchmark scripts (sourced, not run): processes that are always ended, waits with
# a deadline, a virtual screen and the port-settings file.

bench_pids=()
# The windows are looked for by their documented titles: vx runs in Traditional Chinese.
export LANG=C.UTF-8
unset LANGUAGE LC_ALL LC_MESSAGES

# Ends one process of ours: a polite signal, a deadline, then a kill; always reaped.
stop_process() {
    local pid=$1
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Ends what the script started, the last started first.
stop_started() {
    local i
    for ((i = ${#bench_pids[@]} - 1; i >= 0; i--)); do stop_process "${bench_pids[i]}"; done
    bench_pids=()
}

# Runs the command until it succeeds, at most the given seconds.
wait_for() {
    local seconds=$1
    shift
    local deadline=$((SECONDS + seconds))
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

has_line() { [[ -s $1 ]] && grep -q "$2" "$1"; }

# A virtual screen on a display number it picks itself; exports DISPLAY. Two servers that start
# at once may pick the same number and one of them ends: then it tries again.
start_screen() {
    local folder=$1 size=${2:-1024x768x24} attempt pid
    for attempt in 1 2 3; do
        rm -f "$folder/display"
        Xvfb -displayfd 3 -screen 0 "$size" -nolisten tcp 3>"$folder/display" 2>"$folder/xvfb.log" &
        pid=$!
        if wait_for 10 has_line "$folder/display" '[0-9]' &&
            DISPLAY=:$(tr -dc 0-9 <"$folder/display") xdpyinfo >/dev/null 2>&1; then
            bench_pids+=("$pid")
            export DISPLAY=:$(tr -dc 0-9 <"$folder/display")
            return 0
        fi
        stop_process "$pid"
    done
    echo "no virtual screen; Xvfb said:" >&2
    cat "$folder/xvfb.log" >&2
    return 1
}

# The port-settings file for port 1 at 9600 baud: the port number, then the speed, 20-byte records.
port_settings() {
    printf '\001\000'
    head -c 18 /dev/zero
    printf '\004\0009600'
    head -c 14 /dev/zero
}

# The window with that title (or, for the splash, which has none, the class vx), cut out of the
# screen, into the named file.
shot() {
    local id geometry
    if [[ $1 == splash ]]; then
        id=$(timeout 20 xdotool search --sync --onlyvisible --classname vx | head -1)
    else
        id=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -1)
    fi
    sleep 0.8 # whatever it was drawing is on the screen
    geometry=$(xdotool getwindowgeometry --shell "$id")
    eval "$geometry"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
}

# Installs Debian packages the benchmark needs and the machine lacks.
install_missing() {
    local missing=() pair sudo=()
    for pair in "$@"; do
        command -v "${pair%%:*}" >/dev/null || missing+=("${pair##*:}")
    done
    ((${#missing[@]})) || return 0
    echo "installing ${missing[*]}" >&2
    ((EUID == 0)) || sudo=(sudo)
    "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" >&2
}

#!/bin/sh
# Runs real_monitors_tests on real monitors: for each layout an Xvfb with an
# Xephyr nested in it (RandR off, Xinerama on), whose screens Wine takes for
# monitors, and a Wine prefix of their own without a virtual desktop, where
# WALLPAPER.dll serves the per-monitor wallpaper class CLSID for the run.
#   real_monitors.sh TESTS.exe TESSIVON.exe PREFIX CLSID WALLPAPER.dll
# Display numbers are taken at run time from TESSIVON_X_DISPLAY_BASE (110)
# upward, passing over those in use.
set -u
tests=$1
program=$2
export WINEPREFIX=$3
wallpaperClass=$4
wallpaperServer=$5
prefixTool=$(dirname "$0")/../scripts/wine-prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
next=${TESSIVON_X_DISPLAY_BASE:-110}
servers=""

stop_servers() {
    [ -n "${DISPLAY:-}" ] && wineserver -k >/dev/null 2>&1
    for pid in $servers; do kill "$pid" 2>/dev/null; done
    for pid in $servers; do wait "$pid" 2>/dev/null; done
    servers=""
}
trap stop_servers EXIT INT TERM

# start_server [DISPLAY=...] SERVER ARGUMENTS...: starts the X server on the
# next free display number; sets $number.
start_server() {
    setting=""
    case "$1" in DISPLAY=*) setting=$1 && shift ;; esac
    server=$1
    shift
    for attempt in 1 2 3 4 5 6 7 8 9 10; do
        while [ -e "/tmp/.X$next-lock" ] || [ -e "/tmp/.X11-unix/X$next" ]; do next=$((next + 1)); done
        number=$next
        next=$((next + 1))
        # shellcheck disable=SC2086 # no setting: no word
        env $setting "$server" ":$number" "$@" >/dev/null 2>&1 &
        pid=$!
        for wait in $(seq 50); do
            [ -e "/tmp/.X11-unix/X$number" ] && break
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 "$pid" 2>/dev/null && [ -e "/tmp/.X11-unix/X$number" ]; then
            servers="$pid $servers"
            return 0
        fi
        kill "$pid" 2>/dev/null
    done
    echo "no X server could be started" >&2
    return 1
}

# run_layout MONITORS XEPHYR-SCREENS...
run_layout() {
    monitors=$1
    shift
    start_server Xvfb -screen 0 3000x1200x24 -nolisten tcp || return 1
    host=$number
    start_server DISPLAY=:$host Xephyr -extension RANDR +xinerama -nolisten tcp "$@" || return 1
    export DISPLAY=:$number
    if [ ! -f "$WINEPREFIX/.tessivon-ready" ]; then
        wineboot -i >/dev/null 2>&1 </dev/null
        wineserver -w
        touch "$WINEPREFIX/.tessivon-ready"
    fi
    "$prefixTool" register "$WINEPREFIX" "$wallpaperClass" "$wallpaperServer" || return 1
    wineserver -w
    echo "== $monitors monitors on :$number: $*"
    wine "$tests" "$program" "$monitors"
    result=$?
    "$prefixTool" unregister "$WINEPREFIX" "$wallpaperClass"
    # One X server to a wineserver: it is ended before the next layout.
    stop_servers
    return $result
}

status=0
run_layout 2 -screen 1024x768 -origin 1024,0 -screen 800x600 || status=1
# Left of and above the primary: negative desktop coordinates.
run_layout 3 -origin 640,200 -screen 1024x768 -origin 1664,0 -screen 800x600 -origin 0,0 -screen 640x480 || status=1
exit $status

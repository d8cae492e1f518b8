#!/usr/bin/env bash
# The projector view on a real X server with two monitors (one 3200x1080 screen split by RandR
# into LEFT 1920x1080 and RIGHT 1280x720), without and with a window manager: the view must
# cover exactly the monitor chosen in the display's menu, and with none chosen the monitor the
# timer window is not on. The geometry is read back from the X server, not from the program.
#
#   projector-screens.sh <projector-probe>
set -euo pipefail
probe=$1
for tool in Xvfb xrandr xwininfo xprop openbox dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
# shellcheck disable=SC2317 # called by the EXIT trap (ShellCheck 0.9 misses that)
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT

# -noreset: without it the server forgets the monitors when the last client leaves.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 3200x1080x24 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
# The polls below end as soon as what they wait for is there; their bounds only keep a broken
# server from holding the test until its time-out.
for _ in $(seq 300); do [ -s "$work/display" ] && break; sleep 0.1; done
DISPLAY=:$(cat "$work/display")
export DISPLAY
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$work
xrandr --setmonitor LEFT 1920/508x1080/286+0+0 none
xrandr --setmonitor RIGHT 1280/339x720/190+1920+0 none

declare -A monitor=([LEFT]="0 0 1920 1080" [RIGHT]="1920 0 1280 720")

# Absolute position and size of an X window: "x y w h".
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
        /^  Width/ {w=$2} /^  Height/ {h=$2} END {print x, y, w, h}'
}
# The monitor that holds the centre of a window.
monitorOf() {
    read -r x y w h <<<"$(geometry "$1")"
    local cx=$((x + w / 2)) cy=$((y + h / 2)) name
    for name in LEFT RIGHT; do
        read -r mx my mw mh <<<"${monitor[$name]}"
        if ((cx >= mx && cx < mx + mw && cy >= my && cy < my + mh)); then echo "$name"; return; fi
    done
    echo none
}

failures=0
check() { # window-manager choice
    local out=$work/probe.out args=()
    [ -n "$2" ] && args+=(--screen "$2")
    # The probe keeps its windows open until it is killed, after the check.
    dbus-run-session -- "$probe" "${args[@]}" >"$out" 2>"$work/probe.err" &
    local pid=$!
    for _ in $(seq 300); do grep -q '^pid' "$out" 2>/dev/null && break; sleep 0.1; done
    if ! grep -q '^pid' "$out"; then
        echo "FAIL [$1, ${2:-default}]: the view did not open"; cat "$work/probe.err"
        failures=$((failures + 1)); wait "$pid" || true; return
    fi
    local timer view expected actual
    timer=$(awk '/^timer/ {print $2}' "$out")
    view=$(awk '/^view/ {print $2}' "$out")
    if [ -n "$2" ]; then
        expected=$2
    elif [ "$(monitorOf "$timer")" = LEFT ]; then
        expected=RIGHT
    else
        expected=LEFT
    fi
    # A window manager may still be placing the view: its geometry is read until it is right.
    for _ in $(seq 100); do
        actual=$(geometry "$view")
        [ "$actual" = "${monitor[$expected]}" ] && break
        sleep 0.1
    done
    if [ "$actual" = "${monitor[$expected]}" ]; then
        echo "ok   [$1, ${2:-default}]: timer on $(monitorOf "$timer"), view covers $expected ($actual)"
    else
        echo "FAIL [$1, ${2:-default}]: view at $actual, expected $expected (${monitor[$expected]})"
        failures=$((failures + 1))
    fi
    kill "$(awk '/^pid/ {print $2}' "$out")"
    wait "$pid" || true
}

for choice in "" LEFT RIGHT; do check "no window manager" "$choice"; done

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# Openbox names its theme on the root window once it has loaded it (fonts and all), just
# before it starts managing windows.
for _ in $(seq 300); do
    xprop -root _OB_THEME 2>/dev/null | grep -q '= "' && break
    sleep 0.1
done
for choice in "" LEFT RIGHT; do check openbox "$choice"; done

exit $((failures > 0))

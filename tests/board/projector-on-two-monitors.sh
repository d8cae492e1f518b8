#!/usr/bin/env bash
# Runs the projector tests on a real X server instead of the offscreen platform: Xvfb with one
# 3200 x 1080 screen split into the monitors LEFT (1920 x 1080) and RIGHT (1280 x 720) by RandR,
# or with --one-monitor a single 1280 x 1024 screen, Openbox as the window manager unless
# --no-window-manager is given, and a D-Bus session of its own. Every process it starts is
# stopped by its id when it ends.
#
#   projector-on-two-monitors.sh [--one-monitor] [--no-window-manager] <test program>
set -euo pipefail
screen=3200x1080x24
window_manager=openbox
while [ $# -gt 1 ]; do
    case $1 in
    --one-monitor) screen=1280x1024x24 ;;
    --no-window-manager) window_manager= ;;
    esac
    shift
done
test_program=$1
work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# -noreset: without it the server forgets the monitors when its last client leaves.
exec 3>"$work/display"
Xvfb -displayfd 3 -noreset -screen 0 "$screen" >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 600); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
if [ "$screen" = 3200x1080x24 ]; then
    xrandr --setmonitor LEFT 1920/508x1080/286+0+0 none
    xrandr --setmonitor RIGHT 1280/339x720/190+1920+0 none
fi
if [ -n "$window_manager" ]; then
    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    # Openbox names its theme on the root window once it has loaded it (fonts and all), just
    # before it starts managing windows; the bound only keeps a broken window manager from
    # holding the test until its time-out.
    for _ in $(seq 300); do
        xprop -root _OB_THEME 2>/dev/null | grep -q '= "' && break
        sleep 0.05
    done
fi

QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 dbus-run-session -- "$test_program"

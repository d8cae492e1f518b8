#!/usr/bin/env bash
# Takes the pictures of the four windows in docs/ from the real program, as an organiser would
# see them on a Linux desktop: an X server of its own (Xvfb) with the Openbox window manager,
# the release build of the program, and mouse clicks and typing through xdotool. It runs once
# at scale 1 and once at QT_SCALE_FACTOR=2 (the files with the suffix -2x).
#
#   bash scripts/screenshots.sh
#
# What it shows: a draw of seven (six entrants and a seed), the bracket in progress mode with a
# few results marked, the event timer counting down a round, and the version window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh
install_groups build program screenshots

source scripts/pictures.sh

scale=1

# Clicks at a place in a window's client area, given in logical pixels.
click() {
    xdotool mousemove --window "$1" $(($2 * scale)) $(($3 * scale)) click 1
    sleep 0.4
}

# Saves a window with its frame and title bar, the mouse parked out of the way.
shoot() {
    local window=$1 name=$2 suffix=
    [ "$scale" = 1 ] || suffix=-${scale}x
    xdotool mousemove 0 0
    sleep 0.8
    # No time stamps in the file: a picture that shows the same gives the same file.
    import -frame -window "$window" miff:- |
        convert - -strip -define png:exclude-chunks=date,time "PNG24:$out/$name$suffix.png"
    echo "docs/$name$suffix.png: $(identify -format '%wx%h' "$out/$name$suffix.png")"
}

# Centres of the controls, in logical pixels of each window's client area (twips / 15).
# Main window: the board's frame starts at 7 + 2, the palette column at 371.
readonly SHOW=(345 341) NEW=(459 53) PROGRESS=(459 81) TIMER=(459 116) VERINFO=(459 151)
box() { # the centre of winner box k: its place in twips, plus the board's offset
    local -a left=(2100 2730 3360 3990) top=(105 420 735 1050 1365 1680 1995 2310 2625 2940 3255 3570 3885 4200 4515 4830 265 895 1525 2165 2795 3425 4045 4685 585 1845 3045 4375 1155 3780)
    local k=$1 column=0
    ((k < 16)) || column=1
    ((k < 24)) || column=2
    ((k < 28)) || column=3
    echo $((9 + left[column] / 15 + 7)) $((9 + top[k] / 15 + 7))
}
# Entry dialog, inside the frame "エントリー" at 7, 7.
readonly ENTER=(420 98) INPUT=(203 126) SEED_CHECK=(70 161) SEED_NAME=(364 161) SIZE=(431 182) START=(357 214)
# Event timer.
readonly CTL_SHOW=(466 97) COUNTDOWN=(100 123)

run_at_scale() {
    scale=$1
    local width=$((1280 * scale)) height=$((900 * scale))

    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 "${width}x${height}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
    pids+=($!)
    exec 3>&-
    for _ in $(seq 50); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    DISPLAY=:$(cat "$work/display")
    export DISPLAY

    openbox >"$work/openbox.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done

    QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=$scale "$program" >"$work/program.log" 2>&1 &
    local program_pid=$!
    pids+=("$program_pid")

    local main dialog timer about
    main=$(wait_window "Velka Pairvane for Tournament Special")
    click "$main" "${SHOW[@]}" # open the menu palette

    # A new tournament: six entrants, field size 7, and a seeded player in the last slot.
    click "$main" "${NEW[@]}"
    dialog=$(wait_window "新規トーナメント設定")
    click "$dialog" "${INPUT[@]}"
    local name
    for name in '佐藤 翔太' '鈴木 美咲' '高橋 蓮' '田中 結衣' '伊藤 陽翔' '渡辺 さくら'; do
        type_text "$name"
        key Return
    done
    click "$dialog" "${ENTER[@]}"
    click "$dialog" "${SEED_CHECK[@]}"
    click "$dialog" "${SEED_NAME[@]}"
    type_text '山本 大和'
    click "$dialog" "${SIZE[@]}"
    key ctrl+a
    type_text 7
    shoot "$dialog" new-tournament
    click "$dialog" "${START[@]}"

    # Progress mode, and the losers of three first-round matches and one second-round match
    # unticked, so that only the winners' lines lead on.
    click "$main" "${PROGRESS[@]}"
    local k
    for k in 1 2 5 17; do
        # shellcheck disable=SC2046 # box prints two numbers
        click "$main" $(box "$k")
    done
    shoot "$main" main-window

    click "$main" "${VERINFO[@]}"
    about=$(wait_window "Velka Tablewright Version Infomation")
    shoot "$about" version-info
    key Escape

    # The event timer, moved beside the main window, counting down the default five minutes.
    click "$main" "${TIMER[@]}"
    timer=$(wait_window "Velka EventTimer")
    xdotool windowmove "$timer" 20 $((20 + 420 * scale))
    sleep 0.5
    click "$timer" "${CTL_SHOW[@]}"
    click "$timer" "${COUNTDOWN[@]}"
    sleep 1.2
    shoot "$timer" event-timer

    kill "${pids[@]}" 2>/dev/null || true
    wait "${pids[@]}" 2>/dev/null || true
    pids=()
    rm -f "$work/display"
}

run_at_scale 1
run_at_scale 2

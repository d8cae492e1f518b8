#!/usr/bin/env bash
# Takes the pictures of a Swiss event in docs/ from the real program, on a laptop's screen
# (1366 x 768) under Xvfb with the Openbox window manager, driven by the keyboard through
# xdotool as an organiser would: nine players read from a spreadsheet's CSV file in Shift_JIS,
# four rounds of 2本先取 with the results typed on the tables, the standings, and the top four
# on the bracket board marked through to the champion.
#
#   bash scripts/swiss-pictures.sh
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh
install_groups build program screenshots

source scripts/pictures.sh

# Saves a window with its frame and title bar, the mouse parked out of the way.
shoot() {
    xdotool mousemove 0 0
    sleep 0.8
    import -frame -window "$1" miff:- |
        convert - -strip -define png:exclude-chunks=date,time "PNG24:$out/$2.png"
    echo "docs/$2.png: $(identify -format '%wx%h' "$out/$2.png")"
}

click() {
    xdotool mousemove --window "$1" "$2" "$3" click "${4:-1}"
    sleep 0.4
}

# Types a round's results on the tables, one "2-1" as the two keys 2 and 1.
results() {
    local result
    for result in "$@"; do
        key "${result:0:1}"
        key "${result:2:1}"
    done
}

# The players as a spreadsheet saves them: name and reading, Shift_JIS, CR LF.
printf '%s\r\n' 名前,ふりがな '佐藤 翔太,さとう しょうた' '鈴木 美咲,すずき みさき' \
    '高橋 蓮,たかはし れん' '田中 結衣,たなか ゆい' '伊藤 陽翔,いとう はると' \
    '渡辺 さくら,わたなべ さくら' '山本 大和,やまもと やまと' '中村 葵,なかむら あおい' \
    '小林 湊,こばやし みなと' | iconv -f UTF-8 -t SHIFT_JIS >"$work/players.csv"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1366x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
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

QT_QPA_PLATFORM=xcb "$program" >"$work/program.log" 2>&1 &
pids+=($!)
main=$(wait_window "Velka Pairvane for Tournament Special")
xdotool windowmove "$main" 20 20
sleep 0.5

# The board's context menu, 「スイスドロー(W)...」.
click "$main" 150 150 3
key w
swiss=$(wait_window "スイスドロー")
xdotool windowmove "$swiss" 200 30
sleep 0.5

# The players from the file, and a top cut of four.
key alt+f
wait_window "参加者を読み込む" >/dev/null
key ctrl+a
type_text "$work/players.csv"
key Return
sleep 0.5
key alt+u
key Down
key Down
key alt+l
shoot "$swiss" swiss-players

# Four rounds; the second is pictured with two results still to come.
key alt+p
results 2-0 2-1 0-2 1-2
key alt+p
results 2-1 1-1
shoot "$swiss" swiss-round
results 2-0 0-2
key alt+p
results 2-0 1-2 2-1 2-0
key alt+p
results 0-2 2-0 2-1 1-2
key alt+s
shoot "$swiss" swiss-standings

# The top four onto the board; a tie at the cut is answered Yes (the standings' order).
key alt+t
sleep 1
if xdotool search --onlyvisible --name '^決勝トーナメント$' >/dev/null 2>&1; then
    key Return
fi
sleep 0.5
# The board's progress mode from the menu palette, and the marks: seed 4 and seed 2 lose
# their semi-finals (boxes 1 and 2), seed 3 the final (box 17). Places as in screenshots.sh.
click "$main" 345 341
click "$main" 459 81
click "$main" 156 44
click "$main" 156 65
click "$main" 198 75
shoot "$main" swiss-top-cut

#!/usr/bin/env bash
# Takes the pictures of the players' page in docs/ from the real program: an X server of its own
# (Xvfb) with two monitors (the laptop's 1920 × 1080 and a projector's 1280 × 720) and Openbox,
# the release build, clicks and keys through xdotool, and the page itself in headless Chromium at
# a phone's size (390 × 844 at ratio 2), loaded from the program's own server.
#
#   bash scripts/players-page-pictures.sh
#
# It makes a draw of seven with a few results marked and starts a countdown, turns the page on
# for 127.0.0.1 only (the last entry of the window's list, whatever networks this computer has),
# and saves docs/players-page-window.png (the organiser's window), docs/players-page-projector.png
# (the bracket on the projector with the QR code in its corner) and docs/players-page-phone.png.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh
install_groups build program page-pictures

source scripts/pictures.sh

exec 3>"$work/display"
# -noreset: without it the server forgets the monitors when the last client leaves.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 3200x1080x24 >"$work/xvfb.log" 2>&1 &
pids+=($!)
exec 3>&-
for _ in $(seq 50); do
    [ -s "$work/display" ] && break
    sleep 0.1
done
DISPLAY=:$(cat "$work/display")
export DISPLAY
xrandr --setmonitor LAPTOP 1920/508x1080/286+0+0 none
xrandr --setmonitor PROJECTOR 1280/339x720/190+1920+0 none
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

QT_QPA_PLATFORM=xcb dbus-run-session -- "$program" >"$work/program.log" 2>&1 &
pids+=($!)

click() {
    xdotool mousemove --window "$1" "$2" "$3" click 1
    sleep 0.4
}
box() { # the centre of winner box k in the main window, as in scripts/screenshots.sh
    local -a left=(2100 2730 3360 3990) top=(105 420 735 1050 1365 1680 1995 2310 2625 2940 3255 3570 3885 4200 4515 4830 265 895 1525 2165 2795 3425 4045 4685 585 1845 3045 4375 1155 3780)
    local k=$1 column=0
    ((k < 16)) || column=1
    ((k < 24)) || column=2
    ((k < 28)) || column=3
    echo $((9 + left[column] / 15 + 7)) $((9 + top[k] / 15 + 7))
}
shoot() { # window file
    xdotool mousemove 1900 1060
    sleep 0.8
    import -frame -window "$1" miff:- |
        convert - -strip -define png:exclude-chunks=date,time "PNG24:$out/$2"
    echo "docs/$2: $(identify -format '%wx%h' "$out/$2")"
}

main=$(wait_window "Velka Pairvane for Tournament Special")
xdotool windowmove "$main" 40 40
sleep 0.5
click "$main" 345 341 # the menu palette
click "$main" 459 53  # a new tournament: six entrants and a seed, field size 7
dialog=$(wait_window "新規トーナメント設定")
click "$dialog" 203 126
for name in '佐藤 翔太' '鈴木 美咲' '高橋 蓮' '田中 結衣' '伊藤 陽翔' '渡辺 さくら'; do
    type_text "$name"
    key Return
done
click "$dialog" 420 98
click "$dialog" 70 161
click "$dialog" 364 161
type_text '山本 大和'
click "$dialog" 431 182
key ctrl+a
type_text 7
click "$dialog" 357 214
click "$main" 459 81 # progress mode, and three first-round results
for k in 1 2 5; do
    # shellcheck disable=SC2046 # box prints two numbers
    click "$main" $(box "$k")
done
click "$main" 459 116 # the event timer, counting down the default five minutes
timer=$(wait_window "Velka EventTimer")
xdotool windowmove "$timer" 40 560
sleep 0.5
click "$timer" 466 97
click "$timer" 100 123

# The page's window from the board's context menu; 127.0.0.1, the last of its list; on.
xdotool mousemove --window "$main" 200 200 click 3
sleep 0.6
key f
page=$(wait_window "スマートフォンで見る")
xdotool windowmove "$page" 900 40
sleep 0.5
key alt+n
key End
key alt+o
sleep 1
shoot "$page" players-page-window.png

port=$(ss -Hltn 'src 127.0.0.1' | awk '{print $4}' | sed 's/.*://' | sort -n |
    awk '$1 >= 8765 && $1 <= 8775' | head -n 1)
[ -n "$port" ] || { echo "players-page-pictures: the page is not on 127.0.0.1" >&2; exit 1; }

# The bracket on the projector, with the page's address in its corner.
xdotool windowactivate --sync "$main"
sleep 0.3
key F11
sleep 1.5
import -window root -crop 1280x720+1920+0 miff:- |
    convert - +repage -strip -define png:exclude-chunks=date,time \
        "PNG24:$out/players-page-projector.png"
echo "docs/players-page-projector.png: 1280x720"

# The page on a phone, with a player's own match chosen.
# Debian's python3-selenium is installed for the system's Python.
/usr/bin/python3 - "http://127.0.0.1:$port/" "$out/players-page-phone.png" "$work/profile" <<'EOF'
import json
import sys
import time
import urllib.request

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By

url, picture, profile = sys.argv[1:4]
options = webdriver.ChromeOptions()
options.binary_location = "/usr/bin/chromium"
for flag in ("--headless=new", "--no-sandbox", "--disable-gpu", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--user-data-dir=" + profile):
    options.add_argument(flag)
options.add_experimental_option("mobileEmulation", {
    "deviceMetrics": {"width": 390, "height": 844, "pixelRatio": 2.0},
    "userAgent": "Mozilla/5.0 (Linux; Android 13; Pixel 7) AppleWebKit/537.36 "
                 "(KHTML, like Gecko) Chrome/120.0 Mobile Safari/537.36"})
driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
try:
    driver.get(url)
    # A player with a next opponent (the draw is random), as the phone's owner.
    with urllib.request.urlopen(url + "state", timeout=10) as answer:
        players = json.load(answer)["bracket"]["players"]
    me = next(p["name"] for p in players if p["status"] == "playing")
    deadline = time.monotonic() + 20
    while me not in driver.execute_script("return document.body.innerText"):
        if time.monotonic() > deadline:
            sys.exit("the page did not show the bracket")
        time.sleep(0.1)
    driver.find_element(By.XPATH, "//button[text()='%s']" % me).click()
    time.sleep(1.5)
    driver.save_screenshot(picture)
    print("docs/players-page-phone.png: 780x1688")
finally:
    driver.quit()
EOF

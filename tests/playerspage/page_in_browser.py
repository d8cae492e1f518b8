#!/usr/bin/env python3
"""The players' page in a real browser: headless Chromium at a phone's size loads the page that
the harness serves from a real board and timer, and then from a Swiss event of 33 players, on
127.0.0.1, and the test reads what the page shows against what the program published.

    page_in_browser.py <playerspage_harness> [screenshot.png [swiss-screenshot.png]]

Starts the harness, chromedriver and Chromium itself and stops them by process id. Every wait
has a bound far above what it needs; no verdict depends on how fast the machine is.
"""

import json
import math
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common import utils
from selenium.webdriver.common.by import By

PATIENCE = 20  # seconds any one wait may take before the test fails

REVERSER = "\u202e"  # turns the writing of what follows it round, up to the end of its box

# The horizontal gap from the text `first` to the text `then` as drawn inside arguments[0], kept
# on one line while measured (negative when `then` is drawn left of `first`); null when either
# is missing.
GAP_BETWEEN = """
const [root, first, then] = arguments;
const wrapping = root.style.whiteSpace;
root.style.whiteSpace = 'nowrap';
const box = (text) => {
  const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    const at = n.data.indexOf(text);
    if (at < 0) continue;
    const range = document.createRange();
    range.setStart(n, at);
    range.setEnd(n, at + text.length);
    return range.getBoundingClientRect();
  }
  return null;
};
const a = box(first), b = box(then);
root.style.whiteSpace = wrapping;
return a && b ? b.left - a.right : null;
"""

# Every text on the page that holds the reverser, and whether it stands in a <bdi> of its own.
REVERSED_TEXTS = """
const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
const found = [];
for (let n = walker.nextNode(); n; n = walker.nextNode())
  if (n.data.includes(arguments[0])) found.push([n.data, !!n.parentElement.closest('bdi')]);
return found;
"""


class LoopbackService(Service):
    """chromedriver reached at 127.0.0.1 by number: a machine whose /etc/hosts is missing (a
    fresh root made by debootstrap or mmdebstrap has none) cannot resolve "localhost"."""

    @property
    def service_url(self):
        return "http://127.0.0.1:%d" % self.port

    def is_connectable(self):
        return utils.is_connectable(self.port, "127.0.0.1")


def fail(message):
    raise AssertionError(message)


class Harness:
    def __init__(self, program, *arguments):
        self.process = subprocess.Popen([program, *arguments], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, text=True, bufsize=1)
        self.read()

    def read(self):
        line = self.process.stdout.readline()
        if not line:
            fail("the harness ended without publishing")
        self.latest = json.loads(line)
        return self.latest

    def send(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()

    def stop(self):
        """Stops the harness: its exit status, or None when it had to be killed."""
        try:
            self.send("quit")
            return self.process.wait(timeout=5)
        except Exception:
            os.kill(self.process.pid, signal.SIGKILL)
            self.process.wait()
            return None


def wait_for(what, check):
    deadline = time.monotonic() + PATIENCE
    while True:
        result = check()
        if result:
            return result
        if time.monotonic() > deadline:
            fail("waited in vain for " + what)
        time.sleep(0.05)


def text_of(driver, element_id):
    return driver.find_element(By.ID, element_id).text


def expect_isolated(driver, root, name, then):
    """`name` holds the reverser: the words after it still come after it, and it stands in a
    <bdi> wherever the page shows it."""
    gap = driver.execute_script(GAP_BETWEEN, root, name, then)
    if gap is None or gap < -1:
        fail("%r is drawn %s px left of the name before it: the name turned the line round" %
             (then, gap))
    texts = driver.execute_script(REVERSED_TEXTS, REVERSER)
    if not texts or not all(isolated for _, isolated in texts):
        fail("a name with the reverser is not isolated: %r" % texts)


def seconds_of(shown):
    h, m, s = (int(x) for x in shown.split(":"))
    return h * 3600 + m * 60 + s


# The names of the pairings' rows that the search leaves shown.
SHOWN_ROWS = """
return [...document.querySelectorAll('#pairings li')].filter((r) => !r.hidden)
  .map((r) => r.querySelector('.name').textContent);
"""


def search(driver, text):
    """Types text into the empty search box, as a phone's keyboard does."""
    driver.execute_script("const f = document.getElementById('find'); f.value = '';"
                          "f.dispatchEvent(new Event('input'));")
    if text:
        driver.find_element(By.ID, "find").send_keys(text)


def tap_name(driver, name):
    driver.execute_script("[...document.querySelectorAll('#pairings .name')]"
                          ".find((b) => b.textContent === arguments[0]).click()", name)


def requests_made(driver):
    return driver.execute_script(
        "return performance.getEntriesByType('resource').map((e) => e.name)")


def my_table_title(swiss, name):
    """What "my match" says on top for the player called name."""
    players = swiss["players"]
    me = next(p for p in players if p["name"] == name)
    if me.get("opponent") is None:
        return "あなたの試合：不戦勝"
    return "あなたの試合：%d番卓、相手 %s" % (me["table"], players[me["opponent"]]["name"])


def swiss_event(driver, program, screenshot):
    """A Swiss event of 33 players: the round by name, the search, the remembered name's table
    pushed by the event stream when the next round is paired, the standings between rounds."""
    harness = Harness(program, "--swiss")
    try:
        swiss = harness.latest["state"]["swiss"]
        if harness.latest["state"]["bracket"] is not None:
            fail("the bracket is sent while the Swiss event runs")
        driver.get(harness.latest["url"])
        title = lambda: text_of(driver, "swiss-title")
        wait_for("round 1", lambda: "第1回戦" in title())
        seated = [p["name"] for p in swiss["players"] if "table" in p]
        if len(seated) != 33:
            fail("%d of 33 players are seated" % len(seated))
        if driver.execute_script(SHOWN_ROWS) != seated:
            fail("the pairings are not every player's, in the order sent")
        if driver.find_elements(By.CSS_SELECTOR, "#pairings b, #pairings img"):
            fail("a name was taken as markup")
        mallory = driver.execute_script(
            "return [...document.querySelectorAll('.vs')].find((e) => e.textContent.includes('Mallory'))")
        if mallory is None:
            fail("nobody is shown playing Mallory")
        expect_isolated(driver, mallory, "Mallory", "さん")

        # The search, by reading in katakana and in hiragana, by part of the name, in full-width
        # and half-width letters; nothing of it leaves the phone.
        asked = len(requests_made(driver))
        for typed, expected in (("ヤマダ", ["山田太郎", "山田花子"]), ("やまだは", ["山田花子"]),
                                ("太郎", ["山田太郎"]), ("ｂｏｂ", ['Bob & "Ann"']),
                                ("あんどう", ["ｱﾝﾄﾞｳ ﾐｷ"]), ("該当なし", [])):
            search(driver, typed)
            wait_for("the search for " + typed,
                     lambda: sorted(driver.execute_script(SHOWN_ROWS)) == sorted(expected))
        if text_of(driver, "found") != "見つかりません。":
            fail("a search that finds nobody says " + text_of(driver, "found"))
        if requests_made(driver)[asked:]:
            fail("the search was sent: %r" % requests_made(driver)[asked:])

        # Tapped once, the name is remembered on the phone, with the table on top.
        search(driver, "やまだた")
        wait_for("山田太郎 alone", lambda: driver.execute_script(SHOWN_ROWS) == ["山田太郎"])
        if "1人見つかりました" not in text_of(driver, "found"):
            fail("the count found is not said: " + text_of(driver, "found"))
        tap_name(driver, "山田太郎")
        mine = lambda: text_of(driver, "mine-title")
        wait_for("山田太郎's table", lambda: mine() == my_table_title(swiss, "山田太郎"))
        if driver.execute_script("return localStorage.getItem('velka-follow-me')") is None:
            fail("the name is not remembered on the phone")

        # The round's results, then the next round, pushed by the stream to the page as it stands.
        driver.execute_script("window.notReloaded = true")
        harness.send("finish")
        wait_for("the standings after round 1", lambda: "第1回戦まで" in text_of(driver, "standings-title"))
        harness.send("pair")
        while harness.latest["state"]["swiss"]["round"] != 2:
            harness.read()
        swiss = harness.latest["state"]["swiss"]
        wait_for("山田太郎's table in round 2", lambda: mine() == my_table_title(swiss, "山田太郎"))
        if not driver.execute_script("return window.notReloaded === true"):
            fail("the page was loaded again")
        if any(r.endswith("/state") for r in requests_made(driver)):
            fail("the round came by polling, not by the event stream")
        rows = driver.find_elements(By.CSS_SELECTOR, "#standings tr")
        if len(rows) != 33:
            fail("%d lines in the standings of 33 players" % len(rows))
        texts = driver.execute_script(REVERSED_TEXTS, REVERSER)
        if len(texts) < 3 or not all(isolated for _, isolated in texts):
            fail("the reversed name is not isolated in the pairings and the standings: %r" % texts)
        if driver.execute_script("return document.documentElement.scrollWidth") > 390:
            fail("the page is wider than the phone")
        if screenshot:
            search(driver, "やま")
            wait_for("the search", lambda: len(driver.execute_script(SHOWN_ROWS)) >= 3)
            driver.execute_script("window.scrollTo(0, 0)")
            driver.save_screenshot(screenshot)

        # The player with the bye is told so plainly.
        bye = next(p["name"] for p in swiss["players"]
                   if "table" in p and "opponent" not in p)
        search(driver, "")
        tap_name(driver, bye)
        wait_for("the bye", lambda: mine() == "あなたの試合：不戦勝")
        driver.execute_script("localStorage.clear()")
    finally:
        status = harness.stop()
    if status != 0:
        fail("the Swiss harness ended with status %s" % status)


def main():
    program = sys.argv[1]
    screenshot = sys.argv[2] if len(sys.argv) > 2 else None
    swiss_screenshot = sys.argv[3] if len(sys.argv) > 3 else None
    harness = Harness(program)
    profile = tempfile.mkdtemp(prefix="velka-chromium-")
    driver = None
    browser = None
    try:
        url = harness.latest["url"]
        state = harness.latest["state"]
        names = [p["name"] for p in state["bracket"]["players"]]

        # Chromium is started here, listening for its driver on 127.0.0.1 by number (see
        # LoopbackService): chromedriver would reach a browser it started at "localhost".
        browser = subprocess.Popen(
            ["/usr/bin/chromium", "--headless=new", "--no-sandbox", "--disable-gpu",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--user-data-dir=" + profile, "--remote-debugging-port=0",
             "--remote-debugging-address=127.0.0.1", "--window-size=390,844", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
        active_port = os.path.join(profile, "DevToolsActivePort")
        wait_for("the browser", lambda: os.path.exists(active_port) and
                 open(active_port).read().split("\n")[0].isdigit())
        debugger = "127.0.0.1:" + open(active_port).read().split("\n")[0]
        options = webdriver.ChromeOptions()
        options.add_experimental_option("debuggerAddress", debugger)
        driver = webdriver.Chrome(service=LoopbackService("/usr/bin/chromedriver"), options=options)
        driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": 390, "height": 844, "deviceScaleFactor": 2, "mobile": True})
        swiss_event(driver, program, swiss_screenshot)
        driver.get(url)

        # Every name, as text: the one that looks like markup stays text.
        body = lambda: driver.execute_script("return document.body.innerText")
        wait_for("the names", lambda: all(n in body() for n in names))
        if driver.find_elements(By.CSS_SELECTOR, "#rounds b"):
            fail("a name was taken as markup")
        if driver.execute_script("return document.documentElement.scrollWidth") > 390:
            fail("the page is wider than the phone")

        # A name that turns its writing round turns nothing but itself: in the bracket's
        # "one / other の勝者", and in the seed's own news.
        candidates = wait_for("the reversed name's match", lambda: driver.execute_script(
            "return [...document.querySelectorAll('.open')]"
            ".find((e) => e.textContent.includes('Mallory'))"))
        expect_isolated(driver, candidates, "鈴木一郎", "の勝者")
        driver.find_element(By.XPATH, "//button[.='シード選手']").click()
        wait_for("the seed's next match", lambda: "の勝者" in text_of(driver, "mine-status"))
        expect_isolated(driver, driver.find_element(By.ID, "mine-status"), "鈴木一郎", "の勝者")

        # The countdown shows the projector's second: end - floor(now), read between two
        # readings of the system clock (the page redraws every 100 ms, allowed for).
        end = harness.latest["countDownEnd"]
        for _ in range(3):
            wait_for("the countdown", lambda: text_of(driver, "clock").count(":") == 2)
            before = time.time() - 0.25
            shown = text_of(driver, "clock")
            after = time.time()
            if not end - math.floor(after) <= seconds_of(shown) <= end - math.floor(before):
                fail("the page shows %s, the projector %d..%d s" %
                     (shown, end - math.floor(after), end - math.floor(before)))
            time.sleep(0.4)

        # My match: tap my name once; the page names the next opponent and keeps it.
        driver.find_element(By.XPATH, "//button[.='Alice']").click()
        mine = lambda: text_of(driver, "mine-status")
        wait_for("Alice's next match", lambda: "準決勝" in mine() and "<b>太字</b>さん・Bob & \"Ann\"さんの勝者" in mine())
        if not driver.find_elements(By.CSS_SELECTOR, ".match.my-match .side.me"):
            fail("Alice's path is not highlighted")
        harness.send("mark 3 0")  # <b>太字</b> beats Bob
        harness.read()
        wait_for("the new opponent", lambda: "相手は <b>太字</b>さんです" in mine())
        if screenshot:
            driver.save_screenshot(screenshot)
        driver.refresh()
        wait_for("the remembered name", lambda: "Alice" in text_of(driver, "mine-title") and "<b>太字</b>さん" in mine())
        driver.find_element(By.XPATH, "//button[.='山田太郎']").click()
        wait_for("a player who is out", lambda: "1回戦で Aliceさんに敗れました" in mine())
        driver.find_element(By.XPATH, "//button[.='Alice']").click()

        # To the final and the champion.
        for command in ("mark 5 0", "mark 19 0", "mark 17 0", "mark 25 0"):
            harness.send(command)
            harness.read()
        wait_for("the champion", lambda: "優勝：Aliceさん" in text_of(driver, "champion"))
        wait_for("Alice's own news", lambda: "優勝です" in mine())

        # The end of a round: "Time Up!!" in red, announced once; then the laptop's time of day.
        harness.send("countdown 2")
        wait_for("Time Up!!", lambda: text_of(driver, "clock") == "Time Up!!")
        colour = driver.execute_script(
            "return getComputedStyle(document.getElementById('clock')).color")
        if colour != "rgb(255, 42, 26)":
            fail("Time Up!! is shown in " + colour)
        wait_for("the announcement", lambda: driver.execute_script(
            "return document.getElementById('announce').textContent") == "Time Up!!")
        # The page counts to the end by itself; the organiser closes the box once it is open.
        while harness.latest["state"]["clock"]["mode"] != "timeUp":
            harness.read()
        harness.send("close-time-up")
        wait_for("the time of day", lambda: text_of(driver, "clock-label") == "現在時刻")
        low = seconds_of(time.strftime("%H:%M:%S", time.localtime(time.time() - 0.25)))
        shown = text_of(driver, "clock")
        high = seconds_of(time.strftime("%H:%M:%S"))
        seconds = seconds_of(shown)
        if not (low <= seconds <= high or (high < low and (seconds >= low or seconds <= high))):
            fail("the page shows %s as the time of day" % shown)

        # Where the browser has no event stream, the page polls and still follows the board.
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument",
                               {"source": "delete window.EventSource;"})
        driver.refresh()
        wait_for("the page by polling", lambda: "優勝：Aliceさん" in text_of(driver, "champion"))
        harness.send("mark 25 1")  # the final is open again
        harness.read()
        wait_for("the change by polling", lambda: text_of(driver, "champion") == "")

        # The laptop goes away: the page says so instead of showing a clock as live.
        harness.send("stop")
        wait_for("the lost link", lambda: "通信が途切れています" in text_of(driver, "clock"))
        if "最後に受信したのは" not in text_of(driver, "connection"):
            fail("the page does not say when it last heard from the laptop")
        print("the page showed the Swiss round, the search, my table, the standings, and the "
              "bracket's names, the clock, my match, the champion and the lost link")
    finally:
        if driver is not None:
            service_pid = driver.service.process.pid
            driver.quit()
            try:
                os.kill(service_pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        if browser is not None:
            # The browser and its helpers share its process group.
            os.killpg(browser.pid, signal.SIGKILL)
            browser.wait()
        status = harness.stop()
        shutil.rmtree(profile, ignore_errors=True)
    # A harness that ends badly fails the test, as one that a sanitizer stopped does.
    if status != 0:
        fail("the harness ended with status %s" % status)


if __name__ == "__main__":
    signal.alarm(120)
    main()

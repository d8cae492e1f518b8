#!/usr/bin/env bash
# Runs every benchmark of a built bench preset and keeps the output in one report.
#
#   bash bench/run-all.sh [build-dir]      (default build/bench)
#
# The model benchmarks, the clicks through the real widgets (offscreen), and the start-up and
# idle-CPU comparisons against bare Qt programs, offscreen and, when xvfb-run is installed, on a
# real X server too. Exits with 1 when a budget was missed.
set -uo pipefail
cd "$(dirname "$0")/.." || exit
build=${1:-build/bench}
report=$build/performance-report.txt
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-$(mktemp -d /tmp/velka-bench.XXXXXX)}
# The program's probe keeps its tournament here, not in the user's data folder.
XDG_DATA_HOME=$(mktemp -d /tmp/velka-bench-data.XXXXXX)
export XDG_DATA_HOME
trap 'rm -rf "$XDG_DATA_HOME"' EXIT
status=0

{
    echo "Velka Tablewright benchmarks, $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "Machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')"
    echo "Qt $(pkg-config --modversion Qt6Core 2>/dev/null || echo '?'), $(c++ --version | head -1)"
    echo
} | tee "$report"

run() {
    echo "\$ $*" | tee -a "$report"
    "$@" 2>&1 | grep -v -e XDG_RUNTIME_DIR -e 'propagateSizeHints' | tee -a "$report"
    local rc=${PIPESTATUS[0]}
    echo | tee -a "$report"
    if [ "$rc" -ne 0 ]; then
        status=1
    fi
}

run "$build/bench/velka-bench" --benchmark_color=false
run "$build/bench/velka-swiss-bench" --benchmark_color=false
QT_QPA_PLATFORM=offscreen run "$build/bench/velka-window-bench" --benchmark_color=false
QT_QPA_PLATFORM=offscreen run "$build/bench/velka-bracket-bench" --benchmark_color=false
QT_QPA_PLATFORM=offscreen run "$build/bench/velka-swiss-paper-bench" --benchmark_color=false
run "$build/bench/sound-quit-bench" --benchmark_color=false
QT_QPA_PLATFORM=offscreen run "$build/bench/velka-startup-bench"
# The players' page on loopback: the window thread's share, the fan-out to 200 phones, /state
# under wrk.
run "$build/bench/velka-players-page-bench" --benchmark_color=false
run "$build/bench/velka-players-page-fanout"
QT_QPA_PLATFORM=offscreen run "$build/bench/velka-players-page-window-bench"
run bash bench/players-page-wrk.sh "$build"
if command -v xvfb-run >/dev/null; then
    run env -u QT_QPA_PLATFORM xvfb-run -a -s '-screen 0 1280x1024x24' \
        "$build/bench/velka-startup-bench" --only startup
else
    echo "xvfb-run is not installed: the start-up on a real X server was not measured." |
        tee -a "$report"
fi

# Instructions to the first paint: unlike wall time, the count does not move with the machine's
# load, so it shows the program's own share of start-up exactly.
if command -v valgrind >/dev/null; then
    echo "Instructions to the first paint (callgrind, offscreen):" | tee -a "$report"
    declare -A instructions
    for probe in velka-tablewright-probe bare-window-probe bare-text-window-probe; do
        instructions[$probe]=$(QT_QPA_PLATFORM=offscreen valgrind --tool=callgrind \
            --callgrind-out-file=/dev/null "$build/bench/$probe" 2>&1 |
            sed -n 's/.*Collected : *\([0-9]*\).*/\1/p')
        printf '  %-24s %12d\n' "$probe" "${instructions[$probe]}" | tee -a "$report"
    done
    # The budget is held against the bare window with text, which pays the same font set-up;
    # the empty window is there for information.
    awk -v p="${instructions[velka-tablewright-probe]}" -v b="${instructions[bare-window-probe]}" \
        -v t="${instructions[bare-text-window-probe]}" -v budget=1.10 \
        'BEGIN {
            printf "  ratio program/bare window %.3f (for information)\n", p / b
            within = p <= budget * t
            printf "  ratio program/bare window with text %.3f, budget %.2f: %s\n\n", p / t, budget,
                within ? "within" : "OVER BUDGET"
            exit (within ? 0 : 1)
        }' | tee -a "$report"
    if [ "${PIPESTATUS[0]}" -ne 0 ]; then
        status=1
    fi
else
    echo "valgrind is not installed: instruction counts were not taken." | tee -a "$report"
fi

echo "Report: $report"
exit $status

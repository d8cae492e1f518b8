#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velka Tablewright and builds it.
#
#   bash scripts/setup.sh run    install what is missing, build the release, start the program
#   bash scripts/setup.sh test   install what is missing, build with warnings as errors, run every test
#   bash scripts/setup.sh asan   the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   bash scripts/setup.sh bench  install what is missing, build and run every benchmark (report in
#                                build/bench/performance-report.txt)
#   bash scripts/setup.sh fuzz   build the models' fuzz targets with clang, run each for 30 s
#   bash scripts/setup.sh        install what is missing and build the debug preset
#
# Packages come from Debian's archive through apt-get only; nothing else is downloaded.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh

mode=${1:-build}
case $mode in
run) preset=release ;;
test) preset=ci ;;
asan) preset=asan ;;
bench) preset=bench ;;
fuzz) preset=fuzz ;;
build) preset=debug ;;
*)
    echo "usage: $0 [run|test|asan|bench|fuzz]" >&2
    exit 2
    ;;
esac

packages=(
    # compiler and build
    g++ cmake ninja-build pkg-config
    # the toolkit, and Qt's own Japanese texts (はい, いいえ)
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    # Japanese gothic fonts: the stand-in for the designed font, and a fallback
    fonts-ipafont-gothic fonts-noto-cjk fontconfig
    # the event timer's chime: the desktop's event-sound library, its PulseAudio backend and the
    # freedesktop sound theme
    libcanberra-dev libcanberra-pulse sound-theme-freedesktop
    # tests and benchmarks; the checks of the desktop entry and the AppStream metadata
    libgtest-dev libgmock-dev libbenchmark-dev clang-format desktop-file-utils appstream
    # fuzzing: clang and its libFuzzer runtime
    clang libclang-rt-14-dev
)

# Only the test runs need these: a sound server with a null sink to record the chime, an X
# server with two monitors and a window manager for the projector view, a private session bus.
test_packages=(
    pulseaudio pulseaudio-utils sox
    xvfb openbox x11-xserver-utils x11-utils
    dbus
)
case $mode in
test | asan) packages+=("${test_packages[@]}") ;;
esac

install_missing_packages "${packages[@]}"

cmake --preset "$preset"
cmake --build --preset "$preset"

case $mode in
run) exec "build/$preset/app/velka-tablewright" ;;
test | asan) ctest --preset "$preset" ;;
bench) exec bash bench/run-all.sh "build/$preset" ;;
fuzz)
    # Each target starts from its corpus in the repository, copied so that the repository is not
    # written to. A crash, a sanitizer report or a broken invariant stops the run; the input that
    # caused it is kept under build/fuzz/findings for replaying (see fuzz/README.md).
    seconds=${VELKA_FUZZ_SECONDS:-30}
    mkdir -p build/fuzz/findings
    for corpus in fuzz/corpus/*/; do
        target=$(basename "$corpus")
        work=$(mktemp -d)
        cp "$corpus"* "$work"/
        echo "== $target: ${seconds} s"
        status=0
        "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
            -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$target-" "$work" \
            2> "build/fuzz/findings/$target.log" || status=$?
        grep -E '^(Done|stat::number_of_executed_units)' "build/fuzz/findings/$target.log" || true
        rm -rf "$work"
        if [ "$status" -ne 0 ]; then
            tail -n 40 "build/fuzz/findings/$target.log" >&2
            echo "$target found a fault (exit status $status); see build/fuzz/findings" >&2
            exit 1
        fi
    done
    ;;
esac

#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velka Tablewright and builds it.
#
#   bash scripts/setup.sh run    install what building and running needs, build the release and
#                                start the program
#   bash scripts/setup.sh test   install what is missing, build with warnings as errors, run every test
#   bash scripts/setup.sh asan   the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   bash scripts/setup.sh bench  install what is missing, build and run every benchmark (report in
#                                build/bench/performance-report.txt)
#   bash scripts/setup.sh fuzz   build the models' fuzz targets with clang, run each for 30 s
#   bash scripts/setup.sh build  install what is missing and build the debug preset with its tests
#   bash scripts/setup.sh windows  cross-build the models and their tests for 64-bit Windows,
#                                run the tests under Wine
#   bash scripts/setup.sh        the same as build
#
# Packages come from Debian's archive through apt-get only; nothing else is downloaded.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/apt.sh

usage="usage: $0 [run|test|asan|bench|fuzz|windows|build]"

# What building and running the program needs; each mode adds its own tools.
build_tools=(g++ cmake ninja-build pkg-config)
program_packages=(
    "${build_tools[@]}"
    # the toolkit, and Qt's own Japanese texts (はい, いいえ)
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    # Japanese gothic fonts: the stand-in for the designed font, and a fallback
    fonts-ipafont-gothic fonts-noto-cjk fontconfig
    # pictures in names, on the board and in its prints
    fonts-noto-color-emoji
    # the event timer's chime: the desktop's event-sound library, its PulseAudio backend and the
    # freedesktop sound theme
    libcanberra-dev libcanberra-pulse sound-theme-freedesktop
    # the tournament file's JSON, and the players' page's; the page's HTTP server and QR code
    nlohmann-json3-dev libmicrohttpd-dev libqrencode-dev
)
# the tests; the checks of the style, the desktop entry and the AppStream metadata
test_packages=(libgtest-dev libgmock-dev clang-format desktop-file-utils appstream
    # the checks of the bracket's PDF (pdftoppm, pdftotext)
    poppler-utils
    # an X server with two monitors and a window manager for the projector views, a private
    # session bus, and a sound server with a null sink to record the chime
    xvfb openbox x11-xserver-utils x11-utils dbus dbus-daemon pulseaudio pulseaudio-utils sox
    # the players' page in a headless browser, and its QR codes read back
    chromium chromium-driver python3-selenium zbar-tools)
# Google Benchmark; the start-up on a real X server and the instruction counts
bench_packages=(libbenchmark-dev xvfb xauth valgrind
    # the players' page under load
    wrk)
# fuzzing: clang and its libFuzzer runtime (the fuzz targets use no Qt)
fuzz_packages=("${build_tools[@]}" clang libclang-rt-14-dev nlohmann-json3-dev)

mode=${1:-build}
case $mode in
run)
    preset=release
    packages=("${program_packages[@]}")
    ;;
test)
    # The ci preset builds the benchmarks too, so that they keep compiling.
    preset=ci
    packages=("${program_packages[@]}" "${test_packages[@]}" libbenchmark-dev)
    ;;
asan)
    preset=asan
    packages=("${program_packages[@]}" "${test_packages[@]}")
    ;;
bench)
    preset=bench
    packages=("${program_packages[@]}" "${bench_packages[@]}")
    ;;
fuzz)
    preset=fuzz
    packages=("${fuzz_packages[@]}")
    ;;
windows)
    # None of the above but the build tools: MinGW-w64 with POSIX threads, GoogleTest's sources
    # to build for Windows, and Wine to run the tests.
    preset=windows-models
    packages=(cmake ninja-build g++-mingw-w64-x86-64-posix googletest wine64 nlohmann-json3-dev)
    ;;
build)
    preset=debug
    packages=("${program_packages[@]}" "${test_packages[@]}")
    ;;
*)
    echo "$usage" >&2
    exit 2
    ;;
esac

install_missing_packages "${packages[@]}"

cmake --preset "$preset"
cmake --build --preset "$preset"

case $mode in
run) exec "build/$preset/app/velka-tablewright" ;;
test | asan | windows) ctest --preset "$preset" ;;
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

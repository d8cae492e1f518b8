#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velka Tablewright and builds it.
#
#   bash scripts/setup.sh run    install what is missing, build the release, start the program
#   bash scripts/setup.sh test   install what is missing, build with warnings as errors, run every test
#   bash scripts/setup.sh asan   the same tests under AddressSanitizer and UndefinedBehaviorSanitizer
#   bash scripts/setup.sh bench  install what is missing, build and run the benchmarks
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
build) preset=debug ;;
*)
    echo "usage: $0 [run|test|asan|bench]" >&2
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
    # tests and benchmarks; the checks of the desktop entry and the AppStream metadata
    libgtest-dev libgmock-dev libbenchmark-dev clang-format desktop-file-utils appstream
)

install_missing_packages "${packages[@]}"

cmake --preset "$preset"
cmake --build --preset "$preset"

case $mode in
run) exec "build/$preset/app/velka-tablewright" ;;
test | asan) ctest --preset "$preset" ;;
bench) exec bash bench/run-all.sh "build/$preset" ;;
esac

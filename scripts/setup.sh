#!/usr/bin/env bash
# Sets up a Debian 12 machine for Velka Tablewright and builds it.
#
#   bash scripts/setup.sh run    install what building and running needs, build the release and
#                                start the program
#   bash scripts/setup.sh test   install what is missing, build with warnings as errors under
#                                AddressSanitizer and UndefinedBehaviorSanitizer, run every test
#   bash scripts/setup.sh tsan   the tests whose programs start threads, under ThreadSanitizer
#   bash scripts/setup.sh tidy   build the ci preset, then check every source of the tree with
#                                clang-tidy (.clang-tidy); any finding fails, none records the
#                                tree as clean (scripts/tidy-clean.txt)
#   bash scripts/setup.sh tidy-changed  the same for the sources changed since the record (and
#                                those including a changed header); CI runs this one
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

usage="usage: $0 [run|test|tsan|tidy|tidy-changed|bench|fuzz|windows|build]"

# The packages come from the one list, scripts/packages, by group: what building and running
# the program needs ("build", "program"), and what each mode adds.
mode=${1:-build}
case $mode in
run)
    preset=release
    groups=(build program)
    ;;
test)
    preset=ci
    groups=(build program test)
    ;;
tsan)
    # The build preset builds the threaded tests' programs alone, the test preset runs them.
    preset=tsan
    groups=(build program test)
    ;;
tidy | tidy-changed)
    # The ci build's compile commands, and its generated files (moc), are what clang-tidy reads.
    preset=ci
    groups=(build program test)
    ;;
bench)
    preset=bench
    groups=(build program bench)
    ;;
fuzz)
    preset=fuzz
    groups=(build fuzz)
    ;;
windows)
    # MinGW-w64 instead of the native compiler, and Wine to run the tests.
    preset=windows-models
    groups=(windows)
    ;;
build)
    preset=debug
    groups=(build program test)
    ;;
*)
    echo "$usage" >&2
    exit 2
    ;;
esac

install_groups "${groups[@]}"

cmake --preset "$preset"
cmake --build --preset "$preset"

case $mode in
run) exec "build/$preset/app/velka-tablewright" ;;
test | tsan | windows) ctest --preset "$preset" ;;
tidy)
    # Every source of the tree in the compile commands, none of the generated ones under build/.
    # About twenty minutes on two cores: too long for CI, which checks what changed since.
    run-clang-tidy -p "build/$preset" -j "${VELKA_TIDY_JOBS:-2}" -quiet "^$PWD/(?!build/)"
    python3 scripts/tidy-record.py record "build/$preset" --all
    ;;
tidy-changed)
    mapfile -t changed < <(python3 scripts/tidy-record.py changed "build/$preset")
    echo "clang-tidy: ${#changed[@]} sources changed since scripts/tidy-clean.txt"
    if ((${#changed[@]} > 0)); then
        run-clang-tidy -p "build/$preset" -j "${VELKA_TIDY_JOBS:-2}" -quiet "${changed[@]}"
        python3 scripts/tidy-record.py record "build/$preset"
    fi
    ;;
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

#!/usr/bin/env bash
# Every script that configures the program installs everything that building and running it
# needs, from the one package list: a script that kept a list of its own would stop on a fresh
# machine as soon as the program needed one package more. VELKA_PRINT_PACKAGES=1 makes a script
# print the packages it would install instead of installing them.
set -euo pipefail
cd "$(dirname "$0")/../.."
source scripts/apt.sh

needed=$(packages_of_groups build program | sort -u)
failures=0
for run in "setup.sh run" "setup.sh test" "setup.sh tsan" "setup.sh tidy" "setup.sh tidy-changed" \
    "setup.sh bench" "setup.sh build" "setup.sh" "package.sh" "screenshots.sh" "bracket-pictures.sh"; do
    read -r script mode <<<"$run"
    # shellcheck disable=SC2086 # no mode for some
    if ! got=$(VELKA_PRINT_PACKAGES=1 bash "scripts/$script" $mode </dev/null); then
        echo "FAIL $run: did not print its packages"
        failures=$((failures + 1))
        continue
    fi
    absent=$(comm -23 <(echo "$needed") <(sort -u <<<"$got"))
    if [ -n "$absent" ]; then
        echo "FAIL $run: does not install ${absent//$'\n'/ }"
        failures=$((failures + 1))
    fi
done

# Packages are named in scripts/packages only, and only through install_groups.
if grep -n 'install_missing_packages [^"]' scripts/*.sh | grep -v '^scripts/apt.sh:'; then
    echo "FAIL: a script names packages of its own"
    failures=$((failures + 1))
fi
exit $((failures > 0))

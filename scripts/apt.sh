# shellcheck shell=bash
# Installs Debian packages that are missing, through apt-get and nothing else. Sourced by the
# scripts beside it, which name groups of the one package list, scripts/packages:
#
#   source "$(dirname "$0")/apt.sh"
#   install_groups build program
#
# With VELKA_PRINT_PACKAGES=1 in the environment, install_groups prints the packages it would
# install, one a line, and ends the script instead.

velka_package_list=$(dirname "${BASH_SOURCE[0]}")/packages

# The packages of the groups named, each once, in the order of the list.
packages_of_groups() {
    local group
    for group in "$@"; do
        if ! awk -v g="$group" '$1 == g { found = 1 } END { exit !found }' "$velka_package_list"; then
            echo "no group '$group' in $velka_package_list" >&2
            return 1
        fi
    done
    awk -v groups=" $* " '!/^[[:space:]]*(#|$)/ && index(groups, " " $1 " ") && !seen[$2]++ {
        print $2
    }' "$velka_package_list"
}

install_groups() {
    local packages
    packages=$(packages_of_groups "$@") || exit 1
    if [ -n "${VELKA_PRINT_PACKAGES:-}" ]; then
        echo "$packages"
        exit 0
    fi
    # shellcheck disable=SC2086 # one package a line, no spaces in package names
    install_missing_packages $packages
}

install_missing_packages() {
    local missing=() package
    for package in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    ((${#missing[@]})) || return 0

    echo "Installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y --no-install-recommends "${missing[@]}"
}

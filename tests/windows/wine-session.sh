#!/usr/bin/env bash
# Makes the Wine prefix that the Windows tests run in and keeps one Wine server running for
# them (start), or stops that server and every Windows process of the prefix (stop).
#
#   wine-session.sh start|stop <wine64> <wineserver> NAME=VALUE...
#
# CTest starts two tests at once. On a prefix that does not exist yet, the first Wine process
# creates the prefix and its server while the second looks for a server that is not there yet,
# and fails before its test has run. Made here first, the prefix and the server are ready for
# every test. The NAME=VALUE arguments are the environment the tests run with, WINEPREFIX among
# them.
set -euo pipefail

action=$1
wine=$2
wineserver=$3
shift 3
# shellcheck disable=SC2163 # the arguments are NAME=VALUE pairs, exported as they are
export "$@"
: "${WINEPREFIX:?no WINEPREFIX given}"

# The server and the Windows services that wineboot starts outlive this script: they write to a
# log of their own, not to CTest's output, which CTest would otherwise wait on until they end.
log=${WINEPREFIX%/}-session.log

case $action in
start)
    # A server left by an interrupted run is stopped, so that this one is ours.
    "$wineserver" -k 2> /dev/null || true
    "$wineserver" -w
    mkdir -p "$WINEPREFIX"
    : > "$log"
    # The server stays until stopped; should a run be interrupted before it stops the server,
    # the server ends by itself ten minutes after its last Windows program.
    if ! "$wineserver" -p600 >> "$log" 2>&1 || ! "$wine" wineboot --init >> "$log" 2>&1; then
        cat "$log" >&2
        echo "the Wine prefix $WINEPREFIX could not be made" >&2
        exit 1
    fi
    ;;
stop)
    # Fails only when no server runs, which is what is wanted.
    "$wineserver" -k 2> /dev/null || true
    "$wineserver" -w
    ;;
*)
    echo "usage: $0 start|stop <wine64> <wineserver> NAME=VALUE..." >&2
    exit 2
    ;;
esac

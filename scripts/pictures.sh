# shellcheck shell=bash
# The common start of the scripts that take pictures of the real program for docs/: the release
# build, a work folder, the processes started (stopped on exit), and waiting for a window.
# Sourced from the top of the repository; sets program, out and work.

cmake --preset release >/dev/null
cmake --build --preset release --target velka-tablewright
# shellcheck disable=SC2034 # program and out are for the scripts that source this one
program=$PWD/build/release/app/velka-tablewright
# shellcheck disable=SC2034
out=$PWD/docs
work=$(mktemp -d)

# Processes to stop on exit, by process id.
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

# Waits for the visible window with exactly this title and prints its id.
wait_window() {
    local title=$1 id
    for _ in $(seq 100); do
        if id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1) &&
            [ -n "$id" ]; then
            sleep 0.5 # let the window manager frame it and the program paint it
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    echo "$(basename "$0" .sh): no window \"$title\" appeared" >&2
    return 1
}

# Types text one character at a time: xdotool loses kanji typed in a row now and then.
type_text() {
    local i
    for ((i = 0; i < ${#1}; i++)); do
        xdotool type --delay 60 "${1:i:1}"
        sleep 0.05
    done
    sleep 0.3
}

key() {
    xdotool key "$@"
    sleep 0.3
}

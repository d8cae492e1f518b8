#!/usr/bin/env bash
# The real sound player against a real sound server: a PulseAudio of its own with a null sink,
# whose monitor is recorded while the chime plays; the recording must not be silent. The warnings
# play to their end too, and the server's log shows each sound's own description. Then the same
# player with no server at all: it must give up and say nothing. How long these take is measured
# in bench/ (sound-quit-bench), not here.
#
#   chime-into-null-sink.sh <chime-probe>
set -euo pipefail
probe=$1
for tool in pulseaudio pactl parec sox; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
# shellcheck disable=SC2317 # called by the EXIT trap (ShellCheck 0.9 misses that)
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config
unset DISPLAY

# The log at level info lists the properties of every stream the server is given.
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --log-level=info \
    --log-target=stderr -L "module-null-sink sink_name=hall" \
    -L "module-native-protocol-unix socket=$work/native auth-anonymous=1" \
    >"$work/pulseaudio.log" 2>&1 &
pids+=($!)
export PULSE_SERVER=unix:$work/native
# Polls that end as soon as the server is up, or the recorder is connected; the bound only keeps
# a broken server from holding the test until its time-out.
for _ in $(seq 300); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null || { echo "pulseaudio did not start"; cat "$work/pulseaudio.log"; exit 1; }

parec -d hall.monitor --file-format=wav --latency-msec=50 "$work/recording.wav" &
recorder=$!
pids+=("$recorder")
for _ in $(seq 300); do [ -n "$(pactl list short source-outputs)" ] && break; sleep 0.1; done
# The chime is six seconds long; all of it is recorded.
"$probe" time-up | tee "$work/played.txt"
kill "$recorder"
wait "$recorder" 2>/dev/null || true

stats=$(sox "$work/recording.wav" -n stat 2>&1)
echo "$stats" | grep -E 'Length|Maximum amplitude|RMS +amplitude'
maximum=$(echo "$stats" | awk '/^Maximum amplitude/ {print $3}')
rms=$(echo "$stats" | awk '/^RMS +amplitude/ {print $3}')
status=0
if ! awk -v m="$maximum" -v r="$rms" 'BEGIN { exit !(m > 0.05 && r > 0.002) }'; then
    echo "FAIL: the recording of the chime is silent"
    status=1
fi

"$probe" five-minutes one-minute | tee -a "$work/played.txt"
if [ "$(grep -c '^finished [a-z-]* 0$' "$work/played.txt")" -ne 3 ]; then
    echo "FAIL: libcanberra did not play every sound to its end"
    status=1
fi
# Each stream as the server was given it: "<event id>: <description>".
described=$(awk '/Created input/ { split($0, q, "\""); id = q[2] }
    /event.description = / { split($0, q, "\""); print id ": " q[2] }' "$work/pulseaudio.log")
echo "$described"
expected=$'alarm-clock-elapsed: Time Up!!\ncomplete: 残り5分\ndialog-warning: 残り1分'
if [ "$described" != "$expected" ]; then
    echo "FAIL: the sounds are not described as expected:"
    echo "$expected"
    status=1
fi

# No server: the player gives up, with an error, and plays nothing.
PULSE_SERVER=unix:$work/nobody-here "$probe" time-up | tee "$work/silent.txt"
if ! grep -qE '^finished time-up -[0-9]+$' "$work/silent.txt"; then
    echo "FAIL: without a server the player did not give up with an error"
    status=1
fi
exit $status

#!/usr/bin/env bash
# The real sound player against a real sound server: a PulseAudio of its own with a null sink,
# whose monitor is recorded while the chime plays; the recording must not be silent. Then the
# same player with no server at all: it must give up at once and say nothing.
#
#   chime-into-null-sink.sh <chime-probe>
set -euo pipefail
probe=$1
for tool in pulseaudio pactl parec sox; do
    command -v "$tool" >/dev/null || { echo "missing $tool" >&2; exit 1; }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export HOME=$work XDG_RUNTIME_DIR=$work XDG_CONFIG_HOME=$work/config
unset DISPLAY

pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-null-sink sink_name=hall" \
    -L "module-native-protocol-unix socket=$work/native auth-anonymous=1" \
    >"$work/pulseaudio.log" 2>&1 &
pids+=($!)
export PULSE_SERVER=unix:$work/native
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl info >/dev/null || { echo "pulseaudio did not start"; cat "$work/pulseaudio.log"; exit 1; }

parec -d hall.monitor --file-format=wav --latency-msec=50 "$work/recording.wav" &
recorder=$!
pids+=($recorder)
sleep 0.5
# The chime is six seconds long; its first two and a half are enough to hear it.
"$probe" time-up 2500 | tee "$work/played.txt"
sleep 0.3
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
if grep -q '^finished [^0]' "$work/played.txt"; then
    echo "FAIL: libcanberra refused to play"
    status=1
fi

# No server: the player gives up at once, and the play call itself never waits.
PULSE_SERVER=unix:$work/nobody-here "$probe" time-up 3000 | tee "$work/silent.txt"
if ! grep -qE '^finished -?[1-9][0-9]* after [0-9]{1,3} ms' "$work/silent.txt"; then
    echo "FAIL: without a server the player did not give up within a second"
    status=1
fi
if ! grep -qE '^returned after [0-9]{1,2} ms' "$work/silent.txt" "$work/played.txt"; then
    echo "FAIL: play waited"
    status=1
fi
exit $status

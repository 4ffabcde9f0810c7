#!/usr/bin/env bash
# CPU time (user + system) of the whole player playing a 20-second MP3 from
# launch to exit ("Close On Finish"), against the mpv program playing the same
# file with null audio, measured alternately. Also checks that a stopped
# player uses no CPU. Prints medians and the ratio.
set -euo pipefail
PLAYER=$(readlink -f "${1:-build/kivo-player}")
RUNS=${RUNS:-5}
command -v mpv >/dev/null || { echo "playback_cpu: the mpv program is not installed (apt-get install mpv)"; exit 0; }
source "$(dirname "$0")/lib.bash"
on_virtual_display bash "$0" "$PLAYER"
private_home cpu
printf 'song.mp3*%s\r\n!@#$%%\r\n' "$WORK/song.mp3" > "$WORK/one.KVPL"
login=$(id -un | tr '[:lower:]' '[:upper:]')
printf '[Presets]\nClose%%20On%%20Finish=1\n' > "$XDG_CONFIG_HOME/Quelba Kivo Player/$login.ini"

kivo_run() { # only the player's own CPU time is counted, not the key sending
    start_and_play "$WORK/one.KVPL" "${RUSAGE[@]}"
    wait "$pid"
}

kivo=() mpvs=()
for _ in $(seq 1 "$RUNS"); do
    kivo_run
    kivo+=("$(awk '{print $1}' "$WORK/t")")
    read -r cpu _ < <(cpu_of mpv --no-config --no-video --ao=null "$WORK/song.mp3")
    mpvs+=("$cpu")
done
mk=$(median "${kivo[@]}") mm=$(median "${mpvs[@]}")
echo "playing a 20 s MP3 to its end: kivo-player ${mk} s CPU, mpv ${mm} s CPU (medians of $RUNS), ratio $(awk -v a="$mk" -v b="$mm" 'BEGIN {printf "%.2f", a / b}')"

# Stopped: no timer runs, so the process sleeps.
"$PLAYER" > /dev/null 2>&1 &
pid=$!
sleep 1.5
before=$(awk '{print $14 + $15}' "/proc/$pid/stat")
sleep 5
after=$(awk '{print $14 + $15}' "/proc/$pid/stat")
kill "$pid"
echo "stopped player: $((after - before)) clock ticks of CPU in 5 s"

# Steady playback alone (no start-up): clock ticks of CPU over 10 s, 1.5 s into the track.
ticks_of_playback() { # pid
    sleep 1.5
    local a b
    a=$(awk '{print $14 + $15}' "/proc/$1/stat")
    sleep 10
    b=$(awk '{print $14 + $15}' "/proc/$1/stat")
    echo $((b - a))
}
start_and_play "$WORK/one.KVPL"
kt=$(ticks_of_playback "$pid")
wait "$pid"
mpv --no-config --no-video --ao=null "$WORK/song.mp3" > /dev/null 2>&1 &
pid=$!
mt=$(ticks_of_playback "$pid")
wait "$pid"
echo "10 s of steady playback: kivo-player $kt clock ticks of CPU, mpv $mt"

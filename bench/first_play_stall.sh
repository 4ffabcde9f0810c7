#!/usr/bin/env bash
# A fresh player asked to Play over MPRIS at once: how long the Play call and the longest status request
# wait for their replies, from the moment the service appears until the first track (3 s MP3, "Close On
# Finish") has ended. The replies come from the window's thread, so a long one is a moment the window could
# not answer. RUNS runs, each figure's median and worst.
set -euo pipefail
PLAYER=$(readlink -f "${1:-build/kivo-player}")
RUNS=${RUNS:-7}
source "$(dirname "$0")/lib.bash"
on_virtual_display dbus-run-session -- bash "$0" "$PLAYER"
private_home firstplay
ffmpeg -y -loglevel error -f lavfi -i "sine=frequency=440:duration=3" -c:a libmp3lame "$WORK/short.mp3"
printf 'short.mp3*%s\r\n!@#$%%\r\n' "$WORK/short.mp3" > "$WORK/one.KVPL"
login=$(id -un | tr '[:lower:]' '[:upper:]')
printf '[Presets]\nClose%%20On%%20Finish=1\n' > "$XDG_CONFIG_HOME/Quelba Kivo Player/$login.ini"
plays=() longest=() moments=()
for _ in $(seq 1 "$RUNS"); do
    "$PLAYER" "$WORK/one.KVPL" > /dev/null 2>&1 &
    pid=$!
    read -r _ play _ most _ at _ < <(/usr/bin/python3 "$(dirname "$0")/mpris_probe.py")
    wait "$pid" || true
    plays+=("$play") longest+=("$most") moments+=("$most $at")
done
worst() { printf '%s\n' "$@" | sort -n | tail -n 1; }
read -r worst_reply worst_at < <(worst "${moments[@]}")
echo "first Play over MPRIS in a fresh player: reply $(median "${plays[@]}") ms (worst $(worst "${plays[@]}")), "\
"longest status reply to the end of the track $(median "${longest[@]}") ms (worst $worst_reply, asked"\
" $worst_at s after the service appeared), $RUNS runs"

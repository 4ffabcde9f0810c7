#!/usr/bin/env bash
# Memory of the player while it plays a 20-second MP3 (peak and resident, private and shared), and the time
# from the close to the end of the process while the track plays (shut-down and auto-save of a 2,000-entry
# playlist A included). The close is the desktop's SIGTERM, which closes the window the normal way (Alt+X
# adds the 100 ms for which Qt shows the button pressed). Medians of RUNS runs.
set -euo pipefail
PLAYER=$(readlink -f "${1:-build/kivo-player}")
RUNS=${RUNS:-5}
source "$(dirname "$0")/lib.bash"
on_virtual_display bash "$0" "$PLAYER"
private_home mem
{
    printf 'song.mp3*%s\r\n' "$WORK/song.mp3"
    for i in $(seq 1 1999); do printf 'Track %d.mp3*%s/Track %d.mp3\r\n' "$i" "$WORK" "$i"; done
    printf '!@#$%%\r\n'
} > "$WORK/list.KVPL"
login=$(id -un | tr '[:lower:]' '[:upper:]')
printf '[Presets]\nPlayList%%20on%%20Exit=1\nAuto%%20Save%%20Path=%s\n' "$WORK/TempSave.KVPL" \
    > "$XDG_CONFIG_HOME/Quelba Kivo Player/$login.ini"

hwm=() rss=() anon=() close=()
for _ in $(seq 1 "$RUNS"); do
    rm -f "$WORK/TempSave.KVPL"
    start_and_play "$WORK/list.KVPL"
    sleep 4
    status=/proc/$pid/status
    hwm+=("$(awk '/^VmHWM/ {print $2}' "$status")")
    rss+=("$(awk '/^VmRSS/ {print $2}' "$status")")
    anon+=("$(awk '/^RssAnon/ {print $2}' "$status")")
    start=$(date +%s%N)
    kill -TERM "$pid"
    while kill -0 "$pid" 2>/dev/null; do sleep 0.002; done
    close+=("$(( ($(date +%s%N) - start) / 1000000 ))")
    wait "$pid" || true
    [ -s "$WORK/TempSave.KVPL" ] || echo "warning: no auto-save was written"
done
echo "while playing: peak $(( $(median "${hwm[@]}") / 1024 )) MB, resident $(( $(median "${rss[@]}") / 1024 )) MB," \
    "of which private $(( $(median "${anon[@]}") / 1024 )) MB (medians of $RUNS)"
echo "close (SIGTERM) to the end of the process while playing: $(median "${close[@]}") ms (median of $RUNS," \
    "auto-save of 2,000 entries included)"

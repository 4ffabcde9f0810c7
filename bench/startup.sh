#!/usr/bin/env bash
# Start-up of the real program under a virtual display: the time from launch
# to the window shown, and the resident memory, with an empty settings store
# with a 32,767-entry auto-save playlist restored, with a 1,000,000-entry one
# of ordinary paths (RUNS_MILLION runs), and with settings files just under
# the 1 MiB the store takes (1,040,000 blank lines; 60,000 keys).
# Prints medians.
set -euo pipefail
PLAYER=$(readlink -f "${1:-build/kivo-player}")
RUNS=${RUNS:-15}
RUNS_MILLION=${RUNS_MILLION:-3}
# Under a virtual display before anything is made (exec would leave it behind).
source "$(dirname "$0")/lib.bash"
on_virtual_display bash "$0" "$PLAYER"
WORK=$(mktemp -d /tmp/kivo-bench.XXXXXX)
trap 'rm -rf "$WORK"' EXIT

make_home() { # make_home DIR ENTRIES
    local home=$1 entries=$2
    mkdir -p "$home/.config/Quelba Kivo Player" "$home/media"
    [ "$entries" -gt 0 ] || return 0
    (cd "$home/media" && seq -f 'track%05g.mp3' 1 "$entries" | xargs touch)
    seq -f 'track%05g.mp3' 1 "$entries" | awk -v dir="$home/media" '{printf "%s*%s/%s\r\n", $0, dir, $0}' \
        > "$home/TempSave.KVPL"
    printf '!@#$%%\r\n' >> "$home/TempSave.KVPL"
    auto_save "$home"
}

auto_save() { # auto_save HOME: restore HOME/TempSave.KVPL at start
    local home=$1 login
    login=$(id -un | tr '[:lower:]' '[:upper:]')
    printf '[Presets]\nPlayList%%20on%%20Exit=1\nAuto%%20Save%%20Path=%s/TempSave.KVPL\n' "$home" \
        > "$home/.config/Quelba Kivo Player/$login.ini"
}

make_million() { # make_million HOME: 1,000 folders of 1,000 files, paths of 63 characters, names of 25
    local home=$1
    make_home "$home" 0
    seq 0 999999 | awk -v dir="$home/m" '{printf "%s/A%03d/Track %07d - Title.mp3\n", dir, int($1 / 1000), $1}' \
        > "$WORK/paths"
    seq -f "$home/m/A%03g" 0 999 | xargs -d '\n' mkdir -p
    xargs -d '\n' touch < "$WORK/paths"
    awk '{name = $0; sub(/.*\//, "", name); printf "%s*%s\r\n", name, $0}' "$WORK/paths" > "$home/TempSave.KVPL"
    printf '!@#$%%\r\n' >> "$home/TempSave.KVPL"
    auto_save "$home"
}

measure() { # measure LABEL HOME [RUNS]
    local label=$1 home=$2 runs=${3:-$RUNS} times=() rss=()
    for _ in $(seq 1 "$runs"); do
        local start shown kb
        start=$(date +%s%3N)
        shown=$(HOME=$home XDG_CONFIG_HOME=$home/.config KIVO_REPORT_SHOWN=exit \
            /usr/bin/time -f 'rss %M' -o "$WORK/time.txt" "$PLAYER" 2>/dev/null | awk '/^shown/ {print $2}')
        kb=$(awk '/^rss/ {print $2}' "$WORK/time.txt")
        times+=($((shown - start)))
        rss+=("$kb")
    done
    local mt mr
    mt=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    mr=$(printf '%s\n' "${rss[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]/1024}')
    echo "$label: launch to window shown ${mt} ms (median of $runs), resident memory ${mr} MB"
}

make_home "$WORK/empty" 0
make_home "$WORK/full" 32767
make_million "$WORK/million"
ini_name="Quelba Kivo Player/$(id -un | tr '[:lower:]' '[:upper:]').ini"
make_home "$WORK/blank" 0
{ printf '[Presets]\nOn%%20Top=0\n'; head -c 1040000 /dev/zero | tr '\0' '\n'; printf '[OtherSettings]\nEorR=R\n'; } \
    > "$WORK/blank/.config/$ini_name"
make_home "$WORK/keys" 0
{ printf '[Presets]\nOn%%20Top=0\n'; seq -f 'Key%05g=value' 1 60000; printf '[OtherSettings]\nEorR=R\n'; } \
    > "$WORK/keys/.config/$ini_name"
# The million files written back to disk first, not while a start is timed.
sync
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
export -f measure
measure "empty store" "$WORK/empty"
measure "32,767-entry auto-save" "$WORK/full"
measure "1,000,000-entry auto-save" "$WORK/million" "$RUNS_MILLION"
measure "settings file of 1,040,000 blank lines" "$WORK/blank"
measure "settings file of 60,000 keys" "$WORK/keys"

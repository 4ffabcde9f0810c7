# Shared steps of the benchmark scripts that drive the real player.

BENCH_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# on_virtual_display COMMAND...: without a display, runs COMMAND (the script again) under Xvfb in its place.
# -noreset: the server resets when its last client leaves, and a program starting meanwhile finds no display.
on_virtual_display() {
    [ -n "${DISPLAY:-}" ] && return 0
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
}

# start_and_play KVPL [COMMAND...]: starts the player with the playlist (under COMMAND when given, such as
# /usr/bin/time), presses Alt+P, sets $pid.
start_and_play() {
    "${@:2}" "$PLAYER" "$1" > /dev/null 2>&1 &
    pid=$!
    local id=""
    for _ in $(seq 1 200); do
        id=$(xdotool search --onlyvisible --name '^Kivo Player!$' 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && break
        sleep 0.05
    done
    xdotool windowfocus --sync "$id"
    xdotool key alt+p
}

median() { printf '%s\n' "$@" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

# private_home NAME: a temporary HOME with its settings folder, removed at exit, the 20-second MP3 the
# benchmarks play in it ($WORK/song.mp3), and $RUSAGE (see cpu_of).
private_home() {
    WORK=$(mktemp -d "/tmp/kivo-$1.XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
    export HOME=$WORK XDG_CONFIG_HOME=$WORK/.config XDG_RUNTIME_DIR=$WORK/run KIVO_MPV_AO=null
    mkdir -p "$XDG_CONFIG_HOME/Quelba Kivo Player" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    RUSAGE=(python3 "$BENCH_DIR/rusage.py" "$WORK/t")
    ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=20" -c:a libmp3lame -b:a 192k \
        "$WORK/song.mp3"
}

# cpu_of COMMAND...: prints "CPU WALL FAULTS" of the command (user + system seconds, wall seconds, page
# faults), as $RUSAGE put before a command (start_and_play's COMMAND too) writes them to $WORK/t.
cpu_of() {
    "${RUSAGE[@]}" "$@" > /dev/null 2>&1 < /dev/null || true
    cat "$WORK/t"
}

# Shared steps of the benchmark scripts that drive the real player.

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

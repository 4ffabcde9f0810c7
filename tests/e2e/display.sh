# Helpers for a scenario running inside the virtual display.

fail() {
    echo "FAIL: $*" >&2
    [ -f "$WORK/player.log" ] && sed 's/^/player: /' "$WORK/player.log" >&2
    exit 1
}

# A window mapped while the window manager is still starting can stay
# unmapped: the scenario begins once openbox has announced itself.
start_window_manager() {
    openbox >/dev/null 2>&1 &
    for _ in $(seq 1 300); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.05
    done
    echo "warning: the window manager did not announce itself; going on without it" >&2
}

start_player() {
    "$PLAYER" "$@" > "$WORK/player.log" 2>&1 &
    echo $! > "$WORK/player.pid"
}

# Prints the id of the window with that exact name once it is mapped.
wait_window() {
    local name=$1 id=""
    for _ in $(seq 1 300); do
        id=$(xdotool search --onlyvisible --name "^$name\$" 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    echo "windows: $(xdotool search --name . getwindowname %@ 2>/dev/null | tr '\n' '|')" >&2
    fail "window '$name' did not appear"
}

send_keys() {
    local id=$1
    shift
    xdotool windowactivate --sync "$id" 2>/dev/null || xdotool windowfocus --sync "$id"
    xdotool key --delay 80 "$@"
}

wait_exit() {
    local pid
    pid=$(cat "$WORK/player.pid")
    for _ in $(seq 1 ${1:-300}); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    fail "the player did not end"
}

# wait_exit, and the player must have ended by itself with status 0 (no crash, no signal).
wait_clean_exit() {
    wait_exit "$@"
    local status=0
    wait "$(cat "$WORK/player.pid")" || status=$?
    [ "$status" = 0 ] || fail "the player ended with status $status"
}

# The options window opens from "Options" (no key of its own); its place in
# the main window at the default size. Going on and off the top layer gives
# the main window a new id, so it is looked up each time.
open_options() {
    # One that was just closed may still be mapped.
    for _ in $(seq 1 100); do
        xdotool search --onlyvisible --name "^Kivo Player Options V7.01256\$" >/dev/null 2>&1 || break
        sleep 0.05
    done
    xdotool mousemove --window "$(wait_window "Kivo Player!")" 213 218 click 1
    wait_window "Kivo Player Options V7.01256"
}
# From the first tab, Ctrl+Tab eight times reaches "Settings"; Tab then
# reaches its buttons in order: Import, Export.
settings_button() {
    local id=$1 presses=$2
    send_keys "$id" $(printf 'ctrl+Tab %.0s' $(seq 8)) $(printf 'Tab %.0s' $(seq "$presses")) space
}
# Types a path into the file dialog that has just opened.
answer_dialog() {
    sleep 0.5
    xdotool key --delay 30 ctrl+a
    xdotool type --delay 20 "$1"
    xdotool key Return
}

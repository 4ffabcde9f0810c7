# Shared steps of the end-to-end tests: a private HOME and settings file, and
# the real program under a virtual display with a window manager, driven with
# xdotool. A script that sets KIVO_E2E_BUS=1 first gets a private session bus.
set -euo pipefail
PLAYER=$(readlink -f "${1:?usage: $0 path/to/kivo-player}")
if [ -z "${KIVO_E2E_DISPLAY:-}" ]; then
    export KIVO_E2E_DISPLAY=1
    # A random first display number keeps runs that start together apart.
    exec xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" \
        ${KIVO_E2E_BUS:+dbus-run-session --} bash "$0" "$PLAYER"
fi
WORK=$(mktemp -d /tmp/kivo-e2e.XXXXXX)
export HOME=$WORK/home XDG_CONFIG_HOME=$WORK/home/.config XDG_RUNTIME_DIR=$WORK/runtime KIVO_MPV_AO=null
INI="$XDG_CONFIG_HOME/Quelba Kivo Player/$(id -un | tr '[:lower:]' '[:upper:]').ini"
mkdir -p "$(dirname "$INI")" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
MAIN="Kivo Player!"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$WORK"' EXIT

fail() {
    echo "FAIL: $*" >&2
    [ ! -f "$WORK/player.log" ] || sed 's/^/player: /' "$WORK/player.log" >&2
    [ ! -s "$WORK/openbox.log" ] || sed 's/^/openbox: /' "$WORK/openbox.log" >&2
    exit 1
}
# write_ini "[Presets]" "PlayList%20on%20Exit=1" ...
write_ini() { printf '%s\n' "$@" > "$INI"; }
# wait_for WHAT COMMAND...: polls COMMAND for a minute, which a busy machine needs.
wait_for() {
    for _ in $(seq 600); do
        "${@:2}" && return 0
        sleep 0.1
    done
    fail "$1"
}
# A window mapped while the window manager still starts can stay unmapped. A window manager that ended
# without taking the screen is started again.
start_wm() {
    openbox >>"$WORK/openbox.log" 2>&1 &
    WM=$!
}
wm_up() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    kill -0 "$WM" 2>/dev/null || start_wm
    return 1
}
start_wm
wait_for "no window manager" wm_up

# With KIVO_E2E_A11Y=1 (and a bus) controls are found and pressed by name through AT-SPI, not at pixels.
if [ -n "${KIVO_E2E_A11Y:-}" ]; then
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    /usr/libexec/at-spi-bus-launcher --launch-immediately &
    wait_for "no accessibility bus" eval 'dbus-send --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.NameHasOwner string:org.a11y.Bus | grep -q "boolean true"'
fi
press() { /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi.py" press "$1" || fail "no control named '$1'"; }
start_player() { "$PLAYER" "$@" &> "$WORK/player.log" & PID=$!; }
# Prints the id of the mapped window of that exact name.
shown() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 | grep .; }
wait_window() { wait_for "window '$1' did not appear" shown "$1"; }
send_keys() {
    xdotool windowactivate --sync "$1" 2>/dev/null || xdotool windowfocus --sync "$1"
    xdotool key --delay 80 "${@:2}"
}
# The player must end by itself with status 0: no crash, no signal.
wait_end() {
    wait_for "the player did not end" eval '! kill -0 $PID 2>/dev/null'
    wait "$PID" || fail "the player ended with status $?"
}

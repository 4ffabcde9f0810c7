# Shared steps of the end-to-end tests: a private HOME, the settings file, the
# real program under a virtual display, keys sent with xdotool.
set -euo pipefail

E2E_DIR=$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")
PLAYER=${1:?usage: $0 path/to/kivo-player}
PLAYER=$(readlink -f "$PLAYER")
WORK=$(mktemp -d /tmp/kivo-e2e.XXXXXX)
export HOME=$WORK/home
export XDG_CONFIG_HOME=$HOME/.config
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export KIVO_MPV_AO=null
LOGIN=$(id -un | tr '[:lower:]' '[:upper:]')
INI="$XDG_CONFIG_HOME/Quelba Kivo Player/$LOGIN.ini"

cleanup() { rm -rf "$WORK"; }
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# write_ini "[Presets]" "PlayList%20on%20Exit=1" ...
write_ini() {
    mkdir -p "$(dirname "$INI")"
    printf '%s\n' "$@" > "$INI"
}

# Runs a scenario script inside a virtual display with a window manager. The
# scenario gets the helpers below through the environment.
in_display() {
    export PLAYER WORK INI
    # A random first display number keeps runs that start together apart.
    xvfb-run -a -n $((100 + RANDOM % 800)) -s "-screen 0 1280x1024x24" \
        bash -euo pipefail -c "source '$E2E_DIR/display.sh'; start_window_manager; $1"
}


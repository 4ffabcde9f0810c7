#!/usr/bin/env bash
# The desktop's media calls (MPRIS, as media keys and playerctl send them)
# reach the real player over a session bus: an M3U8 playlist named on the
# command line is loaded with its titles, PlayPause plays it, the metadata
# names the track, Pause and Next act as the buttons do, and Quit closes the
# player the normal way, writing the auto-save file.
# A private bus for this test alone, never the desktop's own.
if [ -z "${KIVO_E2E_PRIVATE_BUS:-}" ]; then
    export KIVO_E2E_PRIVATE_BUS=1
    exec dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/media" "$HOME/lists"
for name in one two three; do
    sox -n -r 8000 -c 1 "$HOME/media/$name.wav" synth 30 sine 440
done
printf '#EXTM3U\n#EXTINF:30,First Song\n../media/one.wav\nhttp://radio.example/stream\n' > "$HOME/lists/mix.m3u8"
printf '#EXTINF:30,Second\r\n../media/two.wav\r\n%s\r\n' "$HOME/media/three.wav" >> "$HOME/lists/mix.m3u8"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"

in_display '
    dest=org.mpris.MediaPlayer2.kivoplayer
    mpris() { dbus-send --print-reply --dest=$dest /org/mpris/MediaPlayer2 "$@"; }
    get() { mpris org.freedesktop.DBus.Properties.Get string:org.mpris.MediaPlayer2.Player "string:$1"; }
    # Waits until the property holds the text.
    wait_property() {
        for _ in $(seq 1 100); do
            get "$1" 2>/dev/null | grep -qF -- "$2" && return 0
            sleep 0.1
        done
        fail "$1 never held $2: $(get "$1" 2>&1)"
    }
    start_player "$HOME/lists/mix.m3u8"
    wait_window "Kivo Player!" >/dev/null
    for _ in $(seq 1 100); do
        dbus-send --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
            org.freedesktop.DBus.NameHasOwner string:$dest | grep -q "boolean true" && break
        sleep 0.1
    done
    wait_property PlaybackStatus "\"Stopped\""

    mpris org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
    wait_window "First Song" >/dev/null
    wait_property PlaybackStatus "\"Playing\""
    wait_property Metadata "\"First Song\""
    wait_property Metadata "\"file://$HOME/media/one.wav\""
    wait_property Metadata "mpris:length"

    mpris org.mpris.MediaPlayer2.Player.Pause >/dev/null
    wait_property PlaybackStatus "\"Paused\""
    mpris org.mpris.MediaPlayer2.Player.Next >/dev/null
    wait_window "Second" >/dev/null
    wait_property PlaybackStatus "\"Playing\""
    wait_property Metadata "\"file://$HOME/media/two.wav\""

    mpris org.mpris.MediaPlayer2.Quit >/dev/null
    wait_clean_exit
'
printf 'Second*%s\r\nthree.wav*%s\r\n!@#$%%\r\n' "$HOME/media/two.wav" "$HOME/media/three.wav" > "$WORK/expected.KVPL"
cmp -s "$WORK/expected.KVPL" "$HOME/TempSave.KVPL" ||
    fail "auto-save after Quit holds: $(cat -A "$HOME/TempSave.KVPL" 2>&1)"
echo PASS

#!/usr/bin/env bash
# A media key (MPRIS PlayPause, as the desktop and playerctl send it) reaches
# the real player over a private session bus and plays the M3U8 playlist that a
# second start handed over to it (and ended), whose title shows in the caption.
KIVO_E2E_BUS=1
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/lists"
sox -n -r 8000 -c 1 "$HOME/one.wav" synth 30 sine 440
printf '#EXTM3U\n#EXTINF:30,First Song\n../one.wav\n' > "$HOME/lists/mix.m3u8"

dest=org.mpris.MediaPlayer2.kivoplayer
"$PLAYER" --help | grep -q '^Usage: kivo-player' || fail "--help printed no usage"
start_player
id=$(wait_window "$MAIN")
timeout 20 "$PLAYER" "$HOME/lists/mix.m3u8" || fail "the second start did not hand over and end"
wait_for "the player did not take its bus name" eval 'dbus-send --print-reply --dest=org.freedesktop.DBus \
    /org/freedesktop/DBus org.freedesktop.DBus.NameHasOwner string:$dest | grep -q "boolean true"'
dbus-send --print-reply --dest=$dest /org/mpris/MediaPlayer2 org.mpris.MediaPlayer2.Player.PlayPause >/dev/null
wait_window "First Song" >/dev/null
send_keys "$id" alt+x
wait_end
echo PASS

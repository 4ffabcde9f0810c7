#!/usr/bin/env bash
# A playlist named on the command line is loaded into A; closing with Alt+X
# writes A to the auto-save file and stores the time display mode.
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/my lists" "$HOME/media"
for name in one two three; do
    sox -n -r 44100 -c 1 "$HOME/media/$name.wav" trim 0 0.2
done
printf 'one.wav*%s\r\ntwo.wav*%s\r\nthree.wav*%s\r\n!@#$%%\r\n' \
    "$HOME/media/one.wav" "$HOME/media/two.wav" "$HOME/media/three.wav" > "$HOME/my lists/evening.kvpl"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"

LIST="\"$HOME/my lists/evening.kvpl\""
export LIST
in_display '
    start_player "$LIST"
    id=$(wait_window "Kivo Player!")
    send_keys "$id" alt+x
    wait_exit
'

expected=$(printf 'one.wav*%s\r\ntwo.wav*%s\r\nthree.wav*%s\r\n!@#$%%\r\n' \
    "$HOME/media/one.wav" "$HOME/media/two.wav" "$HOME/media/three.wav")
[ -f "$HOME/TempSave.KVPL" ] || fail "no auto-save file"
[ "$(cat "$HOME/TempSave.KVPL")" = "$expected" ] || fail "auto-save file holds: $(cat -A "$HOME/TempSave.KVPL")"
grep -q '^EorR=E' "$INI" || fail "EorR not stored: $(cat "$INI")"
echo PASS

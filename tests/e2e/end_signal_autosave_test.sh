#!/usr/bin/env bash
# The desktop ending the player (logout, `kill`, Ctrl+C) closes it the normal
# way: SIGTERM after a playlist was loaded writes A to the auto-save file and
# stores the time display mode; SIGINT after a restore writes the same bytes
# again. A file name holding "*" travels as a file URL both ways.
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/my lists" "$HOME/media"
for name in one '*two'; do
    sox -n -r 44100 -c 1 "$HOME/media/$name.wav" trim 0 0.2
done
printf 'one.wav*%s\r\n\xe2\x88\x97two.wav*file://%s\r\n!@#$%%\r\n' \
    "$HOME/media/one.wav" "$HOME/media/%2Atwo.wav" > "$WORK/expected.KVPL"
cp "$WORK/expected.KVPL" "$HOME/my lists/evening.kvpl"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"

# Starts the player with $LIST, waits for its window, sends $SIGNAL to it and
# waits for the end.
run_until_signal() {
    export SIGNAL=$1 LIST=$2
    in_display '
        start_player "$LIST"
        wait_window "Kivo Player!" >/dev/null
        kill -"$SIGNAL" "$(cat "$WORK/player.pid")"
        wait_exit
    '
}

run_until_signal TERM "\"$HOME/my lists/evening.kvpl\""
[ -f "$HOME/TempSave.KVPL" ] || fail "no auto-save file after SIGTERM"
cmp -s "$WORK/expected.KVPL" "$HOME/TempSave.KVPL" ||
    fail "auto-save file after SIGTERM holds: $(cat -A "$HOME/TempSave.KVPL")"
grep -q '^EorR=E' "$INI" || fail "EorR not stored after SIGTERM: $(cat "$INI")"

rm "$HOME/my lists/evening.kvpl" "$INI"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"
run_until_signal INT ""
cmp -s "$WORK/expected.KVPL" "$HOME/TempSave.KVPL" ||
    fail "auto-save file after SIGINT holds: $(cat -A "$HOME/TempSave.KVPL")"
grep -q '^EorR=E' "$INI" || fail "EorR not stored after SIGINT: $(cat "$INI")"
[ ! -e "$HOME/TempSave.KVPL.previous" ] || fail "a whole restore kept a previous copy"
echo PASS

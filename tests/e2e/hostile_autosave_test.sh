#!/usr/bin/env bash
# An auto-save playlist holding one line with a 16 MiB name: the line is a bad
# line (no file system has such a name), the entries above it load, the user is
# told, and the original file is kept beside the new auto-save.
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/m"
sox -n -r 44100 -c 1 "$HOME/m/a.wav" trim 0 0.2
{
    printf 'a.wav*%s\r\n' "$HOME/m/a.wav"
    head -c 16777216 /dev/zero | tr '\0' 'n'
    printf '*/x.mp3\r\n!@#$%%\r\n'
} > "$HOME/TempSave.KVPL"
cp "$HOME/TempSave.KVPL" "$WORK/original.KVPL"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"

in_display '
    start_player
    box=$(wait_window "Problem!")
    send_keys "$box" Return
    send_keys "$(wait_window "Kivo Player!")" alt+x
    wait_clean_exit
'

expected=$(printf 'a.wav*%s\r\n!@#$%%\r\n' "$HOME/m/a.wav")
[ "$(cat "$HOME/TempSave.KVPL")" = "$expected" ] || fail "auto-save holds: $(head -c 300 "$HOME/TempSave.KVPL" | cat -A)"
cmp -s "$HOME/TempSave.KVPL.previous" "$WORK/original.KVPL" || fail "the original auto-save was not kept"
echo PASS

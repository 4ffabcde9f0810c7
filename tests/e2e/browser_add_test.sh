#!/usr/bin/env bash
# With "SOEStartPath" on, the browser opens in the folder of the auto-save
# file; Alt+L adds every listed file to A and Alt+X saves them in the file
# list's order. With "/QXVTR" non-media files are listed and added as well.
source "$(dirname "$0")/lib.sh"

media=$HOME/media
mkdir -p "$media/sub"
sox -n -r 44100 -c 1 "$media/b tune.wav" trim 0 0.2
sox -n -r 44100 -c 1 "$media/A song.wav" trim 0 0.2
ffmpeg -loglevel error -f lavfi -i "sine=duration=0.2" -c:a libmp3lame "$media/track10.mp3"
cp "$media/track10.mp3" "$media/track9.mp3"
echo "not media" > "$media/notes.txt"
touch "$media/sub/hidden.mp3"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$media/TempSave.KVPL" "SOEStartPath=1"

add_all_and_exit() {
    export ARGS_LINE="$1"
    in_display '
        start_player $ARGS_LINE
        id=$(wait_window "Kivo Player!")
        send_keys "$id" alt+l
        sleep 0.3
        send_keys "$id" alt+x
        wait_exit
    '
}

add_all_and_exit ""
saved=$(tr -d '\r' < "$media/TempSave.KVPL")
expected=$(printf 'A song.wav*%s\nb tune.wav*%s\ntrack9.mp3*%s\ntrack10.mp3*%s\n!@#$%%' \
    "$media/A song.wav" "$media/b tune.wav" "$media/track9.mp3" "$media/track10.mp3")
[ "$saved" = "$expected" ] || fail "auto-save after Alt+L holds: $saved"

rm "$media/TempSave.KVPL"
add_all_and_exit "/QXVTR"
grep -q "^notes.txt\*$media/notes.txt" "$media/TempSave.KVPL" || fail "/QXVTR did not list notes.txt"
echo PASS

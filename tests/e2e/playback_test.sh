#!/usr/bin/env bash
# A playlist of a WAV, an AVI and an MP3 plays down to its end after Alt+P:
# the caption follows the tracks, the video window shows only for the AVI, and
# with "Close On Finish" the player ends by itself, deleting the auto-save file.
source "$(dirname "$0")/lib.sh"

media=$HOME/media
mkdir -p "$media"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=1.5" "$media/tone.wav"
ffmpeg -loglevel error -f lavfi -i "testsrc=size=160x120:rate=10:duration=2" -f lavfi \
    -i "sine=frequency=660:duration=2" -c:v mpeg4 -c:a pcm_s16le -shortest "$media/clip.avi"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=880:duration=1.5" -c:a libmp3lame "$media/song.mp3"
printf 'tone.wav*%s\r\nclip.avi*%s\r\nsong.mp3*%s\r\n!@#$%%\r\n' \
    "$media/tone.wav" "$media/clip.avi" "$media/song.mp3" > "$HOME/three.KVPL"
printf '!@#$%%\r\n' > "$HOME/TempSave.KVPL"
write_ini "[Presets]" "Close%20On%20Finish=1" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"

in_display '
    screen_shown() { xdotool search --onlyvisible --name "^Kivo Player Screen\$" >/dev/null 2>&1; }
    start_player "$HOME/three.KVPL"
    id=$(wait_window "Kivo Player!")
    send_keys "$id" alt+p
    wait_window "tone.wav" >/dev/null
    screen_shown && fail "video window shown for a WAV"
    wait_window "clip.avi" >/dev/null
    for _ in $(seq 1 50); do screen_shown && break; sleep 0.05; done
    screen_shown || fail "video window hidden during the AVI"
    wait_window "song.mp3" >/dev/null
    sleep 0.3
    screen_shown && fail "video window still shown during the MP3"
    wait_exit
'
[ -e "$HOME/TempSave.KVPL" ] && fail "the auto-save file was not deleted"
echo PASS

#!/usr/bin/env bash
# A playlist of a WAV, an AVI and an MP3 plays down to its end after Alt+P:
# the caption follows the tracks, the video window shows only for the AVI, and
# with "Close On Finish" the player ends by itself, deleting the auto-save file.
source "$(dirname "$0")/lib.sh"

cd "$HOME"
ffmpeg -loglevel error -f lavfi -i "sine=frequency=440:duration=1.5" tone.wav
ffmpeg -loglevel error -f lavfi -i "testsrc=size=160x120:rate=10:duration=2" -f lavfi \
    -i "sine=frequency=660:duration=2" -c:v mpeg4 -c:a pcm_s16le -shortest clip.avi
ffmpeg -loglevel error -f lavfi -i "sine=frequency=880:duration=1.5" -c:a libmp3lame song.mp3
printf '%s*%s\r\n' tone.wav "$HOME/tone.wav" clip.avi "$HOME/clip.avi" song.mp3 "$HOME/song.mp3" > three.KVPL
printf '!@#$%%\r\n' | tee -a three.KVPL > TempSave.KVPL
write_ini "[Presets]" "Close%20On%20Finish=1" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"

screen() { shown "Kivo Player Screen" >/dev/null; }
start_player "$HOME/three.KVPL"
send_keys "$(wait_window "$MAIN")" alt+p
wait_window tone.wav >/dev/null
screen && fail "video window shown for a WAV"
wait_window clip.avi >/dev/null
wait_for "video window hidden during the AVI" screen
wait_window song.mp3 >/dev/null
wait_for "video window still shown during the MP3" eval '! screen'
wait_end
[ ! -e "$HOME/TempSave.KVPL" ] || fail "the auto-save file was not deleted"
echo PASS

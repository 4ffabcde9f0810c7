#!/usr/bin/env bash
# A queue of files that name other files or web addresses inside them (an EDL and a playlist under ".mp3",
# an EDL naming a named pipe and one naming itself, a streaming manifest, a ".m3u" under ".avi") ends
# with one real clip: with "Close On Finish" the player plays the queue down and ends by itself, and a local
# web server the files point at receives no request.
source "$(dirname "$0")/lib.sh"

media=$HOME/media
mkdir -p "$media"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$WORK" > "$WORK/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true; cleanup' EXIT
port=""
for _ in $(seq 1 100); do
    port=$(sed -n 's/.*port \([0-9]*\).*/\1/p' "$WORK/server.log" | head -n 1)
    [ -n "$port" ] && break
    sleep 0.05
done
[ -n "$port" ] || fail "the local web server did not start"
web="http://127.0.0.1:$port"

sox -n -r 8000 "$media/tone.wav" synth 0.5 sine 440
mkfifo "$media/pipe.wav"
printf '# mpv EDL v0\n%s/a.wav\n' "$web" > "$media/edl.mp3"
printf '# mpv EDL v0\n%s\n' "$media/pipe.wav" > "$media/edl-pipe.mp3"
printf '# mpv EDL v0\n%s\n' "$media/self.mp3" > "$media/self.mp3"
printf '#EXTM3U\n#EXTINF:1,x\n%s/b.mp3\n' "$web" > "$media/list.mp3"
printf '#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n%s/c.ts\n#EXT-X-ENDLIST\n' "$web" > "$media/hls.mp3"
printf '%s/d.avi\n' "$web" > "$media/list.avi"
{
    for f in edl.mp3 edl-pipe.mp3 self.mp3 list.mp3 hls.mp3 list.avi tone.wav; do
        printf '%s*%s\r\n' "$f" "$media/$f"
    done
    printf '!@#$%%\r\n'
} > "$HOME/crafted.KVPL"
write_ini "[Presets]" "Close%20On%20Finish=1"

in_display '
    start_player "$HOME/crafted.KVPL"
    id=$(wait_window "Kivo Player!")
    send_keys "$id" alt+p
    wait_clean_exit
'
grep -q '"GET\|"HEAD' "$WORK/server.log" && fail "the web server was asked: $(grep '"GET\|"HEAD' "$WORK/server.log")"
echo PASS

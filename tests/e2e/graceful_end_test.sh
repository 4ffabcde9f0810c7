#!/usr/bin/env bash
# The desktop's SIGTERM arriving while the player writes: right after "Set
# Tags" is pressed for 2,000 files of playlist B, and right after OK of the
# options window. Every tag is afterwards the old one or the new one, whole;
# the settings file is whole; and the normal shut-down still ran (it writes
# the auto-save file and the time display mode).
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/media" "$HOME/lists"
pad() { printf '%s' "$1"; head -c $(($2 - ${#1})) /dev/zero; }
{
    head -c 2000 /dev/urandom
    printf 'TAG'
    pad "Old Title" 30; pad "Old Artist" 30; pad "Old Album" 30; pad 1999 4; pad "Old Comment" 30
    printf '\x11'
} > "$WORK/template.mp3"
for i in $(seq -w 1 2000); do
    cp "$WORK/template.mp3" "$HOME/media/track $i.mp3"
    printf 'track %s.mp3*%s\r\n' "$i" "$HOME/media/track $i.mp3"
done > "$HOME/lists/many.kvpl"
printf '!@#$%%\r\n' >> "$HOME/lists/many.kvpl"
sox -n -r 44100 -c 1 "$HOME/media/a.wav" trim 0 0.2
printf 'a.wav*%s\r\n!@#$%%\r\n' "$HOME/media/a.wav" > "$HOME/TempSave.KVPL"
cp "$HOME/TempSave.KVPL" "$WORK/autosave.expected"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"

export LIST="$HOME/lists/many.kvpl"
in_display '
    # A holds the auto-saved entry, so the named list goes to B.
    start_player "$LIST"
    wait_window "Kivo Player!" >/dev/null
    sleep 0.3
    oid=$(open_options)
    # "MP3 Tag" is the fifth tab: its artist box, then three more boxes, then Set Tags.
    send_keys "$oid" ctrl+Tab ctrl+Tab ctrl+Tab ctrl+Tab Tab
    xdotool type --delay 20 "New Artist"
    xdotool key --delay 80 Tab Tab Tab Tab space
    kill -TERM "$(cat "$WORK/player.pid")"
    wait_clean_exit
'
grep -q '^EorR=' "$INI" || fail "the shut-down did not store the time mode after SIGTERM: $(cat "$INI")"
cmp -s "$WORK/autosave.expected" "$HOME/TempSave.KVPL" ||
    fail "auto-save after SIGTERM holds: $(cat -A "$HOME/TempSave.KVPL")"
cmp -s <(stat -c %s "$HOME"/media/*.mp3 | sort -u) <(echo 2128) || fail "a file changed its size"
for f in "$HOME"/media/*.mp3; do
    cmp -s -n 2000 "$WORK/template.mp3" "$f" || fail "$f: audio bytes changed"
done
# Every tag record, one hex line each: the old one and at most one new kind.
tail -q -c 128 "$HOME"/media/*.mp3 | od -An -v -tx1 -w128 | sort | uniq -c > "$WORK/tails"
old=$(tail -c 128 "$WORK/template.mp3" | od -An -v -tx1 -w128)
grep -v -F -- "$old" "$WORK/tails" > "$WORK/new_tails" || true
[ "$(wc -l < "$WORK/new_tails")" -le 1 ] || fail "tags of more than two kinds: $(cat "$WORK/new_tails")"
if [ -s "$WORK/new_tails" ]; then
    artist=$(printf 'New Artist' | od -An -v -tx1 | tr -d '\n')
    # The artist field starts 33 bytes into the record.
    sed 's/^ *[0-9]* *//' "$WORK/new_tails" | cut -c $((33 * 3 + 1))- | grep -q "^${artist# }" ||
        fail "a tag changed to something else: $(cat "$WORK/new_tails")"
fi
echo "tags written before the end: $(awk -v old="$old" '$0 !~ old {print $1}' "$WORK/tails")"

# OK of the options window, then SIGTERM at once: the settings file holds
# every key whole, whichever way "Keep On Top" went.
rm "$HOME/TempSave.KVPL" && cp "$WORK/autosave.expected" "$HOME/TempSave.KVPL"
sed -i '/^EorR=/d' "$INI"
in_display '
    start_player
    wait_window "Kivo Player!" >/dev/null
    sleep 0.3
    oid=$(open_options)
    send_keys "$oid" Tab space shift+Tab shift+Tab shift+Tab space
    kill -TERM "$(cat "$WORK/player.pid")"
    wait_clean_exit
'
grep -q '^EorR=' "$INI" || fail "the shut-down did not run after OK and SIGTERM: $(cat "$INI")"
grep -Eq '^On%20Top=(0|1)$' "$INI" || fail "Keep On Top missing or cut: $(cat "$INI")"
grep -q '^Auto%20Save%20Path=' "$INI" || fail "a setting was lost: $(cat "$INI")"
cmp -s "$WORK/autosave.expected" "$HOME/TempSave.KVPL" ||
    fail "auto-save after OK and SIGTERM holds: $(cat -A "$HOME/TempSave.KVPL")"
echo PASS

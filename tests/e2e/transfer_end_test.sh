#!/usr/bin/env bash
# The desktop's SIGTERM in the middle of a long transfer to the device folder:
# the player ends by itself with the normal shut-down, and the device folder
# holds only whole copies, each the file it was made from: the copy under way
# is given up and its temporary file removed.
source "$(dirname "$0")/lib.sh"

DEVICE=$WORK/device
mkdir -p "$DEVICE"
head -c $((48 * 1024 * 1024)) /dev/urandom > "$WORK/body"
# The browser opens in HOME: its file list holds these.
for i in $(seq -w 1 16); do
    { printf 'song %s ' "$i"; cat "$WORK/body"; } > "$HOME/song $i.mp3"
done
write_ini "[OtherSettings]" "DeviceTab=1" "DevicePath=$DEVICE/"

export DEVICE
in_display '
    start_player
    id=$(wait_window "Kivo Player!")
    sleep 0.3
    # Tab C, then "All" fills it from the file list, then "Transfer".
    xdotool mousemove --window "$id" 402 38 click 1
    sleep 0.3
    send_keys "$id" alt+l
    sleep 0.3
    xdotool mousemove --window "$id" 377 247 click 1
    # SIGTERM once the first copy is whole, while the next one is being
    # written under its temporary name.
    for _ in $(seq 1 300); do
        [ -e "$DEVICE/song 01.mp3" ] && break
        sleep 0.02
    done
    [ -e "$DEVICE/song 01.mp3" ] || fail "the transfer did not start"
    shopt -s nullglob
    for _ in $(seq 1 200000); do
        parts=("$DEVICE"/.kivo-*.part)
        [ ${#parts[@]} -gt 0 ] && break
    done
    [ ${#parts[@]} -gt 0 ] || fail "no copy was seen under way"
    kill -TERM "$(cat "$WORK/player.pid")"
    ls "$DEVICE" | wc -l > "$WORK/copies_at_signal"
    wait_clean_exit
'
grep -q '^EorR=' "$INI" || fail "the shut-down did not run after SIGTERM: $(cat "$INI")"
copies=0
for f in "$DEVICE"/* "$DEVICE"/.[!.]*; do
    [ -e "$f" ] || continue
    name=$(basename "$f")
    [ -f "$HOME/$name" ] || fail "the device folder holds '$name', which is no copy"
    cmp -s "$HOME/$name" "$f" || fail "'$name' on the device is not whole"
    copies=$((copies + 1))
done
[ "$copies" -lt 16 ] || fail "every copy was made: the signal came too late to test anything"
# The shut-down gives up the transfer: the copy under way may just have become
# whole, but no other one begins.
[ "$copies" -le $(($(cat "$WORK/copies_at_signal") + 1)) ] ||
    fail "$copies copies, $(cat "$WORK/copies_at_signal") when the signal was sent: the transfer went on"
echo "whole copies on the device: $copies of 16"
echo PASS

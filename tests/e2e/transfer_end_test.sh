#!/usr/bin/env bash
# The desktop's SIGTERM in the middle of a transfer to the device folder: the
# player ends by itself with the normal shut-down, the copy under way is given
# up with its temporary file, no other one begins, and the device folder holds
# only whole copies, each of the file it was made from.
KIVO_E2E_BUS=1 KIVO_E2E_A11Y=1
source "$(dirname "$0")/lib.sh"

DEVICE=$WORK/device
mkdir -p "$DEVICE"
head -c $((128 << 20)) /dev/urandom > "$WORK/body"
# The browser opens in HOME: its file list holds these.
for i in 1 2 3 4 5 6; do
    { printf 'song %s ' "$i"; cat "$WORK/body"; } > "$HOME/song $i.mp3"
done
write_ini "[OtherSettings]" "DeviceTab=1" "DevicePath=$DEVICE/"

start_player
id=$(wait_window "$MAIN")
# Tab C, then "All" fills it from the file list, then "Transfer".
press "C"
send_keys "$id" alt+l
press "Transfer"
# The player is held still while a copy is under way, so that the signal comes then.
under_way() { compgen -G "$DEVICE/.kivo-*.part" >/dev/null; }
for _ in $(seq 6000); do
    under_way && kill -STOP "$PID" && { under_way && break || kill -CONT "$PID"; }
    sleep 0.01
done
under_way || fail "no copy was seen under way"
whole=$(find "$DEVICE" -name 'song*' | wc -l)
kill -TERM "$PID"
kill -CONT "$PID"
wait_end
grep -q '^EorR=' "$INI" || fail "the shut-down did not run after SIGTERM: $(cat "$INI")"
shopt -s nullglob dotglob
for f in "$DEVICE"/*; do
    cmp -s "$HOME/${f##*/}" "$f" || fail "'${f##*/}' on the device is no whole copy"
done
copies=$(find "$DEVICE" -type f | wc -l)
# The copy under way may just have become whole, and one more begun before the signal was read.
[ "$copies" -le $((whole + 2)) ] || fail "$copies copies, $whole when the signal was sent: the transfer went on"
echo PASS

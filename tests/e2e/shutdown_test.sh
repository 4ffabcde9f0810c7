#!/usr/bin/env bash
# Every way the player is ended runs the normal shut-down once: Alt+X, or the
# desktop's SIGTERM, SIGINT or SIGHUP, also while a modal box is up (one of
# the load's own: the shut-down then waits for the load to finish). The
# auto-save restored at start-up holds a line with a 16 MiB name: the entry
# above it loads, the user is told, and the shut-down keeps the original beside
# the new auto-save; a second shut-down would keep the new one instead.
source "$(dirname "$0")/lib.sh"

sox -n -r 44100 -c 1 "$HOME/a.wav" trim 0 0.2
{
    printf 'a.wav*%s\r\n' "$HOME/a.wav"
    head -c 16777216 /dev/zero | tr '\0' 'n'
    printf '*/x.mp3\r\n!@#$%%\r\n'
} > "$WORK/original.KVPL"
printf 'a.wav*%s\r\n!@#$%%\r\n' "$HOME/a.wav" > "$WORK/expected.KVPL"

# The way it is ended, and whether the help box (F1) or the load's box is up then.
for row in Alt+X TERM INT HUP TERM/F1 HUP/load; do
    way=${row%/*}
    rm -f "$HOME"/TempSave.KVPL*
    cp "$WORK/original.KVPL" "$HOME/TempSave.KVPL"
    write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"
    start_player
    box=$(wait_window "Problem!")
    if [ "$row" = HUP/load ]; then
        kill -HUP "$PID"
    else
        send_keys "$box" Return
        id=$(wait_window "$MAIN")
        [ "$way" = "$row" ] || { send_keys "$id" F1 && wait_window "Quelba Kivo Player Help!" >/dev/null; }
        if [ "$way" = Alt+X ]; then send_keys "$id" alt+x; else kill -"$way" "$PID"; fi
    fi
    wait_end
    cmp -s "$WORK/expected.KVPL" "$HOME/TempSave.KVPL" ||
        fail "$row: the auto-save holds $(head -c 300 "$HOME/TempSave.KVPL" | cat -A)"
    cmp -s "$WORK/original.KVPL" "$HOME/TempSave.KVPL.previous" || fail "$row: the original auto-save was not kept"
    [ ! -e "$HOME/TempSave.KVPL.lock" ] || fail "$row: the auto-save's lock was left behind"
    grep -q '^EorR=E' "$INI" || fail "$row: the time display mode was not stored: $(cat "$INI")"
done

# A shut-down save that fails after an end signal is told on the standard error output, not in a box that
# would hold the player up.
mkdir "$HOME/saves" && cp "$WORK/expected.KVPL" "$HOME/saves/TempSave.KVPL"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/saves/TempSave.KVPL"
start_player
wait_window "$MAIN" >/dev/null
rm -r "$HOME/saves" && touch "$HOME/saves"
kill -TERM "$PID"
wait_end
grep -q "^Problem!: " "$WORK/player.log" || fail "the failed save was not told"

# Two players without a session bus: the second says that the first holds the auto-save, and neither
# restores nor writes it (the file removed meanwhile stays away until the first one ends).
cp "$WORK/expected.KVPL" "$HOME/TempSave.KVPL"
write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"
unset DBUS_SESSION_BUS_ADDRESS
start_player && first=$PID && wait_window "$MAIN" >/dev/null
start_player && wait_window "Problem!" >/dev/null
rm "$HOME/TempSave.KVPL" && kill -TERM "$PID" && wait_end
[ ! -e "$HOME/TempSave.KVPL" ] || fail "the second player wrote the first one's auto-save"
PID=$first && kill -TERM "$PID" && wait_end
cmp -s "$WORK/expected.KVPL" "$HOME/TempSave.KVPL" || fail "the first player did not save A"

# An end while the engine hangs in opening the playing file (a hung network mount; here an open that waits
# for a permission never given, which needs root): the player still ends, once its saves are done.
python3 -c 'import ctypes, os, signal, sys
libc = ctypes.CDLL(None); fd = libc.fanotify_init(4, os.O_RDONLY)  # content class; FAN_OPEN_PERM below
held = fd >= 0 and not libc.fanotify_mark(fd, 1, ctypes.c_uint64(0x10000), -100, sys.argv[1].encode())
print("held" if held else "skipped: no fanotify", flush=True)
held and os.read(fd, 64) and print("opening", flush=True); signal.pause()' "$HOME/a.wav" > "$WORK/hold.log" &
wait_for "the open was not held" grep -q . "$WORK/hold.log"
if grep -q held "$WORK/hold.log"; then
    cp "$WORK/expected.KVPL" "$HOME/TempSave.KVPL"
    write_ini "[Presets]" "PlayList%20on%20Exit=1" "Auto%20Save%20Path=$HOME/TempSave.KVPL"
    start_player
    send_keys "$(wait_window "$MAIN")" alt+p
    wait_for "the engine did not open the file" grep -q opening "$WORK/hold.log"
    rm "$HOME/TempSave.KVPL" && kill -TERM "$PID" && wait_end
    cmp -s "$WORK/expected.KVPL" "$HOME/TempSave.KVPL" || fail "the auto-save was not written"
fi
echo PASS

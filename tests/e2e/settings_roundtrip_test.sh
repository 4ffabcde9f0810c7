#!/usr/bin/env bash
# A settings file exported from the options window brings its values back:
# export, change a setting, import, OK, restart, and the options window shows
# what was exported.
source "$(dirname "$0")/lib.sh"

mkdir -p "$HOME/media"
write_ini "[Presets]" "PreName%200=Rock" "Preset%200=$HOME/media" "Close%20On%20Finish=1" \
    "[OtherSettings]" "DevicePath=/mnt/e2e/" "NameConvert=1"


in_display '
    # Starts the player and exports its settings to $1.KVPS; the options
    # window stays open with "Export Settings" focused.
    start_and_export() {
        start_player
        wait_window "Kivo Player!" >/dev/null
        sleep 0.3
        oid=$(open_options)
        settings_button "$oid" 2
        answer_dialog "$1"
        for _ in $(seq 50); do [ -f "$1.KVPS" ] && break; sleep 0.1; done
        [ -f "$1.KVPS" ] || fail "no settings file exported to $1.KVPS"
    }
    start_and_export "$HOME/first"
    send_keys "$oid" Tab Tab space  # past "Delete Settings" to OK!
    # Change a setting and store it: "Keep On Top" is the Setup tab'"'"'s first
    # control; OK! is three steps back from it.
    oid=$(open_options)
    send_keys "$oid" Tab space shift+Tab shift+Tab shift+Tab space
    sleep 0.5
    grep -q "^On%20Top=1" "$INI" || fail "Keep On Top was not stored: $(cat "$INI")"
    oid=$(open_options)
    settings_button "$oid" 1
    answer_dialog "$HOME/first.KVPS"
    sleep 0.5
    send_keys "$oid" Tab Tab Tab space
    sleep 0.5
    send_keys "$(wait_window "Kivo Player!")" alt+x
    wait_clean_exit

    start_and_export "$HOME/second"
    send_keys "$(wait_window "Kivo Player!")" alt+x
    wait_clean_exit
'

[ -f "$HOME/second.KVPS" ] || fail "no second export: $(cat "$INI")"
grep -q 'DevicePath©/mnt/e2e/' "$HOME/first.KVPS" || fail "first export lacks the device path: $(cat "$HOME/first.KVPS")"
cmp "$HOME/first.KVPS" "$HOME/second.KVPS" || fail "the values did not come back: $(diff "$HOME/first.KVPS" "$HOME/second.KVPS")"
grep -q '^On%20Top=0' "$INI" || fail "Keep On Top stayed changed: $(cat "$INI")"
echo PASS

#!/usr/bin/env bash
# A settings file exported from the options window brings its values back:
# export, change a setting, import, OK, restart, and a second export is the
# same file.
KIVO_E2E_BUS=1 KIVO_E2E_A11Y=1
source "$(dirname "$0")/lib.sh"

OPTIONS="Kivo Player Options V7.01256"
write_ini "[Presets]" "PreName%200=Rock" "Preset%200=$HOME" "Close%20On%20Finish=1" \
    "[OtherSettings]" "DevicePath=/mnt/e2e/" "NameConvert=1"

# "Options" has no key: it is pressed as a screen reader presses it.
open_options() {
    wait_for "the options window stayed open" eval '! shown "$OPTIONS"'
    wait_window "$MAIN" >/dev/null && press "Options"
    wait_window "$OPTIONS"
}
# settings_file OPTIONS-ID TABS DIALOG PATH: the "Settings" tab is eight
# Ctrl+Tab on, its buttons TABS Tab (1 Import, 2 Export); PATH goes to the dialog.
settings_file() {
    local dialog=$3
    send_keys "$1" $(printf 'ctrl+Tab %.0s' $(seq 8)) $(printf 'Tab %.0s' $(seq "$2")) space
    send_keys "$(wait_window "$dialog")" ctrl+a
    xdotool type --delay 20 "$4"
    xdotool key Return
    wait_for "the file dialog stayed open" eval '! shown "$dialog"'
}
# The main window closed first leaves the options window open; the player ends with it.
export_and_close() {
    start_player
    local oid
    oid=$(open_options)
    settings_file "$oid" 2 "Save As" "$1"
    wait_for "no settings file exported to $1.KVPS" test -f "$1.KVPS"
    send_keys "$(wait_window "$MAIN")" alt+x
    wait_for "the main window stayed" eval '! shown "$MAIN"'
    send_keys "$(wait_window "$OPTIONS")" alt+F4
    wait_end
}

export_and_close "$HOME/first"
start_player
# "Keep On Top" is the first control of the first tab; OK! is three steps back.
send_keys "$(open_options)" Tab space shift+Tab shift+Tab shift+Tab space
wait_for "Keep On Top was not stored" grep -q "^On%20Top=1" "$INI"
oid=$(open_options)
settings_file "$oid" 1 Open "$HOME/first.KVPS"
send_keys "$oid" Tab Tab Tab space # past "Delete Settings" to OK!
wait_for "the import was not stored" grep -q "^On%20Top=0" "$INI"
send_keys "$(wait_window "$MAIN")" alt+x
wait_end
export_and_close "$HOME/second"
grep -q 'DevicePath©/mnt/e2e/' "$HOME/first.KVPS" || fail "the export lacks the device path"
cmp "$HOME/first.KVPS" "$HOME/second.KVPS" || fail "the values did not come back: $(diff "$HOME"/{first,second}.KVPS)"
echo PASS

#!/usr/bin/env bash
# `make install` and `make uninstall` as a user runs them: into a staging
# folder (DESTDIR) and into a prefix of its own. Every file written is in the
# manifest, the launcher and the file types are valid and tie .kvpl files to
# the player, the desktop caches are refreshed only for a real install, and
# uninstalling leaves none of the player's files.
set -euo pipefail
SRC=$(readlink -f "${1:?usage: $0 source-dir build-dir}")
BUILD=$(readlink -f "${2:?usage: $0 source-dir build-dir}")
WORK=$(mktemp -d /tmp/kivo-install.XXXXXX)
MANIFEST=$BUILD/install_manifest.txt
# The build's own manifest (from a real install) is put back afterwards.
[ -f "$MANIFEST" ] && cp "$MANIFEST" "$WORK/manifest.saved"
cleanup() {
    if [ -f "$WORK/manifest.saved" ]; then cp "$WORK/manifest.saved" "$MANIFEST"; else rm -f "$MANIFEST"; fi
    rm -rf "$WORK"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
# A make started by `make test` must not take that make's job slots.
unset MAKEFLAGS MFLAGS MAKELEVEL
run_make() {
    make -C "$SRC" --no-print-directory BUILD="$BUILD" "$@" > "$WORK/make.log" 2>&1 || {
        cat "$WORK/make.log" >&2
        fail "make $*"
    }
}
FILES=(bin/kivo-player
       share/applications/kivo-player.desktop
       share/icons/hicolor/scalable/apps/kivo-player.svg
       share/mime/packages/kivo-player.xml)

# --- Staged: DESTDIR + PREFIX ---
STAGE=$WORK/stage
PREFIX=/opt/kivo
run_make install PREFIX="$PREFIX" DESTDIR="$STAGE"
ROOT=$STAGE$PREFIX
find "$STAGE" \( -type f -o -type l \) | sort > "$WORK/found"
sed "s|^|$STAGE|" "$MANIFEST" | sort > "$WORK/listed"
diff -u "$WORK/listed" "$WORK/found" || fail "the manifest and the installed files differ"
printf "$ROOT/%s\n" "${FILES[@]}" | sort > "$WORK/expected"
diff -u "$WORK/expected" "$WORK/listed" || fail "not the files expected"
[ -x "$ROOT/bin/kivo-player" ] || fail "the program is not executable"

DESKTOP=$ROOT/share/applications/kivo-player.desktop
desktop-file-validate "$DESKTOP" || fail "desktop-file-validate refuses the launcher"
grep -qx 'Name=Kivo Player' "$DESKTOP" || fail "launcher name"
grep -qx 'Categories=AudioVideo;Player;' "$DESKTOP" || fail "launcher categories"
grep -qx 'Icon=kivo-player' "$DESKTOP" || fail "launcher icon"
exec_line=$(sed -n 's/^Exec=//p' "$DESKTOP")
[ "$exec_line" = "kivo-player %f" ] || fail "Exec=$exec_line"
xmllint --noout "$ROOT/share/icons/hicolor/scalable/apps/kivo-player.svg" || fail "the icon is not well-formed SVG"

MIME_XML=$ROOT/share/mime/packages/kivo-player.xml
schema=""
for candidate in /usr/share/shared-mime-info/shared-mime-info.rng /usr/share/xml/shared-mime-info/shared-mime-info.rng; do
    [ -f "$candidate" ] && schema=$candidate && break
done
if [ -n "$schema" ]; then
    xmllint --noout --relaxng "$schema" "$MIME_XML" || fail "the MIME types do not follow the schema"
else
    xmllint --noout "$MIME_XML" || fail "the MIME types are not well-formed XML"
fi
# The MIME database built from them knows both extensions; the launcher is
# the handler of the playlist type.
mkdir -p "$WORK/db/mime/packages" "$WORK/db/applications"
cp "$MIME_XML" "$WORK/db/mime/packages/"
XDG_DATA_HOME=$WORK/db XDG_DATA_DIRS=$WORK/db update-mime-database "$WORK/db/mime" 2> "$WORK/mime.err" || fail "update-mime-database: $(cat "$WORK/mime.err")"
[ ! -s "$WORK/mime.err" ] || fail "update-mime-database complains: $(cat "$WORK/mime.err")"
grep -q ':application/x-kivo-playlist:\*\.kvpl$' "$WORK/db/mime/globs2" || fail "no *.kvpl glob: $(cat "$WORK/db/mime/globs2")"
grep -q ':application/x-kivo-settings:\*\.kvps$' "$WORK/db/mime/globs2" || fail "no *.kvps glob"
cp "$DESKTOP" "$WORK/db/applications/"
update-desktop-database "$WORK/db/applications"
grep -qx 'application/x-kivo-playlist=kivo-player.desktop;' "$WORK/db/applications/mimeinfo.cache" ||
    fail "the launcher does not open playlists: $(cat "$WORK/db/applications/mimeinfo.cache")"
grep -qx 'audio/x-mpegurl=kivo-player.desktop;' "$WORK/db/applications/mimeinfo.cache" ||
    fail "the launcher does not open M3U playlists"

# A staged install leaves the caches to the system it lands on.
[ ! -e "$ROOT/share/applications/mimeinfo.cache" ] || fail "a staged install wrote the launcher cache"
[ ! -e "$ROOT/share/mime/mime.cache" ] || fail "a staged install wrote the MIME cache"

run_make uninstall DESTDIR="$STAGE"
left=$(find "$STAGE" \( -type f -o -type l \))
[ -z "$left" ] || fail "uninstall left: $left"

# --- Into a prefix of its own, no DESTDIR: the caches follow ---
PREFIX=$WORK/prefix
run_make install PREFIX="$PREFIX" DESTDIR=
[ -x "$PREFIX/bin/kivo-player" ] || fail "no program under the prefix"
if command -v update-mime-database > /dev/null; then
    grep -q ':application/x-kivo-playlist:\*\.kvpl$' "$PREFIX/share/mime/globs2" ||
        fail "the MIME database of the prefix was not refreshed"
fi
if command -v update-desktop-database > /dev/null; then
    grep -qx 'application/x-kivo-playlist=kivo-player.desktop;' "$PREFIX/share/applications/mimeinfo.cache" ||
        fail "the launcher cache of the prefix was not refreshed"
fi
while read -r path; do
    case "$path" in "$PREFIX"/*) ;; *) fail "installed outside the prefix: $path" ;; esac
done < "$MANIFEST"
run_make uninstall DESTDIR=
while read -r path; do
    [ ! -e "$path" ] || fail "uninstall left $path"
done < "$MANIFEST"
# The refreshed caches forget the player.
if [ -f "$PREFIX/share/mime/globs2" ]; then
    ! grep -q 'kivo' "$PREFIX/share/mime/globs2" || fail "the MIME database still knows the player's types"
fi
if [ -f "$PREFIX/share/applications/mimeinfo.cache" ]; then
    ! grep -q 'kivo-player.desktop' "$PREFIX/share/applications/mimeinfo.cache" ||
        fail "the launcher cache still names the player"
fi
echo PASS

#!/usr/bin/env bash
# `make install` and `make uninstall`, staged (DESTDIR) and into a prefix of
# its own: every file written is listed and goes again, the launcher, the
# software-centre entry and the file types are valid and tie playlists to the
# player, and the desktop caches are refreshed for a real install only.
set -euo pipefail
SRC=$(readlink -f "${1:?usage: $0 source-dir build-dir}")
BUILD=$(readlink -f "${2:?usage: $0 source-dir build-dir}")
WORK=$(mktemp -d /tmp/kivo-install.XXXXXX)
MANIFEST=$BUILD/install_manifest.txt
# The build's own manifest (from a real install) is put back afterwards.
[ ! -f "$MANIFEST" ] || cp "$MANIFEST" "$WORK/manifest.saved"
trap 'if [ -f "$WORK/manifest.saved" ]; then cp "$WORK/manifest.saved" "$MANIFEST"; else rm -f "$MANIFEST"; fi
      rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*" >&2 && exit 1; }
# A make started by `make test` must not take that make's job slots.
unset MAKEFLAGS MFLAGS MAKELEVEL
run_make() { make -C "$SRC" --no-print-directory BUILD="$BUILD" "$@" &> "$WORK/log" || fail "make $*: $(cat "$WORK/log")"; }
files_under() { find "$1" \( -type f -o -type l \) | sort; }
# The files an install under the prefix $1 must write, and nothing else (no cache).
expected() {
    printf "$1/%s\n" bin/kivo-player share/applications/kivo-player.desktop share/mime/packages/kivo-player.xml \
        share/icons/hicolor/{scalable/apps/kivo-player.svg,{48x48,128x128,256x256}/apps/kivo-player.png} \
        share/metainfo/io.github.quelba.KivoPlayer.metainfo.xml | sort
}

# --- Staged: DESTDIR + PREFIX, the prefix beginning with the DESTDIR text ---
STAGE=$WORK/stage ROOT=$WORK/stage$WORK/stage/opt
run_make install PREFIX="$WORK/stage/opt" DESTDIR="$STAGE"
diff -u <(sed "s|^|$STAGE|" "$MANIFEST" | sort) <(files_under "$STAGE") || fail "the manifest and the files differ"
diff -u <(expected "$ROOT") <(files_under "$STAGE") || fail "not the files expected"
[ -x "$ROOT/bin/kivo-player" ] || fail "the program is not executable"
cd "$ROOT/share"
desktop-file-validate applications/kivo-player.desktop || fail "desktop-file-validate refuses the launcher"
grep -qx 'Exec=kivo-player %f' applications/kivo-player.desktop && ! grep -q vnd.apple.mpegurl applications/kivo-player.desktop ||
    fail "the launcher opens no file, or claims HLS streams (never played)"
xmllint --noout icons/hicolor/scalable/apps/kivo-player.svg mime/packages/kivo-player.xml || fail "not well-formed XML"
appstreamcli validate --no-net metainfo/*.metainfo.xml || fail "appstreamcli refuses the metainfo"
cd "$WORK"
run_make uninstall DESTDIR="$STAGE"
[ -z "$(files_under "$STAGE")" ] || fail "uninstall left: $(files_under "$STAGE")"

# --- Into a prefix of its own, no DESTDIR: the caches follow ---
PREFIX=$WORK/prefix APPS=$WORK/prefix/share/applications
run_make install PREFIX="$PREFIX" DESTDIR=
diff -u <(expected "$PREFIX") <(sort "$MANIFEST") || fail "not the files expected under the prefix"
# Run again, it says nothing: the file types are sound.
XDG_DATA_HOME=$PREFIX/share XDG_DATA_DIRS=$PREFIX/share update-mime-database "$PREFIX/share/mime" 2> "$WORK/err" &&
    [ ! -s "$WORK/err" ] || fail "update-mime-database complains: $(cat "$WORK/err")"
grep -q ':application/x-kivo-playlist:\*\.kvpl$' "$PREFIX/share/mime/globs2" || fail "no *.kvpl glob"
grep -q ':application/x-kivo-settings:\*\.kvps$' "$PREFIX/share/mime/globs2" || fail "no *.kvps glob"
for type in application/x-kivo-playlist audio/x-mpegurl; do
    grep -qx "$type=kivo-player.desktop;" "$APPS/mimeinfo.cache" || fail "the launcher does not open $type"
done
run_make uninstall DESTDIR=
while read -r path; do [ ! -e "$path" ] || fail "uninstall left $path"; done < "$MANIFEST"
# The refreshed caches forget the player.
! grep -qs kivo "$PREFIX/share/mime/globs2" || fail "the MIME database still knows the player's types"
! grep -qs kivo-player.desktop "$APPS/mimeinfo.cache" || fail "the launcher cache still names the player"
echo PASS

#pragma once
#include "playlist/PlaylistFile.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// M3U playlists, the plain list of files most players read and write: one
// path or URL per line, "#" lines are comments or directives, and an
// "#EXTINF:<seconds>,<title>" line gives the entry after it a title.

enum class M3uText {
    Utf8,              // .m3u8
    Utf8OrWindows1252, // .m3u: UTF-8 when the bytes are valid UTF-8
};

// Reads entries from M3U bytes. Lines end at CR LF, CR or LF; a byte order
// mark is dropped. A relative path is taken inside `folder` (the playlist's
// own folder, without links), its "." and ".." taken out; a file:// URL names the local path it encodes,
// other URLs (http:, rtsp:, ...) are skipped, and so is every path the filter turns down; each of those
// counts in `skipped`. An entry's display name is its #EXTINF title when it has one, cut to
// kMaxEntryNameUnits, else its file name; "*" and line breaks get look-alikes as for any added file. A path
// line longer than any file system allows stops the read (LineTooLong), as
// does one more entry than `room` (PlaylistFull); otherwise the read ends
// Complete at the end of the data.
PlaylistReadResult readM3u(QByteArrayView bytes, M3uText text, const QString& folder,
                           const PlaylistPathFilter& take = {}, PlaylistRoom room = {});
// The same for a regular file of at most kMaxPlaylistFileBytes, its text rule
// taken from its extension, relative paths from its real folder.
PlaylistReadResult readM3uFile(const QString& path, const PlaylistPathFilter& take = {},
                               PlaylistRoom room = {});

// An M3U8 playlist of the entries: "#EXTM3U", then for each entry
// "#EXTINF:<seconds or -1>,<display name>" and its absolute path (a relative
// one taken inside `baseFolder`), LF line ends. A path that would break its
// line (CR or LF) is written as a file:// URL, as the .KVPL writer does.
// Entries without a display name or a path are left out, as there too.
QByteArray m3u8Bytes(const PlaylistModel& playlist, const QString& baseFolder);

// Writes the playlist as M3U8 through a temporary file renamed over the
// target; anything at the path other than a regular file is left alone.
bool writeM3u8File(const PlaylistModel& playlist, const QString& path);

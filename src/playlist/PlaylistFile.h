#pragma once
#include "playlist/PlaylistModel.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The .KVPL playlist file: one "name*path" line per entry, then the end
// marker line. Written as UTF-8 with CR LF; read as UTF-8, or as
// Windows-1252 when the bytes are not valid UTF-8 (files made on Windows).
// Names and paths that a line cannot hold as they are: PlaylistFields.h.

inline constexpr char kPlaylistEndMarker[] = "!@#$%";

enum class PlaylistReadStatus {
    Complete,        // the end marker was reached
    LineWithoutPath, // a line without "*" (an empty line too)
    LineTooLong,     // a path longer than any file system allows
    NoEndMarker,     // the data ended before the end marker
    PlaylistFull,    // one more entry would not fit the room given
    Unreadable,      // the file could not be opened or read
    TooLarge,        // the file is larger than kMaxPlaylistFileBytes
};

struct PlaylistReadResult {
    // Every entry taken before the read stopped, unchecked.
    PlaylistEntries entries;
    PlaylistReadStatus status = PlaylistReadStatus::NoEndMarker;
    int skipped = 0;      // entry lines the filter turned down
    qint64 lineBytes = 0; // the entries' saved lines, as the room counts them
    bool complete() const { return status == PlaylistReadStatus::Complete; }
    // Every entry line of a complete file was taken.
    bool whole() const { return complete() && skipped == 0; }
};

// No file system holds a longer file name (255 bytes, or a Windows long name
// of 255 UTF-16 units) or path (4,096 bytes with its end): a line naming such
// a path cannot be a real entry and is a bad line. A longer display name
// (a title another program wrote) is cut to the limit.
inline constexpr qsizetype kMaxEntryNameUnits = 255;
inline constexpr qsizetype kMaxEntryPathUnits = 4095;
// The bytes of a name that can still be in its first kMaxEntryNameUnits
// units: a unit takes at most 3 bytes of UTF-8 and 1 of Windows-1252, and
// what is left of a character cut off at the end lies past the limit.
inline constexpr qsizetype kMaxEntryNameBytes = 4 * kMaxEntryNameUnits;
// The name's first kMaxEntryNameUnits units, never half a character.
QString cutToNameLimit(QString name);

// Decides whether an entry line is taken, by its path; an empty function
// takes every line. pathBytes are the path's bytes as QFile::encodeName()
// gives them, when the reader has them at hand (a UTF-8 line's own), and
// empty otherwise.
using PlaylistPathFilter = std::function<bool(const QString& path, QByteArrayView pathBytes)>;

// The fields of a "name*path" line as its bytes: the name before the first
// "*", the path up to the next one; nullopt for a line without "*".
struct PlaylistLineFields {
    QByteArrayView name;
    QByteArrayView path;
};
std::optional<PlaylistLineFields> playlistLineFields(QByteArrayView line);

// Reads playlist lines from bytes. A line ends at CR LF, CR or LF; the end
// marker line stops the read; the text before the first "*" is the name, the
// text up to the next "*" the path (a file URL names the path it encodes). At most
// what `room` holds is taken: one more entry stops the read as PlaylistFull.
PlaylistReadResult readPlaylist(QByteArrayView bytes, const PlaylistPathFilter& take = {},
                                PlaylistRoom room = {});
// The same for a file on disk.
PlaylistReadResult readPlaylistFile(const QString& path, const PlaylistPathFilter& take = {},
                                    PlaylistRoom room = {});

// True when nothing is at the path, or an empty file, or a regular file
// whose lines read as playlist lines (up to its end marker, or as far as its
// first MiB holds whole lines): the only files the auto-save replaces or
// deletes.
bool readsAsPlaylistFile(const QString& path);

// The file's bytes for a playlist: entries with an empty name are left out,
// and so is the rare relative path that no line can hold.
QByteArray playlistBytes(const PlaylistModel& playlist);
// Writes the playlist whole through a temporary file renamed over the
// target, so a failure never leaves a partial file or loses the old one.
// Anything at the path other than a regular file is left alone (false).
bool writePlaylistFile(const PlaylistModel& playlist, const QString& path);

// Appends ".KVPL" unless the path already ends in it, in any letter case.
QString withPlaylistExtension(const QString& path);
bool isPlaylistFile(const QString& path);
bool isRegularFile(const QString& path);
// True for an existing file of any kind other than a folder.
bool isExistingFile(const QString& path);

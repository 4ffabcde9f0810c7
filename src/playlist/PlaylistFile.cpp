#include "playlist/PlaylistFile.h"
#include "platform/RegularFile.h"
#include "platform/TextDecoding.h"
#include "playlist/LineCursor.h"
#include "playlist/PlaylistFields.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <optional>
#include <sys/stat.h>

namespace {
constexpr char kFieldSeparator = '*';
const QByteArrayView kMarker(kPlaylistEndMarker, sizeof(kPlaylistEndMarker) - 1);
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
const QString kExtension = QStringLiteral(".KVPL");

// How far the reader gets: up to and including the end marker line or the
// first line without a path. Only these bytes decide the text encoding.
qsizetype readExtent(QByteArrayView bytes) {
    LineCursor lines(bytes);
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        if (line == kMarker || !line.contains(kFieldSeparator))
            break;
    }
    return lines.position();
}
} // namespace

PlaylistReadResult readPlaylist(QByteArrayView bytes, const PlaylistPathFilter& take, PlaylistRoom room) {
    if (bytes.startsWith(kUtf8Bom))
        bytes = bytes.sliced(kUtf8Bom.size());
    const bool utf8 = isValidUtf8(bytes.first(readExtent(bytes)));
    const auto decode = [utf8](QByteArrayView field) {
        return utf8 ? fromUtf8Field(field) : fromWindows1252(field);
    };

    PlaylistReadResult result;
    LineCursor lines(bytes);
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        if (line == kMarker) {
            result.status = PlaylistReadStatus::Complete;
            return result;
        }
        const qsizetype star = line.indexOf(kFieldSeparator);
        if (star < 0) {
            result.status = PlaylistReadStatus::LineWithoutPath;
            return result;
        }
        QByteArrayView rest = line.sliced(star + 1);
        const qsizetype nextStar = rest.indexOf(kFieldSeparator);
        if (nextStar >= 0)
            rest = rest.first(nextStar);
        // Sizes past any real entry are turned down before a single character
        // is decoded (a unit takes at most 3 bytes of UTF-8, or 9 of a URL).
        if (star > 3 * kMaxEntryNameUnits || rest.size() > 9 * kMaxEntryPathUnits + 64) {
            result.status = PlaylistReadStatus::LineTooLong;
            return result;
        }
        std::optional<QString> url = pathFromFileUrl(rest);
        QString path = url ? std::move(*url) : decode(rest);
        QString name = decode(line.first(star));
        if (name.size() > kMaxEntryNameUnits || path.size() > kMaxEntryPathUnits) {
            result.status = PlaylistReadStatus::LineTooLong;
            return result;
        }
        if (take && !take(path)) {
            ++result.skipped;
            continue;
        }
        if (!room.take(name, path)) {
            result.status = PlaylistReadStatus::PlaylistFull;
            return result;
        }
        result.entries.push_back({std::move(name), std::move(path), false});
    }
    result.status = PlaylistReadStatus::NoEndMarker;
    return result;
}

PlaylistReadResult readPlaylistFile(const QString& path, const PlaylistPathFilter& take, PlaylistRoom room) {
    // Only a regular file is read, and a pipe named like a playlist never hangs the player.
    const FileRead file = readRegularFile(path, kMaxPlaylistFileBytes);
    if (file.status == FileReadStatus::Read)
        return readPlaylist(file.bytes, take, room);
    PlaylistReadResult failed;
    failed.status = file.status == FileReadStatus::TooLarge ? PlaylistReadStatus::TooLarge
                                                            : PlaylistReadStatus::Unreadable;
    return failed;
}

bool readsAsPlaylistFile(const QString& path) {
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return true; // nothing there to lose
    // The first lines tell: a playlist too large to load reads as one too.
    constexpr qint64 kJudged = 1024 * 1024;
    const FileRead file = readRegularFile(path, kJudged, true);
    if (file.status != FileReadStatus::Read)
        return false;
    LineCursor lines(file.bytes);
    bool judged = file.bytes.size() < kJudged; // an empty file, or the whole one
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        if (lines.atEnd() && file.bytes.size() == kJudged)
            break; // cut by the read: not judged
        if (line == kMarker)
            return true;
        if (!line.contains(kFieldSeparator))
            return false;
        judged = true;
    }
    return judged;
}

QByteArray playlistBytes(const PlaylistModel& playlist) {
    static constexpr QByteArrayView kLineEnd("\r\n");
    QByteArray bytes;
    qsizetype estimate = kMarker.size() + kLineEnd.size();
    for (const PlaylistEntry& entry : playlist.entries())
        estimate += 3 * (entry.name.size() + entry.path.size()) + 1 + kLineEnd.size();
    bytes.reserve(estimate);
    for (const PlaylistEntry& entry : playlist.entries()) {
        if (entry.name.isEmpty())
            continue;
        const std::optional<QByteArray> path = pathFieldBytes(entry.path);
        if (!path)
            continue;
        const QByteArray name = playlistDisplayName(entry.name).toUtf8();
        // The reader drops a byte order mark at the start of the file: one of
        // its own keeps the mark a first name starts with.
        if (bytes.isEmpty() && name.startsWith(kUtf8Bom))
            bytes += kUtf8Bom;
        bytes += name;
        bytes += kFieldSeparator;
        bytes += *path;
        bytes += kLineEnd;
    }
    bytes += kMarker;
    bytes += kLineEnd;
    return bytes;
}

bool writePlaylistFile(const PlaylistModel& playlist, const QString& path) {
    // Only a regular file is replaced: a pipe or a device at the path is not
    // ours to remove.
    if (path.isEmpty() || (QFileInfo::exists(path) && !isRegularFile(path)))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = playlistBytes(playlist);
    // Flush before committing: an error in the last buffered write (a full
    // disk) would otherwise go unnoticed and the short file replace the old.
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        file.commit(); // discards the temporary file
        return false;
    }
    if (!file.commit())
        return false;
    syncFolderOf(path);
    return true;
}

QString withPlaylistExtension(const QString& path) {
    return isPlaylistFile(path) ? path : path + kExtension;
}

bool isPlaylistFile(const QString& path) {
    return path.right(kExtension.size()).toUpper() == kExtension;
}

bool isRegularFile(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isExistingFile(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

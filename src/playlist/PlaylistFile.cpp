#include "playlist/PlaylistFile.h"
#include "platform/RegularFile.h"
#include "platform/TextDecoding.h"
#include "playlist/LineCursor.h"
#include "playlist/PlaylistFields.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <array>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

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

PlaylistReadResult readPlaylist(QByteArrayView bytes, const PlaylistPathFilter& take, int room) {
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
        if (static_cast<qsizetype>(result.entries.size()) >= room) {
            result.status = PlaylistReadStatus::PlaylistFull;
            return result;
        }
        result.entries.push_back({std::move(name), std::move(path), false});
    }
    result.status = PlaylistReadStatus::NoEndMarker;
    return result;
}

PlaylistReadResult readPlaylistFile(const QString& path, const PlaylistPathFilter& take, int room) {
    PlaylistReadResult failed;
    failed.status = PlaylistReadStatus::Unreadable;
    if (path.isEmpty() || path.contains(QChar(0)))
        return failed;
    // Only a regular file is read: opening without blocking and checking the
    // opened file keeps a pipe named like a playlist from hanging the player.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failed;
    struct stat info;
    QFile file;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return failed;
    }
    // Read in pieces up to one byte past the limit: a device or a file that
    // grows while we read can never make us hold more than that.
    QByteArray bytes;
    qint64 piece = qBound<qint64>(64 * 1024, file.size() + 1, kMaxPlaylistFileBytes + 1);
    for (;;) {
        const qsizetype had = bytes.size();
        bytes.resize(had + piece);
        const qint64 got = file.read(bytes.data() + had, piece);
        if (got < 0)
            return failed;
        bytes.resize(had + got);
        if (bytes.size() > kMaxPlaylistFileBytes) {
            failed.status = PlaylistReadStatus::TooLarge;
            return failed;
        }
        if (got == 0)
            break;
        piece = qMin<qint64>(1024 * 1024, kMaxPlaylistFileBytes + 1 - bytes.size());
    }
    return readPlaylist(bytes, take, room);
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

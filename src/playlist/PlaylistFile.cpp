#include "playlist/PlaylistFile.h"
#include "platform/RegularFile.h"
#include "platform/TextDecoding.h"
#include "playlist/ByteSearch.h"
#include "playlist/FileLines.h"
#include "playlist/LineCursor.h"
#include "playlist/PlaylistFields.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <optional>
#include <sys/stat.h>

namespace {
constexpr char kFieldSeparator = '*';
const QByteArrayView kMarker(kPlaylistEndMarker, sizeof(kPlaylistEndMarker) - 1);
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
const QString kExtension = QStringLiteral(".KVPL");

bool isAscii(QByteArrayView bytes) {
    uchar any = 0;
    for (const char c : bytes)
        any |= uchar(c);
    return any < 0x80;
}

// Takes the playlist lines one at a time into the result; false once the
// read stops (the status says why). Each line is read as UTF-8 when it is
// valid UTF-8, otherwise as Windows-1252 (the lines a Windows program or an
// older editor wrote), so one such line garbles no other.
class LineTaker {
public:
    LineTaker(const PlaylistPathFilter& take, PlaylistRoom room) : take_(take), room_(room) {}
    PlaylistReadResult result;

    bool operator()(QByteArrayView line) {
        if (line == kMarker)
            return stop(PlaylistReadStatus::Complete);
        const std::optional<PlaylistLineFields> fields = playlistLineFields(line);
        if (!fields)
            return stop(PlaylistReadStatus::LineWithoutPath);
        const QByteArrayView rest = fields->path;
        // A path past any real one is turned down before a single character
        // is decoded (a unit takes at most 3 bytes of UTF-8, or 9 of a URL).
        if (rest.size() > 9 * kMaxEntryPathUnits + 64)
            return stop(PlaylistReadStatus::LineTooLong);
        const bool utf8 = isAscii(line) || isValidUtf8(line);
        std::optional<QString> url = pathFromFileUrl(rest);
        const QString& path = url ? *url : decodePath(rest, utf8);
        if (path.size() > kMaxEntryPathUnits)
            return stop(PlaylistReadStatus::LineTooLong);
        // Only as much of the name is decoded as can be kept. An ASCII name, the common one, is its own
        // Latin-1 text.
        const QByteArrayView nameBytes =
            fields->name.first(std::min(fields->name.size(), kMaxEntryNameBytes));
        const bool asciiName = isAscii(nameBytes);
        const QString decoded = asciiName ? QString() : cutToNameLimit(decode(nameBytes, utf8));
        const TextView name =
            asciiName
                ? TextView(QLatin1StringView(nameBytes.first(std::min(nameBytes.size(), kMaxEntryNameUnits))))
                : TextView(decoded);
        // A UTF-8 line's path field is the path's own bytes: valid UTF-8 comes back from UTF-16 unchanged.
        if (take_ && !take_(path, url || !utf8 ? QByteArrayView() : rest)) {
            ++result.skipped;
            return true;
        }
        // Held first: its share is counted the quicker on the texts as held.
        EntryText text(name, path);
        const qint64 lineBytes = playlistLineBytes(text.name(), text.path());
        if (!room_.take(lineBytes))
            return stop(PlaylistReadStatus::PlaylistFull);
        result.lineBytes += lineBytes;
        result.entries.records.push_back({std::move(text)});
        return true;
    }

private:
    static QString decode(QByteArrayView field, bool utf8) {
        return utf8 ? fromUtf8Field(field) : fromWindows1252(field);
    }
    // Into one text kept for the read: a long list's load then allocates
    // nothing a line but the entry.
    const QString& decodePath(QByteArrayView field, bool utf8) {
        if (!utf8)
            return path_ = fromWindows1252(field);
        fromValidUtf8Field(field, path_); // the lines taken as UTF-8 are valid UTF-8
        return path_;
    }
    bool stop(PlaylistReadStatus status) {
        result.status = status;
        return false;
    }
    QString path_;
    const PlaylistPathFilter& take_;
    PlaylistRoom room_;
};
} // namespace

std::optional<PlaylistLineFields> playlistLineFields(QByteArrayView line) {
    const qsizetype star = indexOfByte(line, kFieldSeparator);
    if (star < 0)
        return std::nullopt;
    QByteArrayView path = line.sliced(star + 1);
    if (const qsizetype next = indexOfByte(path, kFieldSeparator); next >= 0)
        path = path.first(next);
    return PlaylistLineFields{line.first(star), path};
}

PlaylistReadResult readPlaylist(QByteArrayView bytes, const PlaylistPathFilter& take, PlaylistRoom room) {
    if (bytes.startsWith(kUtf8Bom))
        bytes = bytes.sliced(kUtf8Bom.size());
    LineTaker taker(take, room);
    taker.result.status = PlaylistReadStatus::NoEndMarker;
    for (LineCursor lines(bytes); !lines.atEnd() && taker(lines.next());)
        ;
    return std::move(taker.result);
}

PlaylistReadResult readPlaylistFile(const QString& path, const PlaylistPathFilter& take, PlaylistRoom room) {
    // Only a regular file is read, and a pipe named like a playlist never hangs the player.
    FileLines lines(path, kMaxPlaylistFileBytes);
    LineTaker taker(take, room);
    taker.result.status = PlaylistReadStatus::NoEndMarker;
    // Room for the entries a file of that size may hold, so that a long list
    // is not copied as it grows; what is never used is never touched.
    taker.result.entries.reserve(std::min<qint64>(lines.size() / 32, room.entries));
    if (lines.forEach(taker))
        return std::move(taker.result);
    PlaylistReadResult failed;
    failed.status = lines.status() == FileReadStatus::TooLarge ? PlaylistReadStatus::TooLarge
                                                               : PlaylistReadStatus::Unreadable;
    return failed;
}

QString cutToNameLimit(QString name) {
    if (name.size() <= kMaxEntryNameUnits)
        return name;
    qsizetype keep = kMaxEntryNameUnits;
    if (name.at(keep - 1).isHighSurrogate())
        --keep;
    name.truncate(keep);
    return name;
}

namespace {
// What an entry line holds after its name: a full path (also one written on Windows), a file:// URL, or
// nothing.
bool namesAFile(QByteArrayView line) {
    const QByteArrayView path = line.sliced(indexOfByte(line, kFieldSeparator) + 1);
    const bool drive = path.size() >= 2 && path[1] == ':' && QChar::isLetter(uchar(path[0]));
    return path.isEmpty() || path.startsWith('/') || path.startsWith('\\') || drive ||
           path.startsWith("file:");
}
} // namespace

bool readsAsPlaylistFile(const QString& path) {
    struct stat info;
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return true; // nothing there to lose
    // The first lines tell: a playlist too large to load reads as one too, and so does one cut short
    // (no end line) if each of its lines names a file; a list of notes whose lines hold a "*" does not.
    constexpr qint64 kJudged = 1024 * 1024;
    const FileRead file = readRegularFile(path, kJudged, true);
    if (file.status != FileReadStatus::Read)
        return false;
    LineCursor lines(file.bytes);
    bool judged = file.bytes.size() < kJudged; // an empty file, or the whole one
    bool eachNamesAFile = true;
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        if (lines.atEnd() && file.bytes.size() == kJudged)
            break; // cut by the read: not judged
        if (line == kMarker)
            return true;
        if (!line.contains(kFieldSeparator))
            return false;
        eachNamesAFile = eachNamesAFile && namesAFile(line);
        judged = true;
    }
    return judged && eachNamesAFile;
}

namespace {
constexpr QByteArrayView kLineEnd("\r\n");

void appendUtf8(QByteArray& bytes, QLatin1StringView text) {
    const bool ascii = std::all_of(text.begin(), text.end(), [](char c) { return uchar(c) < 0x80; });
    if (ascii) {
        bytes.append(text.data(), text.size());
        return;
    }
    for (const char c : text) {
        const uchar u = uchar(c);
        if (u < 0x80) {
            bytes += char(u);
        } else {
            bytes += char(0xC0 | u >> 6);
            bytes += char(0x80 | (u & 0x3F));
        }
    }
}

// The common line, of Latin-1 texts that a line holds as they are, written
// without making strings; false for any other.
bool appendPlainLine(QByteArray& bytes, TextView name, TextView path) {
    if (name.wide || path.wide)
        return false;
    const QLatin1StringView n(static_cast<const char*>(name.data), name.size);
    const QLatin1StringView p(static_cast<const char*>(path.data), path.size);
    if (breaksALine(QByteArrayView(n.data(), n.size())) || breaksALine(QByteArrayView(p.data(), p.size())) ||
        p.startsWith(QLatin1StringView("file://"), Qt::CaseInsensitive))
        return false;
    appendUtf8(bytes, n);
    bytes += kFieldSeparator;
    appendUtf8(bytes, p);
    bytes += kLineEnd;
    return true;
}

// Hands the file's bytes to `put` a piece at a time, so saving a long list
// never holds its whole file; stops at the first piece put refuses.
template <typename Put> bool putPlaylistBytes(const PlaylistModel& playlist, Put&& put) {
    constexpr qsizetype kPiece = 1 << 20;
    QByteArray bytes;
    bytes.reserve(kPiece + 64 * 1024);
    bool started = false;
    for (const StoredEntry& entry : playlist.entries().records) {
        const TextView nameText = entry.text.name();
        if (nameText.size == 0)
            continue;
        if (!appendPlainLine(bytes, nameText, entry.text.path())) {
            const std::optional<QByteArray> path = pathFieldBytes(entry.text.path().toString());
            if (!path)
                continue;
            const QByteArray name = playlistDisplayName(nameText.toString()).toUtf8();
            // The reader drops a byte order mark at the start of the file: one of
            // its own keeps the mark a first name starts with.
            if (!started && name.startsWith(kUtf8Bom))
                bytes += kUtf8Bom;
            bytes += name;
            bytes += kFieldSeparator;
            bytes += *path;
            bytes += kLineEnd;
        }
        started = true;
        if (bytes.size() >= kPiece) {
            if (!put(QByteArrayView(bytes)))
                return false;
            bytes.truncate(0);
        }
    }
    bytes += kMarker;
    bytes += kLineEnd;
    return put(QByteArrayView(bytes));
}
} // namespace

QByteArray playlistBytes(const PlaylistModel& playlist) {
    QByteArray bytes;
    putPlaylistBytes(playlist, [&bytes](QByteArrayView piece) {
        bytes += piece;
        return true;
    });
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
    const bool written = putPlaylistBytes(playlist, [&file](QByteArrayView piece) {
        return file.write(piece.data(), piece.size()) == piece.size();
    });
    // Flush before committing: an error in the last buffered write (a full
    // disk) would otherwise go unnoticed and the short file replace the old.
    if (!written || !file.flush()) {
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

#include "playlist/M3uFile.h"
#include "platform/RegularFile.h"
#include "platform/TextDecoding.h"
#include "playlist/LineCursor.h"
#include "playlist/PlaylistFields.h"
#include "playlist/PlaylistKinds.h"
#include <QDir>
#include <QFileInfo>
#include <cctype>
#include <climits>
#include <cmath>
#include <optional>

namespace {
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kExtInf("#EXTINF:");
constexpr QByteArrayView kHeader("#EXTM3U\n");
// The bytes of a title that can still be in its first kMaxEntryNameUnits
// units: a unit takes at most 3 bytes of UTF-8 and 1 of Windows-1252.
constexpr qsizetype kTitleBytes = 4 * kMaxEntryNameUnits;
// Past this a path line cannot decode to a path any file system holds.
constexpr qsizetype kPathLineBytes = 9 * kMaxEntryPathUnits + 64;

// What an #EXTINF line says about the entry after it.
struct ExtInf {
    int seconds = -1;
    QByteArrayView title; // empty: none
};

// "#EXTINF:<seconds> <attributes>,<title>": attribute values in double quotes
// may hold commas, so the title starts after the first comma outside quotes
// (after the first comma at all when a quote is left open).
ExtInf parseExtInf(QByteArrayView line) {
    const QByteArrayView rest = line.sliced(kExtInf.size());
    qsizetype comma = -1;
    bool quoted = false;
    for (qsizetype i = 0; i < rest.size() && comma < 0; ++i) {
        if (rest[i] == '"')
            quoted = !quoted;
        else if (rest[i] == ',' && !quoted)
            comma = i;
    }
    if (comma < 0)
        comma = rest.indexOf(',');
    ExtInf info;
    QByteArrayView length = comma < 0 ? rest : rest.first(comma);
    if (const qsizetype blank = length.indexOf(' '); blank >= 0)
        length = length.first(blank);
    bool ok = false;
    const double seconds = QByteArray::fromRawData(length.data(), length.size()).trimmed().toDouble(&ok);
    if (ok && std::isfinite(seconds) && seconds >= 0)
        info.seconds = seconds >= INT_MAX ? INT_MAX : static_cast<int>(std::lround(seconds));
    if (comma >= 0)
        info.title = rest.sliced(comma + 1);
    return info;
}

// A scheme and "//": a URL, not a path. One letter before ":" is a Windows
// drive, and a name such as "Live: Song.mp3" has no "//".
bool isUrl(QByteArrayView line) {
    qsizetype i = 0;
    while (i < line.size() && (std::isalnum(static_cast<unsigned char>(line[i])) || line[i] == '+' ||
                               line[i] == '-' || line[i] == '.'))
        ++i;
    return i >= 2 && std::isalpha(static_cast<unsigned char>(line[0])) && line.sliced(i).startsWith("://");
}

QString cutToNameLimit(QString name) {
    if (name.size() <= kMaxEntryNameUnits)
        return name;
    qsizetype keep = kMaxEntryNameUnits;
    if (name.at(keep - 1).isHighSurrogate())
        --keep; // never half a character
    name.truncate(keep);
    return name;
}

// "." and ".." are taken out as written: the folder given holds no links
// (readM3uFile passes the playlist's real folder), so that is where they lead.
QString inFolder(const QString& folder, const QString& relative) {
    return QDir::cleanPath(folder + u'/' + relative);
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}
} // namespace

PlaylistReadResult readM3u(QByteArrayView bytes, M3uText text, const QString& folder,
                           const PlaylistPathFilter& take, PlaylistRoom room) {
    if (bytes.startsWith(kUtf8Bom))
        bytes = bytes.sliced(kUtf8Bom.size());
    const bool utf8 = text == M3uText::Utf8 || isValidUtf8(bytes);
    const auto decode = [utf8](QByteArrayView field) {
        return utf8 ? fromUtf8Field(field) : fromWindows1252(field);
    };
    const auto taken = [&take](const QString& path) {
        return !take || take(path);
    };

    PlaylistReadResult result;
    std::optional<ExtInf> info; // the #EXTINF line waiting for its entry
    LineCursor lines(bytes);
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        if (line.isEmpty())
            continue;
        if (line.startsWith('#')) {
            if (line.size() >= kExtInf.size() &&
                line.first(kExtInf.size()).compare(kExtInf, Qt::CaseInsensitive) == 0)
                info = parseExtInf(line);
            continue;
        }
        const std::optional<ExtInf> entryInfo = std::exchange(info, std::nullopt);
        if (line.size() > kPathLineBytes) {
            result.status = PlaylistReadStatus::LineTooLong;
            return result;
        }
        QString path;
        std::optional<QString> windowsPath; // playlists made on Windows separate folders with "\"
        if (isUrl(line)) {
            std::optional<QString> local = pathFromFileUrl(line);
            if (!local) {
                ++result.skipped; // a stream, or a URL naming no file here
                continue;
            }
            path = std::move(*local);
        } else {
            path = decode(line);
            if (!path.startsWith(u'/')) {
                if (path.contains(u'\\'))
                    windowsPath = inFolder(folder, QString(path).replace(u'\\', u'/'));
                path = inFolder(folder, path);
            }
        }
        if (path.size() > kMaxEntryPathUnits) {
            result.status = PlaylistReadStatus::LineTooLong;
            return result;
        }
        if (!taken(path)) {
            if (!windowsPath || !taken(*windowsPath)) {
                ++result.skipped;
                continue;
            }
            path = std::move(*windowsPath);
        }
        QString name;
        if (entryInfo && !entryInfo->title.isEmpty())
            name = decode(entryInfo->title.first(std::min(entryInfo->title.size(), kTitleBytes)));
        if (name.trimmed().isEmpty()) // a title of blanks is no title
            name = fileNameOf(path);
        if (name.isEmpty())
            name = path; // a path ending in "/": no entry goes without a name
        name = playlistDisplayName(cutToNameLimit(std::move(name)));
        if (!room.take(name, path)) {
            result.status = PlaylistReadStatus::PlaylistFull;
            return result;
        }
        result.entries.push_back(
            {std::move(name), std::move(path), false, 0, entryInfo ? entryInfo->seconds : -1});
    }
    result.status = PlaylistReadStatus::Complete;
    return result;
}

PlaylistReadResult readM3uFile(const QString& path, const PlaylistPathFilter& take, PlaylistRoom room) {
    PlaylistReadResult failed;
    failed.status = PlaylistReadStatus::Unreadable;
    const FileRead read = readRegularFile(path, kMaxPlaylistFileBytes);
    if (read.status == FileReadStatus::TooLarge)
        failed.status = PlaylistReadStatus::TooLarge;
    if (read.status != FileReadStatus::Read)
        return failed;
    const M3uText text = isM3u8File(path) ? M3uText::Utf8 : M3uText::Utf8OrWindows1252;
    const QFileInfo info(path);
    const QString folder = info.canonicalPath();
    return readM3u(read.bytes, text, folder.isEmpty() ? info.absolutePath() : folder, take, room);
}

M3uSave m3u8Bytes(const PlaylistModel& playlist, const QString& baseFolder) {
    M3uSave save;
    save.bytes = kHeader.toByteArray();
    const QDir base(baseFolder);
    for (const PlaylistEntry& entry : playlist.entries()) {
        if (entry.name.isEmpty() || entry.path.isEmpty())
            continue;
        if (entry.path.contains(u'\n') || entry.path.contains(u'\r')) {
            ++save.skipped;
            continue;
        }
        const QString path = entry.path.startsWith(u'/') ? entry.path : base.absoluteFilePath(entry.path);
        save.bytes += kExtInf;
        save.bytes += QByteArray::number(entry.seconds >= 0 ? entry.seconds : -1);
        save.bytes += ',';
        save.bytes += playlistDisplayName(entry.name).toUtf8();
        save.bytes += '\n';
        save.bytes += path.toUtf8();
        save.bytes += '\n';
    }
    return save;
}

M3uWrite writeM3u8File(const PlaylistModel& playlist, const QString& path) {
    const M3uSave save = m3u8Bytes(playlist, QDir::currentPath());
    return {!path.isEmpty() && replaceRegularFile(path, save.bytes), save.skipped};
}

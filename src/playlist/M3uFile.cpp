#include "playlist/M3uFile.h"
#include "platform/RegularFile.h"
#include "platform/TextDecoding.h"
#include "playlist/LineCursor.h"
#include "playlist/PlaylistFields.h"
#include "playlist/PlaylistKinds.h"
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <optional>

namespace {
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr QByteArrayView kExtInf("#EXTINF:");
constexpr QByteArrayView kHeader("#EXTM3U\n");
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

// "." and ".." are taken out as written: the folder given holds no links
// (readM3uFile passes the playlist's real folder), so that is where they lead.
QString inFolder(const QString& folder, const QString& relative) {
    return QDir::cleanPath(folder + u'/' + relative);
}

QByteArrayView trimBlanks(QByteArrayView line) {
    while (!line.isEmpty() && (line.front() == ' ' || line.front() == '\t'))
        line = line.sliced(1);
    while (!line.isEmpty() && (line.back() == ' ' || line.back() == '\t'))
        line.chop(1);
    return line;
}

// The paths a path line may name, best first: a file URL's local path (none for any other URL), or the
// path as written, then, for a relative one holding "\" (playlists made on Windows), with "/" for "\".
template <typename Decode>
QStringList pathsOfLine(QByteArrayView line, const QString& folder, const Decode& decode) {
    if (line.isEmpty())
        return {};
    if (isUrl(line)) {
        std::optional<QString> local = pathFromFileUrl(line);
        return local ? QStringList{std::move(*local)} : QStringList{};
    }
    const QString path = decode(line);
    if (path.startsWith(u'/'))
        return {path};
    QStringList paths{inFolder(folder, path)};
    if (path.contains(u'\\'))
        paths << inFolder(folder, QString(path).replace(u'\\', u'/'));
    return paths;
}

QString fileNameOf(const QString& path) {
    return path.mid(path.lastIndexOf(u'/') + 1);
}
} // namespace

PlaylistReadResult readM3u(QByteArrayView bytes, M3uText text, const QString& folder,
                           const PlaylistPathFilter& take, PlaylistRoom room) {
    if (bytes.startsWith(kUtf8Bom))
        bytes = bytes.sliced(kUtf8Bom.size());
    // The decoder of a line's fields: an M3U8 is UTF-8; in an M3U each line is UTF-8 when it is valid UTF-8,
    // else Windows-1252.
    const auto decoderFor = [text](QByteArrayView line) {
        return [utf8 = text == M3uText::Utf8 || isValidUtf8(line)](QByteArrayView field) {
            return utf8 ? fromUtf8Field(field) : fromWindows1252(field);
        };
    };
    const auto taken = [&take](const QString& path) {
        return !take || take(path, {});
    };

    PlaylistReadResult result;
    std::optional<ExtInf> info; // the #EXTINF line waiting for its entry
    LineCursor lines(bytes);
    while (!lines.atEnd()) {
        const QByteArrayView line = lines.next();
        if (trimBlanks(line).isEmpty())
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
        // Blanks or tabs around a path are taken off only when the line as written names nothing.
        const auto decode = decoderFor(line);
        QStringList paths = pathsOfLine(line, folder, decode);
        if (!paths.isEmpty() && paths.front().size() > kMaxEntryPathUnits) {
            result.status = PlaylistReadStatus::LineTooLong;
            return result;
        }
        if (const QByteArrayView trimmed = trimBlanks(line); trimmed.size() != line.size())
            paths += pathsOfLine(trimmed, folder, decode);
        const auto found = std::find_if(paths.begin(), paths.end(), taken);
        if (found == paths.end()) {
            ++result.skipped; // a stream, a URL naming no file here, or a path the filter turns down
            continue;
        }
        QString path = std::move(*found);
        QString name;
        if (entryInfo && !entryInfo->title.isEmpty())
            name = decoderFor(entryInfo->title)(
                entryInfo->title.first(std::min(entryInfo->title.size(), kMaxEntryNameBytes)));
        if (name.trimmed().isEmpty()) // a title of blanks is no title
            name = fileNameOf(path);
        if (name.isEmpty())
            name = path; // a path ending in "/": no entry goes without a name
        name = playlistDisplayName(cutToNameLimit(std::move(name)));
        const qint64 lineBytes = playlistLineBytes(name, path);
        if (!room.take(lineBytes)) {
            result.status = PlaylistReadStatus::PlaylistFull;
            return result;
        }
        result.lineBytes += lineBytes;
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

QByteArray m3u8Bytes(const PlaylistModel& playlist, const QString& baseFolder) {
    QByteArray bytes = kHeader.toByteArray();
    const QDir base(baseFolder);
    for (const PlaylistEntry& entry : playlist.entries()) {
        if (entry.name.isEmpty() || entry.path.isEmpty())
            continue;
        const QString path = entry.path.startsWith(u'/') ? entry.path : base.absoluteFilePath(entry.path);
        bytes += kExtInf;
        bytes += QByteArray::number(entry.seconds >= 0 ? entry.seconds : -1);
        bytes += ',';
        bytes += playlistDisplayName(entry.name).toUtf8();
        bytes += '\n';
        // A path holding a line break goes as a file:// URL, as in a .KVPL (it is absolute, so one can
        // always be made); any other as it stands.
        const QByteArray plain = path.toUtf8();
        bytes += plain.contains('\r') || plain.contains('\n') ? pathFieldBytes(path).value_or(plain) : plain;
        bytes += '\n';
    }
    return bytes;
}

bool writeM3u8File(const PlaylistModel& playlist, const QString& path) {
    return !path.isEmpty() && replaceRegularFile(path, m3u8Bytes(playlist, QDir::currentPath()));
}

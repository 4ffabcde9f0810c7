#include "tags/TrackInfo.h"
#include "browser/FileFunctions.h"
#include "tags/clsID3.h"
#include <QStringList>

namespace {
QString labelled(const char* label, const QString& value) {
    return QLatin1String(label) + QLatin1Char('\t') + value;
}
} // namespace

QString BuildTrackInfo(const QString& path, const QString& displayName) {
    clsID3 tag;
    try {
        tag.setFilename(path);
    } catch (const TagFileError&) {
        // An unreadable file is a file without a tag to the sheet.
    }
    QStringList lines;
    if (tag.TagFound()) {
        lines << QStringLiteral("MP3 Info:") << QString() << labelled("Title:", tag.Title())
              << labelled("Artist:", tag.Artist()) << labelled("Album:", tag.Album())
              << labelled("Year:", tag.Year()) << labelled("Genre:", QString::number(tag.Genre()))
              << labelled("Comment:", tag.Comment());
    } else {
        lines << QStringLiteral("No MP3 Info Available!") << QString() << labelled("FileName:", displayName)
              << labelled("FileType:", displayName.right(4)) << labelled("FileSize:", FileSize(path));
    }
    lines << sLongName(path);
    return lines.join(QStringLiteral("\r\n"));
}

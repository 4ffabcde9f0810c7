#include "browser/DroppedPaths.h"
#include <QFile>

QStringList droppedLocalPaths(const QList<QUrl>& urls) {
    QStringList paths;
    for (const QUrl& url : urls) {
        if (!url.isLocalFile())
            continue;
        // The URL keeps the bytes it was given; the decoded text loses those
        // that are not UTF-8.
        const QByteArray bytes = QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
        if (QFile::encodeName(url.path(QUrl::FullyDecoded)) != bytes)
            continue;
        paths << url.toLocalFile();
    }
    return paths;
}

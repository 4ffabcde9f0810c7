#include "browser/FileFunctions.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <sys/statvfs.h>

namespace {

constexpr double kNominalDeviceBytes = 125'000'000.0;
constexpr double kMinimumBarTop = 2.0;

bool isSeparator(QChar c) {
    return c == u'/' || c == u'\\';
}

qsizetype lastSeparator(const QString& path) {
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

// The name of the path's last component as the directory holds it, or
// nothing when no such entry is there. A dangling symbolic link is still an
// entry of its folder, so it counts as found.
std::optional<QString> entryName(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return std::nullopt;
    return info.fileName();
}

} // namespace

QString FileSize(const QString& file) {
    if (file.isEmpty())
        return {};
    const QFileInfo info(file);
    if (!info.isFile() || !info.isReadable())
        return {};
    return QString::number(info.size());
}

double GetFreeSpaceOnDisk(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path))
        return 0;
    // What QStorageInfo::bytesAvailable() gives, without reading the whole mount table: the transfer to
    // the device asks before and after every file.
    struct statvfs volume {};
    if (::statvfs(QFile::encodeName(path).constData(), &volume) != 0)
        return 0;
    return static_cast<double>(volume.f_bavail) * static_cast<double>(volume.f_frsize);
}

QString sLongName(const QString& shortName) {
    if (shortName.isEmpty())
        return {};
    QString work = shortName;
    QString trailing;
    if (isSeparator(work.back())) {
        trailing = work.back();
        work.chop(1);
    }
    if (work.isEmpty()) // the root alone
        return shortName;

    // Look-ups go through "/" only: on this system "\" is an ordinary name
    // character, but paths handed to us may have been written with it.
    QString rest = work;
    rest.replace(u'\\', u'/');
    if (lastSeparator(rest) < 0) {
        const std::optional<QString> name = entryName(rest);
        return name ? *name + trailing : shortName;
    }
    if (!entryName(rest))
        return shortName;

    QStringList components;
    for (qsizetype cut = rest.lastIndexOf(u'/'); cut >= 0; cut = rest.lastIndexOf(u'/')) {
        // An empty component (a doubled separator) is kept as it was written.
        const QString lastComponent = rest.mid(cut + 1);
        const std::optional<QString> name = lastComponent.isEmpty() ? lastComponent : entryName(rest);
        if (name)
            components.prepend(*name);
        rest.truncate(cut);
    }
    components.prepend(rest); // what is left before the first separator: "" for an absolute path
    return components.join(u'/') + trailing;
}

double freeSpaceBarTop(double boxHeight, double freeBytes) {
    double y = boxHeight * freeBytes / kNominalDeviceBytes;
    if (y < kMinimumBarTop)
        y = kMinimumBarTop;
    return static_cast<float>(y);
}

QString shortPath(const QString& fullPath) {
    if (fullPath.isEmpty() || fullPath.contains(QChar(0)))
        return {};
    const QFileInfo info(fullPath);
    if (!info.exists())
        return {};
    return QDir::cleanPath(info.absoluteFilePath());
}

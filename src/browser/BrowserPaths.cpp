#include "browser/BrowserPaths.h"
#include <QFileInfo>
#include <algorithm>

namespace {

bool windowsPath(const QString& path) {
    return !path.startsWith(u'/');
}

bool endsWithSeparator(const QString& path) {
    return !path.isEmpty() && (path.back() == u'/' || (path.back() == u'\\' && windowsPath(path)));
}

qsizetype lastSeparator(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    return windowsPath(path) ? std::max(slash, path.lastIndexOf(u'\\')) : slash;
}

} // namespace

QString cutBackOneFolder(const QString& path) {
    const bool belowSlashRoot = path.size() > 1 && path.front() == u'/';
    if (path.size() < 4 && !belowSlashRoot)
        return path;
    const qsizetype cut = lastSeparator(path);
    if (cut < 0)
        return path;
    QString up = path.left(cut);
    if (up.isEmpty())
        return QStringLiteral("/");
    if (up.size() == 2 && up.back() == u':')
        up += u'\\';
    return up;
}

QString folderUp(const QString& path) {
    const QString up = cutBackOneFolder(path);
    return QFileInfo(up).isDir() ? up : path;
}

QString browserFilePath(const QString& folder, const QString& name) {
    if (endsWithSeparator(folder))
        return folder + name;
    return folder + u'/' + name;
}

QString lastComponent(const QString& path) {
    return path.mid(lastSeparator(path) + 1);
}

QString containingFolder(const QString& path) {
    const qsizetype cut = lastSeparator(path);
    if (cut < 0)
        return QStringLiteral("/");
    QString folder = path.left(cut);
    if (folder.isEmpty())
        return QStringLiteral("/");
    if (folder.size() == 2 && folder.back() == u':')
        folder += path.at(cut);
    return folder;
}

std::optional<QString> presetFolderOf(const QString& chosenFile) {
    if (lastSeparator(chosenFile) < 0)
        return std::nullopt;
    return containingFolder(chosenFile);
}

#include "playlist/KeepPrevious.h"
#include "platform/RegularFile.h"
#include "playlist/PlaylistFile.h"
#include <QFile>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

QString previousFilePath(const QString& path) {
    return path + QStringLiteral(".previous");
}

bool keepPreviousFile(const QString& path) {
    if (!isRegularFile(path))
        return false;
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(previousFilePath(path));
    // The second name is made under a name of its own and renamed into
    // place, so an older kept file is replaced in one step.
    const QByteArray linked = to + '.' + QByteArray::number(::getpid());
    ::unlink(linked.constData());
    bool kept;
    if (::linkat(AT_FDCWD, from.constData(), AT_FDCWD, linked.constData(), AT_SYMLINK_FOLLOW) == 0) {
        kept = std::rename(linked.constData(), to.constData()) == 0;
        if (!kept)
            ::unlink(linked.constData());
    } else {
        kept = std::rename(from.constData(), to.constData()) == 0;
    }
    if (kept)
        syncFolderOf(path);
    return kept;
}

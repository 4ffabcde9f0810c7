#include "platform/FolderSync.h"
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <unistd.h>

bool syncFolderOf(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

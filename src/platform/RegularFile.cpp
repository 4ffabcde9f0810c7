#include "platform/RegularFile.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool usablePath(const QString& path) {
    return !path.isEmpty() && !path.contains(QChar(0));
}
} // namespace

FileRead readRegularFile(const QString& path, qint64 maxBytes, bool prefix) {
    FileRead result;
    if (!usablePath(path))
        return result;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            result.status = FileReadStatus::Missing;
        return result;
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        result.status = FileReadStatus::NotRegular;
        ::close(fd);
        return result;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return result;
    }
    // Read up to one byte past the limit: a file that grows while we read can
    // never make us hold more than that.
    QByteArray bytes(std::clamp<qint64>(info.st_size, 0, maxBytes) + 1, Qt::Uninitialized);
    qsizetype had = 0;
    for (;;) {
        if (had == bytes.size())
            bytes.resize(qMin<qint64>(2 * bytes.size(), maxBytes + 1));
        const qint64 got = file.read(bytes.data() + had, bytes.size() - had);
        if (got < 0)
            return result;
        had += got;
        if (had > maxBytes && prefix) {
            had = maxBytes;
            break;
        }
        if (had > maxBytes) {
            result.status = FileReadStatus::TooLarge;
            return result;
        }
        if (got == 0)
            break;
    }
    bytes.truncate(had);
    result.bytes = std::move(bytes);
    result.status = FileReadStatus::Read;
    return result;
}

bool isRegularOrMissing(const QString& path) {
    if (!usablePath(path))
        return false;
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return S_ISREG(info.st_mode);
    return errno == ENOENT;
}

bool replaceRegularFile(const QString& path, QByteArrayView bytes) {
    if (!isRegularOrMissing(path))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // Flush before committing: an error in the last buffered write (a full
    // disk) would otherwise go unnoticed and the short file replace the old.
    if (file.write(bytes.data(), bytes.size()) != bytes.size() || !file.flush()) {
        file.cancelWriting();
        file.commit(); // discards the temporary file
        return false;
    }
    if (!file.commit()) // flushes the file to disk, then renames it
        return false;
    return syncFolderOf(QFileInfo(path).canonicalFilePath());
}

bool syncFolderOf(const QString& path) {
    return !path.isEmpty() && syncFolder(QFileInfo(path).absolutePath());
}

bool syncFolder(const QString& folder) {
    if (!usablePath(folder))
        return false;
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

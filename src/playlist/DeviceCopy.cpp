#include "playlist/DeviceCopy.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Copies from the current position of `in` to its end onto `out`. The kernel copies it when it can (as cp
// does), without passing every byte through this process; when it cannot (another file system, an old
// kernel) or a file system says it copied nothing, the rest goes through a buffer small enough to stay in
// the processor's cache.
bool copyContents(int in, int out, const std::atomic<bool>* stop) {
    const auto stopped = [stop] {
        return stop && stop->load(std::memory_order_relaxed);
    };
    for (;;) {
        if (stopped())
            return false;
        // In steps small enough that a stop is seen soon, large enough to cost nothing.
        const ssize_t copied = ::copy_file_range(in, nullptr, out, nullptr, 8 << 20, 0);
        if (copied > 0)
            continue;
        if (copied < 0 && errno == EINTR)
            continue;
        break; // an error here left both positions as they were: the buffer takes over
    }
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        if (stopped())
            return false;
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(out, buffer.data() + done, static_cast<size_t>(got - done));
            if (put > 0)
                done += put;
            else if (put == 0 || errno != EINTR)
                return false;
        }
    }
}

} // namespace

QString copyIntoFolder(const QString& source, const QString& folder, const QString& fileName,
                       const std::atomic<bool>* stop, bool* replaced) {
    const auto failure = [](int error) {
        return QString::fromLocal8Bit(std::strerror(error));
    };
    struct Closing {
        int fd;
        ~Closing() {
            if (fd >= 0)
                ::close(fd);
        }
    };
    const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const Closing closeIn{in};
    if (in < 0)
        return failure(errno);
    struct stat from, to;
    if (::fstat(in, &from) != 0)
        return failure(errno);
    if (!S_ISREG(from.st_mode))
        return failure(S_ISDIR(from.st_mode) ? EISDIR : EINVAL);
    const QString target = QDir(folder).filePath(fileName);
    const QByteArray targetName = QFile::encodeName(target);
    // A file that already is the destination (the device folder in the list) is left as it is.
    if (::stat(targetName.constData(), &to) == 0 && to.st_dev == from.st_dev && to.st_ino == from.st_ino)
        return {};
    const bool replacing = ::lstat(targetName.constData(), &to) == 0;
    QByteArray part;
    int out = -1;
    for (int attempt = 0; attempt < 20 && out < 0; ++attempt) {
        part = QFile::encodeName(
            QDir(folder).filePath(QStringLiteral(".kivo-%1.part")
                                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        out = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (out < 0 && errno != EEXIST)
            return failure(errno);
    }
    if (out < 0)
        return failure(EEXIST);
    bool ok = copyContents(in, out, stop);
    int error = errno;
    // A file about to be replaced is only given up for a copy that is on the device.
    if (ok && replacing && ::fdatasync(out) != 0)
        ok = false, error = errno;
    if (::close(out) != 0 && ok)
        ok = false, error = errno;
    // rename() replaces an existing destination in one step.
    if (ok && std::rename(part.constData(), targetName.constData()) == 0) {
        if (replaced)
            *replaced = replacing;
        return {};
    }
    if (ok)
        error = errno;
    ::unlink(part.constData());
    if (stop && stop->load())
        return QStringLiteral("the transfer was stopped");
    return failure(error);
}

void syncFileSystemOf(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::syncfs(fd);
    ::close(fd);
}

void removeStaleCopies(const QString& folder) {
    static const QRegularExpression partName(QStringLiteral("^\\.kivo-[0-9a-f]{8}\\.part$"));
    const QDateTime written = QDateTime::currentDateTime().addSecs(-60);
    const QFileInfoList parts = QDir(folder).entryInfoList(
        {QStringLiteral(".kivo-*.part")}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
    for (const QFileInfo& part : parts)
        if (partName.match(part.fileName()).hasMatch() && part.lastModified() < written)
            QFile::remove(part.filePath());
}

#include "playlist/DeviceCopy.h"
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
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
                       const std::atomic<bool>* stop) {
    QFile in(source);
    if (!QFileInfo(source).isFile() || !in.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 could not be read").arg(source);
    const QString target = QDir(folder).filePath(fileName);
    QFile out;
    for (int attempt = 0; attempt < 20 && !out.isOpen(); ++attempt) {
        out.setFileName(
            QDir(folder).filePath(QStringLiteral(".kivo-%1.part")
                                      .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))));
        out.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    }
    if (!out.isOpen())
        return QStringLiteral("%1 could not be written in %2").arg(fileName, folder);
    bool ok = copyContents(in.handle(), out.handle(), stop);
    // A file about to be replaced is only given up for a copy that is on the device.
    if (ok && QFileInfo::exists(target))
        ok = ::fdatasync(out.handle()) == 0;
    out.close();
    ok = ok && out.error() == QFileDevice::NoError;
    // rename() replaces an existing destination in one step.
    if (ok && std::rename(QFile::encodeName(out.fileName()).constData(),
                          QFile::encodeName(target).constData()) == 0)
        return {};
    QFile::remove(out.fileName());
    return QStringLiteral("%1 could not be copied to %2").arg(QFileInfo(source).fileName(), folder);
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

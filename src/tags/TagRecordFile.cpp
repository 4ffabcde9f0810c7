#include "tags/TagRecordFile.h"
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

TagFileError::TagFileError(const QString& path, const QString& reason)
    : std::runtime_error((path + QStringLiteral(": ") + reason).toStdString()), path_(path), reason_(reason) {
}

bool startsWithTag(const TagRecord& record) {
    return std::memcmp(record.data(), "TAG", 3) == 0;
}

namespace {

// Closes the descriptor when the scope ends, however it ends.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, so that an error the close reports (a delayed write error)
    // is not lost.
    int close() { return ::close(std::exchange(fd_, -1)); }

private:
    int fd_;
};

[[noreturn]] void fail(const QString& path, int error) {
    throw TagFileError(path, QString::fromLocal8Bit(std::strerror(error)));
}

// Waits for nobody: a lock another program holds is an error at once.
void lockExclusively(int fd, const QString& path) {
    int result;
    while ((result = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
    }
    if (result != 0 && errno == EWOULDBLOCK)
        throw TagFileError(path, kTagFileLocked);
    if (result != 0)
        fail(path, errno);
}

bool usable(const QString& path) {
    return !path.isEmpty() && !path.contains(QChar(0));
}

// Opens without blocking: a pipe or device at the path never holds us up.
int openFile(const QString& path, int mode) {
    if (!usable(path))
        return -1;
    return ::open(QFile::encodeName(path).constData(), mode | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

bool isMissing(int error) {
    return error == ENOENT || error == ENOTDIR;
}

// Reads a whole record at the offset.
void readAt(int fd, TagRecord& record, off_t offset, const QString& path) {
    ssize_t had = 0;
    while (had < kTagRecordSize) {
        const ssize_t got = ::pread(fd, record.data() + had, kTagRecordSize - had, offset + had);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(path, errno);
        if (got == 0)
            fail(path, EIO); // the file shrank under us
        had += got;
    }
}

// Whether the open file is a regular file longer than a record whose last
// record begins with "TAG" (Written), and where that record starts.
TagWriteStatus findTag(int fd, const QString& path, off_t& offset) {
    struct stat info;
    if (::fstat(fd, &info) != 0)
        fail(path, errno);
    if (!S_ISREG(info.st_mode))
        return TagWriteStatus::Missing;
    if (info.st_size <= kTagRecordSize)
        return TagWriteStatus::TooShort;
    TagRecord found;
    readAt(fd, found, info.st_size - kTagRecordSize, path);
    if (!startsWithTag(found))
        return TagWriteStatus::NoTag;
    offset = info.st_size - kTagRecordSize;
    return TagWriteStatus::Written;
}
} // namespace

TailStatus readTagRecord(const QString& path, TagRecord& record) {
    Descriptor file(openFile(path, O_RDONLY));
    if (file.get() < 0) {
        if (!usable(path) || isMissing(errno))
            return TailStatus::Missing;
        fail(path, errno);
    }
    struct stat info;
    if (::fstat(file.get(), &info) != 0)
        fail(path, errno);
    if (!S_ISREG(info.st_mode))
        return TailStatus::Missing;
    if (info.st_size < kTagRecordSize)
        return TailStatus::TooShort;
    readAt(file.get(), record, info.st_size - kTagRecordSize, path);
    return TailStatus::Read;
}

TagWriteStatus writeTagRecord(const QString& path, const TagRecord& record) {
    Descriptor file(openFile(path, O_RDWR));
    if (file.get() < 0) {
        const int writeError = errno;
        if (!usable(path) || isMissing(writeError))
            return TagWriteStatus::Missing;
        // A file we may not write is passed over quietly when it has no tag,
        // as a writable one would be; only one with a tag is an error.
        Descriptor reader(openFile(path, O_RDONLY));
        if (reader.get() < 0)
            fail(path, writeError);
        off_t ignored = 0;
        const TagWriteStatus found = findTag(reader.get(), path, ignored);
        if (found != TagWriteStatus::Written)
            return found;
        fail(path, writeError);
    }
    lockExclusively(file.get(), path); // released when the file is closed
    off_t offset = 0;
    const TagWriteStatus found = findTag(file.get(), path, offset);
    if (found != TagWriteStatus::Written)
        return found;
    ssize_t done = 0;
    while (done < kTagRecordSize) {
        const ssize_t put = ::pwrite(file.get(), record.data() + done, kTagRecordSize - done, offset + done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            fail(path, put < 0 ? errno : EIO);
        done += put;
    }
    if (file.close() != 0)
        fail(path, errno);
    return TagWriteStatus::Written;
}

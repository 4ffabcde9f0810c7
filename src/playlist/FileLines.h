#pragma once
#include "platform/RegularFile.h"
#include "playlist/LineCursor.h"
#include <QByteArray>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The lines of a regular file of at most maxBytes (split as LineCursor splits
// them), read a piece at a time: a playlist of a million entries is read
// without holding its whole file. A leading UTF-8 byte order mark is left out.
// Opening does not block, so a pipe at the path never hangs the reader.
// In the header: the playlist readers are also built alone into test tools.
class FileLines {
public:
    FileLines(const QString& path, qint64 maxBytes) : maxBytes_(maxBytes) {
        if (path.isEmpty() || path.contains(QChar(0)))
            return;
        fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        struct stat info;
        if (fd_ < 0)
            status_ = errno == ENOENT ? FileReadStatus::Missing : FileReadStatus::Failed;
        else if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode))
            status_ = FileReadStatus::NotRegular;
        else
            status_ = info.st_size > maxBytes ? FileReadStatus::TooLarge : FileReadStatus::Read;
        if (status_ == FileReadStatus::Read)
            size_ = info.st_size;
    }
    ~FileLines() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileLines(const FileLines&) = delete;
    FileLines& operator=(const FileLines&) = delete;

    // Read while nothing failed; a file that grows past the bound is TooLarge.
    FileReadStatus status() const { return status_; }
    qint64 size() const { return size_; } // when opened

    // Calls each(line) from the first line on until it returns false or the
    // lines end; false when the file could not be read (status() says why).
    template <typename Each> bool forEach(Each&& each) {
        if (status_ != FileReadStatus::Read || ::lseek(fd_, 0, SEEK_SET) != 0)
            return fail(status_ == FileReadStatus::Read ? FileReadStatus::Failed : status_);
        QByteArray buffer;
        buffer.reserve(2 * kPiece);
        qsizetype start = 0;
        qint64 total = 0;
        bool end = false;
        for (;;) {
            for (;;) {
                const QByteArrayView rest = QByteArrayView(buffer).sliced(start);
                if (rest.isEmpty())
                    break;
                LineCursor lines(rest);
                const QByteArrayView line = lines.next();
                const qsizetype used = lines.position();
                // Unended, or a CR that an LF may follow: wait for more bytes.
                if (!end && (used == line.size() || (used == rest.size() && rest.back() == '\r')))
                    break;
                start += used;
                if (!each(line))
                    return true;
            }
            if (end)
                return true;
            // The unread rest to the front: the buffer is kept, not made anew.
            const qsizetype had = buffer.size() - start;
            if (start > 0)
                std::memmove(buffer.data(), buffer.constData() + start, had);
            start = 0;
            buffer.resize(had + kPiece);
            qsizetype got = 0;
            while (got < kPiece) {
                const ssize_t n = ::read(fd_, buffer.data() + had + got, kPiece - got);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n < 0)
                    return fail(FileReadStatus::Failed);
                if (n == 0) {
                    end = true;
                    break;
                }
                got += n;
            }
            buffer.resize(had + got);
            if ((total += got) > maxBytes_)
                return fail(FileReadStatus::TooLarge);
            if (total == got && buffer.startsWith("\xEF\xBB\xBF"))
                start = 3;
        }
    }

private:
    static constexpr qsizetype kPiece = 1 << 20;
    bool fail(FileReadStatus status) {
        status_ = status;
        return false;
    }
    qint64 maxBytes_;
    qint64 size_ = 0;
    int fd_ = -1;
    FileReadStatus status_ = FileReadStatus::Failed;
};

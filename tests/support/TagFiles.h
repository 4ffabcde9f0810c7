#pragma once
#include <QByteArray>
#include <QFile>
#include <QString>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

// The fields of an ID3v1 record as raw bytes: each is cut or NUL-padded to
// its width, so a test can put blanks, NULs and any byte where it wants.
struct TagBytes {
    QByteArray title{}, artist{}, album{}, year{}, comment{};
    unsigned char genre = 0;

    QByteArray record() const {
        QByteArray r("TAG");
        for (const auto& [field, width] :
             {std::pair{title, 30}, {artist, 30}, {album, 30}, {year, 4}, {comment, 30}}) {
            QByteArray f = field.left(width);
            f.append(QByteArray(width - f.size(), '\0'));
            r += f;
        }
        r += char(genre);
        return r;
    }
};

// Bytes standing for audio: no run of them looks like a tag.
inline QByteArray audioBytes(int size) {
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + 1) % 251);
    return bytes;
}

// Makes a file unwritable for as long as the guard lives, also for root (who
// ignores permissions): as root the file is made immutable. `active` is
// false when that is not possible here.
class WriteProtection {
public:
    explicit WriteProtection(const QString& path) : path_(path) {
        if (::geteuid() != 0) {
            active = QFile::setPermissions(path, QFileDevice::ReadOwner);
            return;
        }
        active = setImmutable(true);
    }
    ~WriteProtection() {
        if (!active)
            return;
        if (::geteuid() != 0)
            QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        else
            setImmutable(false);
    }
    WriteProtection(const WriteProtection&) = delete;
    WriteProtection& operator=(const WriteProtection&) = delete;
    bool active = false;

private:
    bool setImmutable(bool on) {
        const int fd = ::open(QFile::encodeName(path_).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(fd);
        return done;
    }
    QString path_;
};

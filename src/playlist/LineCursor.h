#pragma once
#include <QByteArrayView>
#include <cstring>

// Walks the lines of a text file's bytes as the playlist readers see them: a
// line ends at CR LF, CR or a lone LF (files written on Linux), and the
// returned line holds neither.
class LineCursor {
public:
    explicit LineCursor(QByteArrayView bytes) : bytes_(bytes) {}
    bool atEnd() const { return pos_ >= bytes_.size(); }
    qsizetype position() const { return pos_; }
    QByteArrayView next() {
        const char* start = bytes_.data() + pos_;
        const char* end = bytes_.data() + bytes_.size();
        // memchr finds the LF ending a line fast, then the CR before it if
        // any. Only within a window, so that a file of CR line ends is not
        // searched to its end for every line: past it, byte by byte.
        const char* window = end - start > kWindow ? start + kWindow : end;
        const char* p = static_cast<const char*>(std::memchr(start, '\n', window - start));
        if (p) {
            if (const void* cr = std::memchr(start, '\r', p - start))
                p = static_cast<const char*>(cr);
        } else {
            p = start;
            while (p < end && *p != '\r' && *p != '\n')
                ++p;
        }
        const qsizetype length = p - start;
        pos_ += length;
        if (p < end) {
            ++pos_;
            if (*p == '\r' && pos_ < bytes_.size() && bytes_[pos_] == '\n')
                ++pos_;
        }
        return {start, length};
    }

private:
    static constexpr qsizetype kWindow = 512;
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

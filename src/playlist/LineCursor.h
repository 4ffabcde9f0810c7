#pragma once
#include <QByteArrayView>

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
        const char* p = start;
        while (p < end && *p != '\r' && *p != '\n')
            ++p;
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
    QByteArrayView bytes_;
    qsizetype pos_ = 0;
};

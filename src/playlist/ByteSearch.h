#pragma once
#include <QByteArrayView>
#include <cstring>
#include <string.h> // memrchr

// The C library's searches for one byte, called straight: they run several
// times a line of a long playlist load, where Qt's general searches cost
// more than the search itself. Each returns where the byte is, or -1.
inline qsizetype indexOfByte(QByteArrayView bytes, char c) {
    const void* at = bytes.isEmpty() ? nullptr : std::memchr(bytes.data(), c, bytes.size());
    return at ? static_cast<const char*>(at) - bytes.data() : -1;
}

inline qsizetype lastIndexOfByte(QByteArrayView bytes, char c) {
    const void* at = bytes.isEmpty() ? nullptr : ::memrchr(bytes.data(), c, bytes.size());
    return at ? static_cast<const char*>(at) - bytes.data() : -1;
}

#pragma once
#include "playlist/ByteSearch.h"
#include "playlist/TextView.h"
#include <QStringView>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

// An entry's name and path (and its length in seconds, when known) in one
// heap block: a byte a unit when every unit of both is below 0x100 (Latin-1,
// exact), otherwise the UTF-16 units as they are, so any text comes back
// unchanged. The name is left out when it is the path's file name, as it
// nearly always is, and found in the path instead.
class EntryText {
public:
    EntryText() = default;
    EntryText(TextView name, TextView path, int seconds = -1);
    EntryText(const EntryText& other);
    EntryText& operator=(const EntryText& other);
    EntryText(EntryText&&) noexcept = default;
    EntryText& operator=(EntryText&&) noexcept = default;

    TextView name() const;
    TextView path() const;
    int seconds() const; // -1: unknown

private:
    struct Free {
        void operator()(quint32* block) const { std::free(block); }
    };
    // Header word: path units, then the flags below; the name's units follow
    // when the name is kept, then the seconds when known. Then the path's
    // units, then the name's.
    static constexpr quint32 kTimed = 1u << 29;
    static constexpr quint32 kWide = 1u << 30;
    static constexpr quint32 kNamed = 1u << 31;
    static constexpr quint32 kUnits = kTimed - 1;
    std::size_t headerBytes() const;
    std::size_t blockBytes() const;
    const char* units() const;
    std::unique_ptr<quint32, Free> block_;
};

// Kept in the header: the playlist readers are built alone into test tools.

namespace entry_text {
inline bool latin1(TextView text) {
    if (!text.wide)
        return true;
    char16_t any = 0;
    for (const QChar c : QStringView(static_cast<const char16_t*>(text.data), text.size))
        any |= c.unicode();
    return any < 0x100;
}

// Writes the text's units, a byte or two each, and returns where they end.
inline char* putUnits(char* to, TextView text, bool wide) {
    if (wide == text.wide) {
        if (text.size > 0)
            std::memcpy(to, text.data, (wide ? 2 : 1) * text.size);
        return to + (wide ? 2 : 1) * text.size;
    }
    // Plain loops over the units, which the compiler turns into vector code.
    if (wide) {
        const auto* from = static_cast<const uchar*>(text.data);
        for (qsizetype i = 0; i < text.size; ++i) {
            const char16_t u = from[i];
            std::memcpy(to + 2 * i, &u, 2);
        }
        return to + 2 * text.size;
    }
    const auto* from = static_cast<const char16_t*>(text.data);
    for (qsizetype i = 0; i < text.size; ++i)
        to[i] = static_cast<char>(from[i]);
    return to + text.size;
}

// The file name follows the last "/": searched from the end, as it is short.
inline QLatin1StringView fileName(QLatin1StringView path) {
    return path.sliced(lastIndexOfByte(QByteArrayView(path.data(), path.size()), '/') + 1);
}
inline QStringView fileName(QStringView path) {
    for (qsizetype i = path.size(); i-- > 0;) {
        if (path[i] == u'/')
            return path.sliced(i + 1);
    }
    return path;
}

inline bool isFileName(TextView name, TextView path) {
    return name.visit([&path](auto n) { return path.visit([&n](auto p) { return n == fileName(p); }); });
}
} // namespace entry_text

inline EntryText::EntryText(TextView name, TextView path, int seconds) {
    const bool named = !entry_text::isFileName(name, path);
    const qsizetype nameUnits = named ? name.size : 0;
    if (path.size > qsizetype(kUnits) || nameUnits > qsizetype(kUnits))
        throw std::length_error("entry text too long");
    const bool wide = !entry_text::latin1(path) || (named && !entry_text::latin1(name));
    const bool timed = seconds != -1;
    const std::size_t header = 4 + (named ? 4 : 0) + (timed ? 4 : 0);
    auto* block = static_cast<quint32*>(std::malloc(header + (wide ? 2 : 1) * (path.size + nameUnits)));
    if (!block)
        throw std::bad_alloc();
    block_.reset(block);
    block[0] = quint32(path.size) | (wide ? kWide : 0) | (named ? kNamed : 0) | (timed ? kTimed : 0);
    if (named)
        block[1] = quint32(nameUnits);
    if (timed)
        block[named ? 2 : 1] = quint32(seconds);
    char* to = entry_text::putUnits(reinterpret_cast<char*>(block) + header, path, wide);
    if (named)
        entry_text::putUnits(to, name, wide);
}

inline EntryText::EntryText(const EntryText& other) {
    *this = other;
}

inline EntryText& EntryText::operator=(const EntryText& other) {
    if (this == &other)
        return *this;
    if (!other.block_) {
        block_.reset();
        return *this;
    }
    const std::size_t bytes = other.blockBytes();
    auto* block = static_cast<quint32*>(std::malloc(bytes));
    if (!block)
        throw std::bad_alloc();
    std::memcpy(block, other.block_.get(), bytes);
    block_.reset(block);
    return *this;
}

inline std::size_t EntryText::blockBytes() const {
    const quint32 head = block_.get()[0];
    const std::size_t units = (head & kUnits) + (head & kNamed ? block_.get()[1] : 0);
    return headerBytes() + units * (head & kWide ? 2 : 1);
}

inline std::size_t EntryText::headerBytes() const {
    const quint32 head = block_.get()[0];
    return 4 + (head & kNamed ? 4 : 0) + (head & kTimed ? 4 : 0);
}

inline const char* EntryText::units() const {
    return reinterpret_cast<const char*>(block_.get()) + headerBytes();
}

inline int EntryText::seconds() const {
    if (!block_ || !(block_.get()[0] & kTimed))
        return -1;
    return int(block_.get()[block_.get()[0] & kNamed ? 2 : 1]);
}

inline TextView EntryText::path() const {
    if (!block_)
        return {};
    const quint32 head = block_.get()[0];
    const qsizetype size = head & kUnits;
    if (head & kWide)
        return QStringView(reinterpret_cast<const char16_t*>(units()), size);
    return QLatin1StringView(units(), size);
}

inline TextView EntryText::name() const {
    const TextView path = this->path();
    if (!block_ || !(block_.get()[0] & kNamed))
        return path.visit([](auto text) { return TextView(entry_text::fileName(text)); });
    const qsizetype size = block_.get()[1];
    const char* name = units() + path.size * (path.wide ? 2 : 1);
    if (path.wide)
        return QStringView(reinterpret_cast<const char16_t*>(name), size);
    return QLatin1StringView(name, size);
}

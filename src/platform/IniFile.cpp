#include "platform/IniFile.h"
#include "platform/TextDecoding.h"
#include <algorithm>

namespace {
constexpr QByteArrayView kUtf8Bom("\xEF\xBB\xBF");
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool isHexDigit(QChar ch) {
    return (ch >= QLatin1Char('0') && ch <= QLatin1Char('9')) ||
           (ch >= QLatin1Char('a') && ch <= QLatin1Char('f')) ||
           (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'));
}

bool holdsLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}
} // namespace

IniFile::IniFile(QByteArrayView bytes) {
    // The line ends are shared, not one copy per line.
    static const QByteArray kEnds[] = {QByteArrayLiteral("\n"), QByteArrayLiteral("\r\n"),
                                       QByteArrayLiteral("\r")};
    if (bytes.startsWith(kUtf8Bom)) {
        bom_ = kUtf8Bom.toByteArray();
        bytes = bytes.sliced(kUtf8Bom.size());
    }
    // New lines keep to Windows-1252 in a file that has such lines (one a Windows program wrote).
    windows1252_ = !isValidUtf8(bytes);
    QString section;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype stop = pos;
        while (stop < bytes.size() && bytes[stop] != '\n' && bytes[stop] != '\r')
            ++stop;
        Line line;
        line.raw = bytes.sliced(pos, stop - pos).toByteArray();
        qsizetype next = stop;
        if (stop < bytes.size()) {
            const bool crlf = bytes[stop] == '\r' && stop + 1 < bytes.size() && bytes[stop + 1] == '\n';
            line.end = kEnds[bytes[stop] == '\n' ? 0 : crlf ? 1 : 2];
            next += crlf ? 2 : 1;
        }
        if (!line.end.isEmpty() && lineEnd_.isEmpty())
            lineEnd_ = line.end;
        classify(line, text(line), section);
        // A run of blank, comment and other lines is never changed line by
        // line: one record holds it, so a file of a million blank lines costs
        // no more than a short one.
        if (line.kind == Kind::Other && !lines_.empty() && lines_.back().kind == Kind::Other) {
            Line& run = lines_.back();
            run.raw.append(run.end).append(line.raw);
            run.end = line.end;
        } else {
            lines_.push_back(std::move(line));
        }
        pos = next;
    }
    if (lineEnd_.isEmpty())
        lineEnd_ = kEnds[0];
}

QString IniFile::text(const Line& line) {
    // Line by line: a hand-edited line in the one encoding garbles no line in the other.
    return isValidUtf8(line.raw) ? QString::fromUtf8(line.raw) : fromWindows1252(line.raw);
}

void IniFile::classify(Line& line, const QString& text, QString& section) const {
    const QString trimmed = text.trimmed();
    line.kind = Kind::Other;
    if (trimmed.startsWith(QLatin1Char('['))) {
        const qsizetype close = trimmed.indexOf(QLatin1Char(']'));
        section = decodeKey(trimmed.mid(1, close < 0 ? -1 : close - 1).trimmed());
        line.kind = Kind::Section;
        line.section = section;
        return;
    }
    line.section = section;
    if (trimmed.startsWith(QLatin1Char(';')) || trimmed.startsWith(QLatin1Char('#')))
        return;
    const qsizetype equals = text.indexOf(QLatin1Char('='));
    if (equals < 0)
        return;
    line.kind = Kind::Entry;
    line.key = decodeKey(text.left(equals).trimmed());
    line.value = text.mid(equals + 1);
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
    for (auto it = lines_.rbegin(); it != lines_.rend(); ++it)
        if (it->kind == Kind::Entry && it->section == section && it->key == key)
            return it->value;
    return std::nullopt;
}

bool IniFile::setValue(const QString& section, const QString& key, const QString& value) {
    if (holdsLineBreak(value) || holdsLineBreak(key) || holdsLineBreak(section))
        return false;
    // The key's last line (the one that counts), else where its section ends.
    std::optional<size_t> entry, insertAt;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const Line& line = lines_[i];
        if (line.section != section)
            continue;
        if (line.kind == Kind::Section)
            insertAt = i + 1;
        if (line.kind == Kind::Entry) {
            insertAt = i + 1;
            if (line.key == key)
                entry = i;
        }
    }
    if (entry) {
        // Only the text after "=" changes; the key keeps its own spelling.
        Line& line = lines_[*entry];
        const QByteArray end = line.end;
        const QString old = text(line);
        line = makeLine(old.left(old.indexOf(QLatin1Char('=')) + 1) + value, section);
        line.end = end;
    } else {
        const QString entryText = QString::fromLatin1(encodeKey(key)) + QLatin1Char('=') + value;
        std::vector<Line> added;
        if (!insertAt) {
            // A new section at the end, after a blank line as QSettings leaves one.
            insertAt = lines_.size();
            if (!lines_.empty() && !text(lines_.back()).trimmed().isEmpty())
                added.push_back(makeLine({}, lines_.back().section));
            added.push_back(makeLine(
                QLatin1Char('[') + QString::fromLatin1(encodeKey(section)) + QLatin1Char(']'), section));
        }
        added.push_back(makeLine(entryText, section));
        if (*insertAt > 0 && lines_[*insertAt - 1].end.isEmpty())
            lines_[*insertAt - 1].end = lineEnd_;
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(*insertAt), added.begin(), added.end());
    }
    return true;
}

IniFile::Line IniFile::makeLine(const QString& text, const QString& section) const {
    Line line;
    line.raw = encode(text);
    line.end = lineEnd_;
    QString current = section;
    classify(line, text, current);
    return line;
}

QByteArray IniFile::encode(const QString& text) const {
    // Windows-1252 only where it reads back as written: its bytes must not pass for UTF-8 (ASCII aside,
    // which is the same in both), and it spells every character.
    if (windows1252_)
        if (auto bytes = toWindows1252(text); bytes && !isValidUtf8(*bytes))
            return *bytes;
    return text.toUtf8();
}

QByteArray IniFile::bytes() const {
    QByteArray all = bom_;
    for (const Line& line : lines_)
        all += line.raw + line.end;
    return all;
}

QByteArray IniFile::encodeKey(const QString& key) {
    QByteArray spelled;
    for (const QChar ch : key) {
        const char16_t c = ch.unicode();
        if (c == '/') {
            spelled += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                   c == '-' || c == '.') {
            spelled += static_cast<char>(c);
        } else if (c <= 0xFF) {
            spelled += '%';
            spelled += kHexDigits[c / 16];
            spelled += kHexDigits[c % 16];
        } else {
            spelled += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                spelled += kHexDigits[(c >> shift) & 0xF];
        }
    }
    return spelled;
}

QString IniFile::decodeKey(const QString& spelled) {
    QString key;
    for (qsizetype i = 0; i < spelled.size();) {
        const QChar ch = spelled[i];
        if (ch == QLatin1Char('\\')) {
            key += QLatin1Char('/');
            ++i;
            continue;
        }
        const bool wide = ch == QLatin1Char('%') && spelled.mid(i + 1, 1) == QLatin1String("U");
        const qsizetype first = i + (wide ? 2 : 1);
        const QString digits = spelled.mid(first, wide ? 4 : 2);
        const bool escaped = ch == QLatin1Char('%') && digits.size() == (wide ? 4 : 2) &&
                             std::all_of(digits.begin(), digits.end(), isHexDigit);
        if (!escaped) {
            key += ch;
            ++i;
            continue;
        }
        key += QChar(static_cast<char16_t>(digits.toUInt(nullptr, 16)));
        i = first + digits.size();
    }
    return key;
}

#include "playlist/PlaylistFields.h"
#include "platform/TextDecoding.h"
#include <QStringDecoder>

namespace {
constexpr QByteArrayView kFileScheme("file://");
constexpr QByteArrayView kLocalHost("localhost");

bool startsWithFileScheme(QByteArrayView bytes) {
    return bytes.size() >= kFileScheme.size() &&
           QByteArrayView(bytes.first(kFileScheme.size())).compare(kFileScheme, Qt::CaseInsensitive) == 0;
}
// UTF-8 bytes of the text, and whether it holds "*", CR or LF.
std::pair<qint64, bool> utf8Size(QStringView text) {
    // ASCII, the common text, a byte a unit.
    char16_t any = 0;
    for (const QChar c : text)
        any |= c.unicode();
    if (any < 0x80)
        return {text.size(), text.contains(u'*') || text.contains(u'\r') || text.contains(u'\n')};
    qint64 bytes = 0;
    bool breaks = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        breaks = breaks || c == u'*' || c == u'\r' || c == u'\n';
        if (QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            bytes += 4;
            ++i;
        } else {
            bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3; // a lone surrogate is written as U+FFFD
        }
    }
    return {bytes, breaks};
}

// The same for Latin-1: every unit from 0x80 takes two bytes.
std::pair<qint64, bool> utf8Size(QLatin1StringView text) {
    uchar any = 0;
    for (const char c : text)
        any |= uchar(c);
    qint64 high = 0;
    if (any >= 0x80) {
        for (const char c : text)
            high += uchar(c) >> 7;
    }
    return {text.size() + high, breaksALine(QByteArrayView(text.data(), text.size()))};
}
} // namespace

qint64 playlistLineBytes(TextView name, TextView path) {
    const auto [nameBytes, nameBreaks] = name.visit([](auto text) { return utf8Size(text); });
    const auto [pathBytes, pathBreaks] = path.visit([](auto text) { return utf8Size(text); });
    // Look-alikes take 3 bytes for 1; a file URL up to 3 for each byte.
    const bool url = pathBreaks || path.visit([](auto text) {
        return text.startsWith(QLatin1StringView("file:"), Qt::CaseInsensitive);
    });
    return (nameBreaks ? 3 * nameBytes : nameBytes) + (url ? 3 * pathBytes + 7 : pathBytes) + 3;
}

QString playlistDisplayName(const QString& name) {
    if (!name.contains(u'*') && !name.contains(u'\r') && !name.contains(u'\n'))
        return name;
    QString shown = name;
    shown.replace(u'*', QChar(0x2217));
    shown.replace(u'\r', QChar(0x240D));
    shown.replace(u'\n', QChar(0x240A));
    return shown;
}

std::optional<QByteArray> pathFieldBytes(const QString& path) {
    QByteArray bytes = path.toUtf8();
    if (!breaksALine(bytes) && !pathFromFileUrl(bytes))
        return bytes;
    if (!path.startsWith(u'/'))
        return std::nullopt;
    // Everything but letters, digits, "-._~" and "/" is encoded, so the URL
    // holds neither "*" nor a line break, nor a "?" or "#" that would end its
    // path.
    return kFileScheme.toByteArray() + bytes.toPercentEncoding("/");
}

std::optional<QString> pathFromFileUrl(QByteArrayView field) {
    if (!startsWithFileScheme(field))
        return std::nullopt;
    const QByteArrayView rest = field.sliced(kFileScheme.size());
    const qsizetype slash = rest.indexOf('/');
    if (slash < 0)
        return std::nullopt;
    const QByteArrayView authority = rest.first(slash);
    if (!authority.isEmpty() && authority.compare(kLocalHost, Qt::CaseInsensitive) != 0)
        return std::nullopt;
    const QByteArrayView encoded = rest.sliced(slash);
    if (encoded.contains('?') || encoded.contains('#'))
        return std::nullopt;
    const QByteArray bytes = QByteArray::fromPercentEncoding(encoded.toByteArray());
    if (bytes.contains('\0') || !isValidUtf8(bytes))
        return std::nullopt;
    return fromUtf8Field(bytes);
}

// One pass, which the compiler turns into vector code: it runs twice a line of a long load.
bool breaksALine(QByteArrayView bytes) {
    uchar breaks = 0;
    for (const char c : bytes)
        breaks |= uchar((c == '*') | (c == '\r') | (c == '\n'));
    return breaks != 0;
}

void fromValidUtf8Field(QByteArrayView bytes, QString& into) {
    // On valid UTF-8 this decoder and fromUtf8Field() agree; on broken bytes they may not.
    QStringDecoder decoder(QStringDecoder::Utf8,
                           QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    into.resize(decoder.requiredSpace(bytes.size()));
    into.truncate(decoder.appendToBuffer(into.data(), bytes) - into.constData());
}

QString fromUtf8Field(QByteArrayView bytes) {
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

#include "playlist/PlaylistFields.h"
#include <QStringDecoder>

namespace {
constexpr QByteArrayView kFileScheme("file://");
constexpr QByteArrayView kLocalHost("localhost");

bool breaksALine(QByteArrayView bytes) {
    return bytes.contains('*') || bytes.contains('\r') || bytes.contains('\n');
}

bool startsWithFileScheme(QByteArrayView bytes) {
    return bytes.size() >= kFileScheme.size() &&
           QByteArrayView(bytes.first(kFileScheme.size())).compare(kFileScheme, Qt::CaseInsensitive) == 0;
}
} // namespace

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

QString fromUtf8Field(QByteArrayView bytes) {
    if (!bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

bool isValidUtf8(QByteArrayView bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p;
        if (b < 0x80) {
            ++p;
            continue;
        }
        int extra;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            extra = 1;
        } else if (b >= 0xE0 && b <= 0xEF) {
            extra = 2;
            if (b == 0xE0)
                low = 0xA0;
            else if (b == 0xED)
                high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            extra = 3;
            if (b == 0xF0)
                low = 0x90;
            else if (b == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p <= extra)
            return false;
        if (p[1] < low || p[1] > high)
            return false;
        for (int i = 2; i <= extra; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += extra + 1;
    }
    return true;
}

#include "playlist/PlaylistFields.h"
#include "platform/TextDecoding.h"
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

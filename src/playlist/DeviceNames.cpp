#include "playlist/DeviceNames.h"
#include <QRegularExpression>
#include <QStringList>

namespace DeviceNames {

QString plainName(const QString& name) {
    QString plain;
    plain.reserve(name.size());
    for (const QChar c : name) {
        const bool refused =
            c.unicode() < 0x20 || c.unicode() == 0x7F || QStringView(u"\\/:*?\"<>|").contains(c);
        plain += refused ? QLatin1Char('_') : c;
    }
    // FAT drops trailing dots and blanks, which would make two names one (and "." and ".." special).
    qsizetype end = plain.size();
    while (end > 0 && (plain[end - 1] == QLatin1Char('.') || plain[end - 1] == QLatin1Char(' ')))
        --end;
    if (end < plain.size())
        plain = plain.left(end) + QString(plain.size() - end, QLatin1Char('_'));
    return plain.isEmpty() ? QStringLiteral("_") : plain;
}

std::optional<QString> destinationName(const QString& displayName, const QString& longPath, bool renaming) {
    if (!renaming)
        return plainName(displayName);
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    const QStringList parts = longPath.split(separators);
    const qsizetype u = parts.size() - 1;
    if (u == 0)
        return std::nullopt;
    if (u == 1)
        return plainName(displayName);
    const QString separator = QStringLiteral(" - ");
    if (u == 2)
        return plainName(parts[1]) + separator + plainName(parts[2]);
    return plainName(parts[u - 2]) + separator + plainName(parts[u - 1]) + separator + plainName(parts[u]);
}

} // namespace DeviceNames

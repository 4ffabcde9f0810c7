#include "playlist/DeviceNames.h"
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

namespace {
// A name's extension: from its last dot on, when that is short enough to be one.
qsizetype extensionStart(const QString& name) {
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 && name.size() - dot <= 16 ? dot : name.size();
}

// stem + tail, the stem cut (never inside a character) so that the whole takes at most kMaxNameBytes.
QString joinWithin(QString stem, const QString& tail) {
    const qsizetype room = kMaxNameBytes - tail.toUtf8().size();
    while (!stem.isEmpty() && stem.toUtf8().size() > room)
        stem.chop(stem.size() > 1 && stem.back().isLowSurrogate() ? 2 : 1);
    return stem + tail;
}
} // namespace

QString withinNameLimit(const QString& name) {
    if (name.toUtf8().size() <= kMaxNameBytes)
        return name;
    const qsizetype ext = extensionStart(name);
    return joinWithin(name.left(ext), name.mid(ext));
}

QString numbered(const QString& name, int n) {
    const qsizetype ext = extensionStart(name);
    return joinWithin(name.left(ext), QStringLiteral(" (%1)").arg(n) + name.mid(ext));
}

std::optional<QString> destinationName(const QString& displayName, const QString& longPath, bool renaming) {
    if (!renaming)
        return withinNameLimit(plainName(displayName));
    // Only "/" separates folders here; a backslash is part of a name, which the plain name rule replaces.
    const QStringList parts = longPath.split(QLatin1Char('/'));
    const qsizetype u = parts.size() - 1;
    if (u == 0)
        return std::nullopt;
    if (u == 1)
        return withinNameLimit(plainName(displayName));
    const QString separator = QStringLiteral(" - ");
    if (u == 2)
        return withinNameLimit(plainName(parts[1]) + separator + plainName(parts[2]));
    return withinNameLimit(plainName(parts[u - 2]) + separator + plainName(parts[u - 1]) + separator +
                           plainName(parts[u]));
}

} // namespace DeviceNames

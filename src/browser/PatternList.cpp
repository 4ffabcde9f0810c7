#include "browser/PatternList.h"
#include "browser/DirectoryListing.h"

namespace {

bool hasWildcard(QStringView text) {
    return text.contains(u'*') || text.contains(u'?');
}

// "*" and "?" as in a file dialog; every other character stands for itself.
QRegularExpression wildcardExpression(const QString& pattern) {
    QString expression;
    expression.reserve(pattern.size() * 2 + 4);
    for (const QChar c : pattern) {
        if (c == u'*')
            expression += QStringLiteral(".*");
        else if (c == u'?')
            expression += u'.';
        else
            expression += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(expression),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}

} // namespace

PatternList::PatternList(const QString& text) : text_(text) {
    const QStringList parts = text.split(u';', Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QString pattern = part.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == u"*" || pattern == u"*.*") {
            everything_ = true;
        } else if (pattern.startsWith(u"*.") && !hasWildcard(QStringView(pattern).mid(2))) {
            suffixes_.push_back(pattern.mid(1));
        } else {
            others_.push_back(wildcardExpression(pattern));
        }
    }
}

bool PatternList::matches(QStringView fileName) const {
    if (everything_)
        return true;
    for (const QString& suffix : suffixes_)
        if (fileName.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    for (const QRegularExpression& expression : others_)
        if (expression.match(fileName).hasMatch())
            return true;
    return false;
}

QStringList listMatchingFiles(const QString& folder, const PatternList& patterns) {
    ListingRequest request;
    request.folders = false;
    if (!patterns.matchesEverything())
        request.fileFilter = [&patterns](QStringView name) {
            return patterns.matches(name);
        };
    return readFolder(folder, request).files;
}

QString dropExtension(const QString& path) {
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0)
        return QStringLiteral(".\u00A9\u00A9\u00A9\u00A9\u00A9\u00A9");
    return path.mid(dot);
}

bool dropAccepted(const QString& path, const QString& patternListText) {
    return patternListText.toUpper().contains(dropExtension(path).toUpper());
}

#include "browser/PatternList.h"
#include "browser/DirectoryListing.h"

namespace {

bool hasWildcard(QStringView text) {
    return text.contains(u'*') || text.contains(u'?');
}

QString folded(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        out += c.toCaseFolded();
    return out;
}

} // namespace

// "*" and "?" as in a file dialog; every other character stands for itself.
// A mismatch after a "*" only moves that "*" on by one character, so a name
// is walked at most once per pattern character: no pattern, however many
// stars it holds, can make a long name slow.
bool wildcardMatches(QStringView foldedPattern, QStringView name) {
    const qsizetype patternEnd = foldedPattern.size();
    qsizetype p = 0, n = 0;
    qsizetype star = -1, resumeAt = 0;
    while (n < name.size()) {
        // A "*" of the pattern is a wildcard even where the name holds a "*".
        if (p < patternEnd && foldedPattern[p] == u'*') {
            star = p++;
            resumeAt = n;
        } else if (p < patternEnd &&
                   (foldedPattern[p] == u'?' || foldedPattern[p] == name[n].toCaseFolded())) {
            ++p;
            ++n;
        } else if (star >= 0) {
            p = star + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < patternEnd && foldedPattern[p] == u'*')
        ++p;
    return p == patternEnd;
}

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
            others_.push_back(folded(pattern));
        }
    }
}

bool PatternList::matches(QStringView fileName) const {
    if (everything_)
        return true;
    for (const QString& suffix : suffixes_)
        if (fileName.endsWith(suffix, Qt::CaseInsensitive))
            return true;
    for (const QString& pattern : others_)
        if (wildcardMatches(pattern, fileName))
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

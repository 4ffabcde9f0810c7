#include "FuzzCheck.h"
#include "browser/DroppedPaths.h"
#include "browser/PatternList.h"
#include <QFile>
#include <QUrl>
#include <vector>

// A drop and the browser's filter from arbitrary bytes: the input is a path's
// bytes, a NUL, then a pattern list (UTF-8).
//   - A dropped file URL gives back exactly the bytes of the path it names,
//     or nothing when those bytes are not UTF-8; never another file's path.
//   - The drop check is the extension found as text in the pattern list.
//   - The wildcard matcher agrees with a plain table of every prefix pair
//     (a second, obviously right definition) and never backtracks.
static bool tableMatch(QStringView pattern, QStringView name) {
    // matched[j]: the pattern's first i characters match the name's first j.
    std::vector<char> matched(static_cast<size_t>(name.size()) + 1, 0);
    matched[0] = 1;
    for (const QChar p : pattern) {
        std::vector<char> next(matched.size(), 0);
        for (size_t j = 0; j < matched.size(); ++j)
            if (p == u'*') // a run of any length: any shorter prefix of the name matched
                next[j] = matched[j] || (j > 0 && next[j - 1]);
            else // one character more
                next[j] =
                    j > 0 && matched[j - 1] && (p == u'?' || p == name[qsizetype(j - 1)].toCaseFolded());
        matched.swap(next);
    }
    return matched.back() != 0;
}

void fuzzOne(const QByteArray& input) {
    const auto [pathPart, patternBytes] = splitAtNul(input);
    const QByteArray pathBytes = '/' + pathPart;
    const QString patternText = QString::fromUtf8(patternBytes);

    // The URL a file manager sends for that path: every byte percent-encoded
    // where it must be.
    const QUrl url(QStringLiteral("file://") + QString::fromLatin1(pathBytes.toPercentEncoding("/")),
                   QUrl::StrictMode);
    const QStringList paths = droppedLocalPaths({url, QUrl(QStringLiteral("https://example.org/a.mp3"))});
    fuzzCheck(paths.size() <= 1);
    if (!paths.isEmpty())
        fuzzCheck(QFile::encodeName(paths.first()) == pathBytes);
    else
        fuzzCheck(QString::fromUtf8(pathBytes).toUtf8() != pathBytes || !url.isValid());

    const QString path = QFile::decodeName(pathBytes);
    fuzzCheck(dropAccepted(path, patternText) ==
              patternText.contains(dropExtension(path), Qt::CaseInsensitive));

    // The matcher itself, on a bounded pattern and name so the table stays small.
    QString folded;
    for (const QChar c : patternText.left(64))
        folded += c.toCaseFolded();
    const QStringView name = QStringView(path).left(512);
    fuzzCheck(wildcardMatches(folded, name) == tableMatch(folded, name));
    PatternList(patternText).matches(name);
}

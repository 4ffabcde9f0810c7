#include "FuzzCheck.h"
#include "browser/DroppedPaths.h"
#include "browser/PatternList.h"
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QUrl>
#include <cstddef>
#include <cstdint>
#include <vector>

// A drop and the browser's filter from arbitrary bytes: the input is a path's
// bytes, a NUL, then a pattern list (UTF-8).
//   - A dropped file URL gives back exactly the bytes of the path it names,
//     or nothing when those bytes are not UTF-8; never another file's path.
//   - The drop check is the extension found as text in the pattern list.
//   - The wildcard matcher agrees with a plain table of every prefix pair
//     (a second, obviously right definition) and never backtracks.
namespace {

bool tableMatch(QStringView pattern, QStringView name) {
    // matched[j]: the pattern's first i characters match the name's first j.
    std::vector<char> matched(static_cast<size_t>(name.size()) + 1, 0);
    matched[0] = 1;
    for (const QChar p : pattern) {
        std::vector<char> next(matched.size(), 0);
        if (p == u'*') {
            char any = 0;
            for (size_t j = 0; j < matched.size(); ++j)
                next[j] = any = static_cast<char>(any || matched[j]);
        } else {
            for (size_t j = 1; j < matched.size(); ++j)
                next[j] =
                    matched[j - 1] && (p == u'?' || p == name[static_cast<qsizetype>(j - 1)].toCaseFolded());
        }
        matched.swap(next);
    }
    return matched.back() != 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const InputClock clock(data, size);
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype nul = input.indexOf('\0');
    const QByteArray pathBytes = QByteArray("/") + (nul < 0 ? input : input.left(nul));
    const QString patternText = nul < 0 ? QString() : QString::fromUtf8(input.mid(nul + 1));

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
    const QString extension = dropExtension(path);
    fuzzCheck(dropAccepted(path, patternText) == patternText.contains(extension, Qt::CaseInsensitive));

    // The matcher itself, on a bounded pattern and name so the table stays small.
    QString folded;
    for (const QChar c : patternText.left(64))
        folded += c.toCaseFolded();
    const QStringView name = QStringView(path).left(512);
    fuzzCheck(wildcardMatches(folded, name) == tableMatch(folded, name));
    const PatternList list(patternText);
    list.matches(name);
    return 0;
}

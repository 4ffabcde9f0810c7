#include "browser/DirectoryListing.h"
#include <QFile>
#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool isAsciiDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

char16_t folded(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80)
        return (u >= u'A' && u <= u'Z') ? static_cast<char16_t>(u + (u'a' - u'A')) : u;
    return c.toCaseFolded().unicode();
}

// Compares the digit runs starting at i and j by value and moves both past
// their run; 0 when the values are equal.
int compareNumbers(QStringView a, qsizetype& i, QStringView b, qsizetype& j) {
    while (i < a.size() && a[i] == u'0' && i + 1 < a.size() && isAsciiDigit(a[i + 1]))
        ++i;
    while (j < b.size() && b[j] == u'0' && j + 1 < b.size() && isAsciiDigit(b[j + 1]))
        ++j;
    qsizetype endA = i, endB = j;
    while (endA < a.size() && isAsciiDigit(a[endA]))
        ++endA;
    while (endB < b.size() && isAsciiDigit(b[endB]))
        ++endB;
    int result = 0;
    if (endA - i != endB - j) {
        result = endA - i < endB - j ? -1 : 1;
    } else {
        for (qsizetype k = 0; k < endA - i && result == 0; ++k)
            if (a[i + k] != b[j + k])
                result = a[i + k] < b[j + k] ? -1 : 1;
    }
    i = endA;
    j = endB;
    return result;
}

enum class Kind { File, Folder, Other };

Kind kindOf(const struct stat& info) {
    if (S_ISREG(info.st_mode))
        return Kind::File;
    if (S_ISDIR(info.st_mode))
        return Kind::Folder;
    return Kind::Other;
}

// The kind of an entry from its directory record; links and file systems
// that do not fill in the type cost one stat() that follows links.
Kind kindOf(int folderFd, const struct dirent* entry) {
    switch (entry->d_type) {
    case DT_REG:
        return Kind::File;
    case DT_DIR:
        return Kind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        struct stat info;
        if (::fstatat(folderFd, entry->d_name, &info, 0) != 0)
            return Kind::Other;
        return kindOf(info);
    }
    default:
        return Kind::Other;
    }
}

} // namespace

int compareBrowserNames(QStringView a, QStringView b) {
    qsizetype i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isAsciiDigit(a[i]) && isAsciiDigit(b[j])) {
            if (const int byValue = compareNumbers(a, i, b, j))
                return byValue;
            continue;
        }
        const char16_t ca = folded(a[i]), cb = folded(b[j]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size())
        return 1;
    if (j < b.size())
        return -1;
    return a.compare(b, Qt::CaseSensitive) < 0 ? -1 : (a == b ? 0 : 1);
}

void sortBrowserOrder(QStringList& names) {
    std::sort(names.begin(), names.end(),
              [](const QString& a, const QString& b) { return compareBrowserNames(a, b) < 0; });
}

FolderEntries readFolder(const QString& folder, const ListingRequest& request) {
    FolderEntries result;
    if (folder.isEmpty() || folder.contains(QChar(0)))
        return result;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return result;
    result.readable = true;
    const int fd = ::dirfd(dir);
    while (const struct dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') // hidden entries, "." and ".."
            continue;
        const Kind kind = kindOf(fd, entry);
        if (!(kind == Kind::File && request.files) && !(kind == Kind::Folder && request.folders))
            continue;
        // A name whose bytes are not UTF-8 cannot be carried as text: it
        // would come back as another name, so it is not offered at all.
        QString name = QFile::decodeName(entry->d_name);
        if (QFile::encodeName(name) != QByteArrayView(entry->d_name))
            continue;
        if (kind == Kind::Folder)
            result.folders.append(std::move(name));
        else if (!request.fileFilter || request.fileFilter(name))
            result.files.append(std::move(name));
    }
    ::closedir(dir);
    sortBrowserOrder(result.files);
    sortBrowserOrder(result.folders);
    return result;
}

QStringList listSubfolders(const QString& folder) {
    return readFolder(folder, {.files = false, .folders = true, .fileFilter = {}}).folders;
}

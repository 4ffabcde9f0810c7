#include "playlist/ExistingFiles.h"
#include "playlist/PlaylistFile.h"
#include <QFile>
#include <climits>
#include <dirent.h>
#include <unistd.h>

bool ExistingFiles::operator()(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    const QByteArray bytes = QFile::encodeName(path);
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArray name = bytes.mid(slash + 1);
    if (bytes.size() >= PATH_MAX || name.isEmpty() || name == "." || name == "..")
        return checkOne(path);
    QByteArray folderPath = slash < 0 ? QByteArray(".") : bytes.first(slash);
    if (folderPath.isEmpty())
        folderPath = "/";

    Folder& folder = folders_[folderPath];
    // A folder named once is not worth listing.
    if (++folder.seen == 2)
        list(folderPath, folder);
    if (folder.unreachable)
        return false;
    if (folder.listed && folder.files.contains(name))
        return true;
    return checkOne(path);
}

bool ExistingFiles::checkOne(const QString& path) const {
    return kind_ == Kind::RegularOnly ? isRegularFile(path) : isExistingFile(path);
}

void ExistingFiles::list(const QByteArray& folderPath, Folder& into) {
    // Without search permission (or without the folder) no path inside is
    // reachable, whatever a listing shows: the rest of its paths are not asked.
    if (::access(folderPath.constData(), X_OK) != 0) {
        into.unreachable = true;
        return;
    }
    if (namesHeld_ >= kMaxNamesInAll)
        return;
    DIR* dir = ::opendir(folderPath.constData());
    if (!dir)
        return;
    QSet<QByteArray> files;
    bool whole = true;
    const bool regularOnly = kind_ == Kind::RegularOnly;
    while (const dirent* entry = ::readdir(dir)) {
        switch (entry->d_type) {
        case DT_FIFO:
        case DT_CHR:
        case DT_BLK:
        case DT_SOCK:
            if (regularOnly)
                break; // left out of the listing: asked for alone, and refused
            [[fallthrough]];
        case DT_REG:
            if (files.size() >= kMaxNamesPerFolder || namesHeld_ + files.size() >= kMaxNamesInAll) {
                whole = false;
                break;
            }
            files.insert(QByteArray(entry->d_name));
            break;
        default: // folders, links and unknown types are asked for one by one
            break;
        }
        if (!whole)
            break;
    }
    ::closedir(dir);
    if (!whole)
        return;
    namesHeld_ += files.size();
    into.files = std::move(files);
    into.listed = true;
}

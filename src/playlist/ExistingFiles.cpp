#include "playlist/ExistingFiles.h"
#include "playlist/PlaylistFile.h"
#include <QFile>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <unistd.h>

bool ExistingFiles::operator()(const QString& path) {
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    const QByteArray bytes = QFile::encodeName(path);
    const qsizetype slash = bytes.lastIndexOf('/');
    const QByteArrayView name = QByteArrayView(bytes).sliced(slash + 1);
    if (bytes.size() >= PATH_MAX || name.isEmpty() || name == "." || name == "..")
        return checkOne(path);
    QByteArrayView folderPath = slash < 0 ? QByteArrayView(".") : QByteArrayView(bytes).first(slash);
    if (folderPath.isEmpty())
        folderPath = "/";
    // Paths mostly come folder after folder: the same folder needs no look-up.
    if (!last_ || lastPath_ != folderPath) {
        lastPath_ = folderPath.toByteArray();
        last_ = &folders_[lastPath_];
    }
    Folder& folder = *last_;
    // A folder named once is not worth listing.
    if (++folder.seen >= 2 && !folder.listed && !folder.unreachable && folder.listings < 2)
        list(lastPath_, folder);
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
    ++into.listings;
    if (::access(folderPath.constData(), X_OK) != 0) {
        into.unreachable = true;
        return;
    }
    DIR* dir = ::opendir(folderPath.constData());
    if (!dir)
        return;
    // The names one after another, each ended by a zero byte; the set looks
    // at them in place, which spares a block for every name.
    QByteArray names;
    names.reserve(16 * 1024); // grows by doubling from there; appending alone copies it at every name
    qsizetype count = 0;
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
            if (count >= kMaxNamesPerFolder) {
                into.listings = 2; // never listed whole: asked path by path
                whole = false;
                break;
            }
            names.append(entry->d_name, std::strlen(entry->d_name) + 1);
            ++count;
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
    while (namesHeld_ + count > kMaxNamesInAll && !listedOrder_.empty()) {
        Folder& oldest = folders_[listedOrder_.front()];
        namesHeld_ -= oldest.files.size();
        oldest.files = {};
        oldest.names = {};
        oldest.listed = false;
        listedOrder_.pop_front();
    }
    listedOrder_.push_back(folderPath);
    namesHeld_ += count;
    into.names = std::move(names);
    into.files.reserve(count);
    for (const char* name = into.names.constData(); name < into.names.constEnd();
         name += std::strlen(name) + 1)
        into.files.insert(QByteArrayView(name, std::strlen(name)));
    into.listed = true;
}

#include "playlist/ExistingFiles.h"
#include "playlist/PlaylistFile.h"
#include <QFile>
#include <climits>

void ExistingFiles::listAheadOf(const QString& playlistPath) {
    ahead_.reset(); // stops a worker of an earlier file first
    ahead_ = std::make_unique<FolderPrefetch>(playlistPath, kind_ == Kind::RegularOnly, kMaxNamesPerFolder);
    asked_ = -1;
}

bool ExistingFiles::operator()(const QString& path, QByteArrayView pathBytes) {
    ++asked_;
    if (path.isEmpty() || path.contains(QChar(0)))
        return false;
    // The file name's bytes, as QFile::encodeName() gives them, into one buffer kept for the load.
    if (pathBytes.isEmpty()) {
        if (const qsizetype room = encoder_.requiredSpace(path.size()); room > bytesRoom_) {
            bytes_ = std::make_unique<char[]>(room);
            bytesRoom_ = room;
        }
        pathBytes = QByteArrayView(bytes_.get(), encoder_.appendToBuffer(bytes_.get(), path) - bytes_.get());
    }
    const QByteArrayView bytes = pathBytes;
    const qsizetype slash = lastIndexOfByte(bytes, '/');
    const QByteArrayView name = bytes.sliced(slash + 1);
    if (bytes.size() >= PATH_MAX || name.isEmpty() || name == "." || name == "..")
        return checkOne(path);
    const QByteArrayView folderPath = folderOfPath(bytes);
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
    if (folder.listed && folder.listing.files.contains(name))
        return true;
    return checkOne(path);
}

bool ExistingFiles::checkOne(const QString& path) const {
    return kind_ == Kind::RegularOnly ? isRegularFile(path) : isExistingFile(path);
}

void ExistingFiles::list(const QByteArray& folderPath, Folder& into) {
    ++into.listings;
    std::optional<FolderListing> made = ahead_ ? ahead_->take(folderPath, asked_) : std::nullopt;
    if (!made) {
        if (!buffer_)
            buffer_ = std::make_unique<char[]>(kListingBufferBytes);
        made = listFolder(folderPath, kind_ == Kind::RegularOnly, buffer_.get(), kListingBufferBytes,
                          kMaxNamesPerFolder);
    }
    switch (made->outcome) {
    case FolderListing::Outcome::Unreachable:
        into.unreachable = true; // the rest of its paths are not asked
        return;
    case FolderListing::Outcome::TooMany:
        into.listings = 2; // never listed whole: asked path by path
        return;
    case FolderListing::Outcome::NotListed:
        return;
    case FolderListing::Outcome::Listed:
        break;
    }
    const qsizetype count = made->files.size();
    while (namesHeld_ + count > kMaxNamesInAll && !listedOrder_.empty()) {
        Folder& oldest = folders_[listedOrder_.front()];
        namesHeld_ -= oldest.listing.files.size();
        oldest.listing = {};
        oldest.listed = false;
        listedOrder_.pop_front();
    }
    listedOrder_.push_back(folderPath);
    namesHeld_ += count;
    into.listing = std::move(*made);
    into.listed = true;
}

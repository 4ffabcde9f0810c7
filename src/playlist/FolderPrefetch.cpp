#include "playlist/FolderPrefetch.h"
#include "playlist/FileLines.h"
#include "playlist/PlaylistModel.h"
#include <QFile>
#include <climits>
#include <system_error>

namespace {
constexpr QByteArrayView kFileScheme("file:");

// The folder the path of a "name*path" line is in, as its raw bytes; empty
// when the path is not one to list ahead; nullopt for a line where a load
// stops (no "*": the end marker, or a broken line).
std::optional<QByteArrayView> folderOfLine(QByteArrayView line) {
    const qsizetype star = line.indexOf('*');
    if (star < 0)
        return std::nullopt;
    QByteArrayView path = line.sliced(star + 1);
    if (const qsizetype next = path.indexOf('*'); next >= 0)
        path = path.first(next);
    if (path.isEmpty() || path.size() >= PATH_MAX || path.contains('\0') ||
        (path.size() >= kFileScheme.size() &&
         path.first(kFileScheme.size()).compare(kFileScheme, Qt::CaseInsensitive) == 0))
        return QByteArrayView();
    return folderOfPath(path);
}
} // namespace

FolderPrefetch::FolderPrefetch(const QString& playlistPath, bool regularOnly, qsizetype maxNamesPerFolder)
    : regularOnly_(regularOnly), maxNamesPerFolder_(maxNamesPerFolder) {
    try {
        worker_ = std::thread([this, playlistPath] { run(playlistPath); });
    } catch (const std::system_error&) { // no thread to be had: the load lists every folder itself
        done_ = true;
    }
}

FolderPrefetch::~FolderPrefetch() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
        stopping_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable())
        worker_.join();
}

std::optional<FolderListing> FolderPrefetch::take(const QByteArray& folder, qint64 line) {
    std::unique_lock lock(mutex_);
    // The worker lists this folder now: its listing is worth the wait.
    changed_.wait(lock, [&] { return listing_ != folder || done_; });
    std::optional<FolderListing> taken;
    for (auto made = made_.begin(); made != made_.end() && made->firstLine <= line; ++made)
        if (made->folder == folder) {
            namesMade_ -= made->listing.files.size();
            taken = std::move(made->listing);
            break;
        }
    dropBefore(line); // the load is past those runs
    // A worker still behind the load skips what the load lists itself.
    if (!taken && !done_ && scanned_.load() < line)
        skipTo_ = std::max(skipTo_, line);
    return taken;
}

void FolderPrefetch::waitUntilAhead() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return done_ || full(); });
}

bool FolderPrefetch::full() const {
    return namesMade_ >= kMaxNamesAhead || qsizetype(made_.size()) >= kMaxFoldersAhead;
}

void FolderPrefetch::dropBefore(qint64 line) {
    bool dropped = false;
    while (!made_.empty() && made_.front().firstLine <= line) {
        namesMade_ -= made_.front().listing.files.size();
        made_.pop_front();
        dropped = true;
    }
    if (dropped)
        changed_.notify_all();
}

void FolderPrefetch::run(const QString& playlistPath) {
    try {
        scan(playlistPath);
    } catch (...) { // out of memory: the load lists what is left itself
    }
    const std::lock_guard lock(mutex_);
    listing_.clear();
    done_ = true;
    changed_.notify_all();
}

void FolderPrefetch::scan(const QString& playlistPath) {
    const auto buffer = std::make_unique<char[]>(kListingBufferBytes);
    FileLines lines(playlistPath, kMaxPlaylistFileBytes);
    qint64 line = -1;
    QByteArray folder; // of the run the last line is in
    qint64 runStart = -1;
    qint64 runLength = 0;
    lines.forEach([&](QByteArrayView text) {
        scanned_.store(++line, std::memory_order_relaxed);
        if (stopping_.load(std::memory_order_relaxed))
            return false;
        const std::optional<QByteArrayView> named = folderOfLine(text);
        if (!named)
            return false;
        if (named->isEmpty()) {
            runLength = 0;
            return true;
        }
        if (runLength == 0 || *named != folder) {
            folder = named->toByteArray();
            runStart = line;
            runLength = 1;
            return true;
        }
        // A folder named once is not worth listing.
        return ++runLength != 2 || list(folder, runStart, buffer.get());
    });
}

// Lists the folder of a run of lines, unless the load has got there first;
// false once the worker is to stop.
bool FolderPrefetch::list(const QByteArray& folder, qint64 firstLine, char* buffer) {
    std::unique_lock lock(mutex_);
    if (firstLine <= skipTo_)
        return !stop_;
    changed_.wait(lock, [this] { return stop_ || !full(); });
    if (stop_ || firstLine <= skipTo_)
        return !stop_;
    listing_ = folder;
    lock.unlock();
    FolderListing listing = listFolder(folder, regularOnly_, buffer, kListingBufferBytes, maxNamesPerFolder_);
    lock.lock();
    listing_.clear();
    namesMade_ += listing.files.size();
    made_.push_back({folder, firstLine, std::move(listing)});
    changed_.notify_all();
    return !stop_;
}

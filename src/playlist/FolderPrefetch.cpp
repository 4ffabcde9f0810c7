#include "playlist/FolderPrefetch.h"
#include "playlist/FileLines.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistModel.h"
#include <atomic>
#include <climits>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <system_error>
#include <thread>

namespace {
constexpr QByteArrayView kFileScheme("file:");

// The folder the path of a "name*path" line is in, as its raw bytes; empty
// when the path is not one to list ahead; nullopt for a line where a load
// stops (no "*": the end marker, or a broken line).
std::optional<QByteArrayView> folderOfLine(QByteArrayView line) {
    const std::optional<PlaylistLineFields> fields = playlistLineFields(line);
    if (!fields)
        return std::nullopt;
    const QByteArrayView path = fields->path;
    if (path.isEmpty() || path.size() >= PATH_MAX || indexOfByte(path, '\0') >= 0 ||
        (path.size() >= kFileScheme.size() &&
         path.first(kFileScheme.size()).compare(kFileScheme, Qt::CaseInsensitive) == 0))
        return QByteArrayView();
    return folderOfPath(path);
}
std::atomic<int> workers{0};
} // namespace

struct FolderPrefetch::State {
    State(bool regularOnly, qsizetype maxNamesPerFolder)
        : regularOnly(regularOnly), maxNamesPerFolder(maxNamesPerFolder) {}
    struct Made {
        QByteArray folder;
        qint64 firstLine; // of the run of lines naming it
        FolderListing listing;
    };
    void run(const QString& playlistPath);
    void scan(const QString& playlistPath);
    bool list(const QByteArray& folder, qint64 firstLine, char* buffer);
    void dropBefore(qint64 line); // with mutex held
    bool full() const;            // with mutex held

    const bool regularOnly;
    const qsizetype maxNamesPerFolder;
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Made> made;   // in file order
    qsizetype namesMade = 0; // in made
    QByteArray listing;      // the folder being listed now
    qint64 skipTo = -1;      // runs starting at or before this line are the load's own
    bool done = false;
    std::atomic<bool> stopping{false}; // set with mutex held, read on every line without it
    std::atomic<qint64> scanned{-1}; // the last line the worker looked at
};

FolderPrefetch::FolderPrefetch(const QString& playlistPath, bool regularOnly, qsizetype maxNamesPerFolder)
    : state_(std::make_shared<State>(regularOnly, maxNamesPerFolder)) {
    ++workers;
    try {
        std::thread([state = state_, playlistPath] { state->run(playlistPath); }).detach();
    } catch (const std::system_error&) { // no thread to be had: the load lists every folder itself
        state_->done = true;
        --workers;
    }
}

FolderPrefetch::~FolderPrefetch() {
    {
        const std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->changed.notify_all();
}

int FolderPrefetch::running() {
    return workers.load();
}

std::optional<FolderListing> FolderPrefetch::take(const QByteArray& folder, qint64 line) {
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    // The worker lists this folder now: its listing is worth the wait.
    s.changed.wait(lock, [&] { return s.listing != folder || s.done; });
    std::optional<FolderListing> taken;
    for (auto made = s.made.begin(); made != s.made.end() && made->firstLine <= line; ++made)
        if (made->folder == folder) {
            s.namesMade -= made->listing.files.size();
            taken = std::move(made->listing);
            break;
        }
    s.dropBefore(line); // the load is past those runs
    // A worker still behind the load skips what the load lists itself.
    if (!taken && !s.done && s.scanned.load() < line)
        s.skipTo = std::max(s.skipTo, line);
    return taken;
}

void FolderPrefetch::waitUntilAhead() {
    State& s = *state_;
    std::unique_lock lock(s.mutex);
    s.changed.wait(lock, [&s] { return s.done || s.full(); });
}

bool FolderPrefetch::State::full() const {
    return namesMade >= kMaxNamesAhead || qsizetype(made.size()) >= kMaxFoldersAhead;
}

void FolderPrefetch::State::dropBefore(qint64 line) {
    bool dropped = false;
    while (!made.empty() && made.front().firstLine <= line) {
        namesMade -= made.front().listing.files.size();
        made.pop_front();
        dropped = true;
    }
    if (dropped)
        changed.notify_all();
}

void FolderPrefetch::State::run(const QString& playlistPath) {
    try {
        scan(playlistPath);
    } catch (...) { // out of memory: the load lists what is left itself
    }
    {
        const std::lock_guard lock(mutex);
        listing.clear();
        done = true;
    }
    changed.notify_all();
    --workers;
}

void FolderPrefetch::State::scan(const QString& playlistPath) {
    const auto buffer = std::make_unique<char[]>(kListingBufferBytes);
    FileLines lines(playlistPath, kMaxPlaylistFileBytes);
    qint64 line = -1;
    QByteArray folder; // of the run the last line is in
    qint64 runStart = -1;
    qint64 runLength = 0;
    lines.forEach([&](QByteArrayView text) {
        scanned.store(++line, std::memory_order_relaxed);
        if (stopping.load(std::memory_order_relaxed))
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
bool FolderPrefetch::State::list(const QByteArray& folder, qint64 firstLine, char* buffer) {
    std::unique_lock lock(mutex);
    if (firstLine <= skipTo)
        return !stopping;
    changed.wait(lock, [this] { return stopping || !full(); });
    if (stopping || firstLine <= skipTo)
        return !stopping;
    listing = folder;
    lock.unlock();
    FolderListing listed = listFolder(folder, regularOnly, buffer, kListingBufferBytes, maxNamesPerFolder);
    lock.lock();
    listing.clear();
    namesMade += listed.files.size();
    made.push_back({folder, firstLine, std::move(listed)});
    changed.notify_all();
    return !stopping;
}

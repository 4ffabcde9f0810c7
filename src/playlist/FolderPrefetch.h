#pragma once
#include "playlist/FolderListing.h"
#include <QByteArray>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// Lists, on a worker thread and ahead of a load, the folders a .KVPL
// playlist file names: each run of two or more lines whose paths share a
// folder, in the order of the file. The load asks for a folder with the
// index of the line it is at, and gets the listing when the worker made it
// (waiting only while the worker lists that very folder); otherwise it lists
// the folder itself. Listings the load has passed by are dropped, and the
// worker starts no listing while kMaxNamesAhead names (or kMaxFoldersAhead
// listings) wait to be taken, so it never runs far ahead. Only the bytes of
// the file's lines are looked at: a line whose path the load reads otherwise
// (a file URL, a Windows-1252 file) merely finds no listing made.
class FolderPrefetch {
public:
    FolderPrefetch(const QString& playlistPath, bool regularOnly, qsizetype maxNamesPerFolder);
    ~FolderPrefetch();
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;

    std::optional<FolderListing> take(const QByteArray& folder, qint64 line);
    // Until the worker has listed as far ahead as it may, or has ended.
    void waitUntilAhead();

    static constexpr qsizetype kMaxNamesAhead = 50'000;
    static constexpr qsizetype kMaxFoldersAhead = 64;

private:
    struct Made {
        QByteArray folder;
        qint64 firstLine; // of the run of lines naming it
        FolderListing listing;
    };
    void run(const QString& playlistPath);
    void scan(const QString& playlistPath);
    bool list(const QByteArray& folder, qint64 firstLine, char* buffer);
    void dropBefore(qint64 line); // with mutex_ held
    bool full() const;            // with mutex_ held

    const bool regularOnly_;
    const qsizetype maxNamesPerFolder_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Made> made_;   // in file order
    qsizetype namesMade_ = 0; // in made_
    QByteArray listing_;      // the folder being listed now
    qint64 skipTo_ = -1;      // runs starting at or before this line are the load's own
    bool stop_ = false;
    bool done_ = false;
    std::atomic<bool> stopping_{false};
    std::atomic<qint64> scanned_{-1}; // the last line the worker looked at
    std::thread worker_;
};

#pragma once
#include "playlist/FolderListing.h"
#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

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
    // Tells the worker to stop, without waiting for it: a folder on a
    // network mount that hangs keeps the worker, never the load.
    ~FolderPrefetch();
    FolderPrefetch(const FolderPrefetch&) = delete;
    FolderPrefetch& operator=(const FolderPrefetch&) = delete;

    std::optional<FolderListing> take(const QByteArray& folder, qint64 line);
    // Until the worker has listed as far ahead as it may, or has ended.
    void waitUntilAhead();
    // Workers not ended yet, in the whole program.
    static int running();

    static constexpr qsizetype kMaxNamesAhead = 50'000;
    static constexpr qsizetype kMaxFoldersAhead = 64;

private:
    struct State; // shared with the worker, which may outlive the load
    std::shared_ptr<State> state_;
};

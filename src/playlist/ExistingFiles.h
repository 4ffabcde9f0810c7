#pragma once
#include "playlist/FolderPrefetch.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QString>
#include <QStringEncoder>
#include <deque>
#include <memory>

// Answers "is this an existing file (anything but a folder)?" for the many
// paths of one playlist load, as isExistingFile() does for one path. A
// folder named by more than one path is listed once, and the files it lists
// need no system call of their own, nor do those of a folder that is not
// there; everything the listing cannot settle
// (links, unknown types, names not listed) is asked for path by path. The
// listings held are bounded: past the bound the oldest are put aside (a
// folder is listed at most twice), so a playlist of a million files, folder
// after folder, is checked by listings and costs no more memory than that.
class ExistingFiles {
public:
    enum class Kind {
        AnyButFolder, // what a .KVPL load takes
        RegularOnly,  // regular files only (links followed)
    };
    explicit ExistingFiles(Kind kind = Kind::AnyButFolder) : kind_(kind) {}
    ExistingFiles(const ExistingFiles&) = delete;
    ExistingFiles& operator=(const ExistingFiles&) = delete;
    // pathBytes, when given, are the path's bytes as QFile::encodeName()
    // gives them, and spare encoding them again.
    bool operator()(const QString& path, QByteArrayView pathBytes = {});

    // The paths asked for from now on are those of the .KVPL file's lines,
    // one call a line in their order: its folders are listed ahead, on a
    // worker thread.
    void listAheadOf(const QString& playlistPath);
    // Until the worker has listed as far ahead as it may (for tests).
    void waitForListingsAhead() {
        if (ahead_)
            ahead_->waitUntilAhead();
    }

    static constexpr qsizetype kMaxNamesPerFolder = 50'000;
    static constexpr qsizetype kMaxNamesInAll = 50'000;

private:
    struct Folder {
        int seen = 0;
        int listings = 0;
        bool listed = false;
        bool unreachable = false; // missing, or not searchable
        FolderListing listing;
    };
    void list(const QByteArray& folder, Folder& into);
    bool checkOne(const QString& path) const;

    Kind kind_;

    QHash<QByteArray, Folder> folders_;
    std::deque<QByteArray> listedOrder_; // the folders listed, oldest first
    QByteArray lastPath_;                // the folder of the last path asked for
    Folder* last_ = nullptr;
    qsizetype namesHeld_ = 0;
    qint64 asked_ = -1; // calls so far, less one: the line of a load ahead of it
    QStringEncoder encoder_{QStringEncoder::System, QStringEncoder::Flag::Stateless};
    std::unique_ptr<char[]> bytes_; // the path asked for, encoded
    qsizetype bytesRoom_ = 0;
    std::unique_ptr<char[]> buffer_; // what the folders are listed into
    std::unique_ptr<FolderPrefetch> ahead_;
};

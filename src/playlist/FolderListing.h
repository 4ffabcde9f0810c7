#pragma once
#include "playlist/ByteSearch.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QSet>

// The file names of one folder, as a playlist load checks its paths against
// them: regular files (and, unless regularOnly, pipes, sockets and device
// files). Folders, links and unknown types are left out: those paths are
// asked for one by one.
struct FolderListing {
    enum class Outcome {
        Listed,
        Unreachable, // missing, or not searchable: no path inside is reachable
        NotListed,   // could not be read whole; may be tried again
        TooMany,     // more than the names allowed: never listed whole
    };
    Outcome outcome = Outcome::NotListed;
    QByteArray names;           // the names one after another, each ended by a zero byte
    QSet<QByteArrayView> files; // the names, seen in place in `names`
};

// What a folder is listed into, kept by the caller from folder to folder.
inline constexpr qsizetype kListingBufferBytes = 64 * 1024;

// Lists the folder with getdents64 into `buffer` (bufferBytes long); at most
// maxNames names.
FolderListing listFolder(const QByteArray& folder, bool regularOnly, char* buffer, qsizetype bufferBytes,
                         qsizetype maxNames);

// The folder part of a path's bytes, as it is listed: "." for a bare name,
// "/" for a file in the root.
inline QByteArrayView folderOfPath(QByteArrayView path) {
    const qsizetype slash = lastIndexOfByte(path, '/');
    if (slash < 0)
        return ".";
    return slash == 0 ? QByteArrayView("/") : path.first(slash);
}

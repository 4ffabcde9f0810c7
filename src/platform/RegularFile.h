#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Reading and replacing files that may be anything at all: a pipe, a device
// or a folder where a file was expected is never read, waited on or replaced.

enum class FileReadStatus {
    Read,
    Missing,    // nothing at the path
    NotRegular, // a folder, pipe, device or socket
    TooLarge,   // more than the bytes allowed
    Failed,     // could not be opened or read
};

struct FileRead {
    FileReadStatus status = FileReadStatus::Failed;
    QByteArray bytes;
};

// The whole content of a regular file of at most maxBytes (with `prefix`,
// its first maxBytes bytes, whatever its size). Opening does not block, so a
// pipe at the path never hangs the caller.
FileRead readRegularFile(const QString& path, qint64 maxBytes, bool prefix = false);

// True when nothing is at the path or a regular file is (links followed).
bool isRegularOrMissing(const QString& path);

// Writes the bytes to a temporary file beside the target, flushes it to disk
// and renames it over the target, then flushes the folder: after a crash or a
// power loss the target holds either the old or the new content. Refuses
// (false) when something other than a regular file is at the path.
bool replaceRegularFile(const QString& path, QByteArrayView bytes);

// Flushes a folder's entries (a rename into it) to disk.
bool syncFolder(const QString& folder);
// Flushes the folder that holds the path (after a rename or link made there).
bool syncFolderOf(const QString& path);

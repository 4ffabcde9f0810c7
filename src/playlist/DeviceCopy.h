#pragma once
#include <QString>
#include <atomic>

// Copies a file into a folder under a plain file name: first to a hidden temporary name in that folder, then
// renamed over the destination, so a file of that name is replaced only by a whole copy. A source that is
// the destination itself is left as it is. On failure the partial file is removed and the system's reason
// returned ("No space left on device"); an empty text means success, and `replaced` then tells whether the
// copy took the place of another file. Blocks: run it off the user-interface thread. Setting `stop` from
// another thread ends a copy under way within a few megabytes, as a failure.
QString copyIntoFolder(const QString& source, const QString& folder, const QString& fileName,
                       const std::atomic<bool>* stop = nullptr, bool* replaced = nullptr);

// Writes back everything cached for the file system holding the folder, so that what was copied is on the
// device before it may be unplugged. Blocks: run it off the user-interface thread.
void syncFileSystemOf(const QString& folder);

// Removes the hidden files that copies cut short by a crash or a kill left in the folder; a file still being
// written (a minute is allowed since its last write) stays. Blocks: run it off the user-interface thread.
void removeStaleCopies(const QString& folder);

#pragma once
#include <QString>

// Copies a file into a folder under a plain file name: first to a hidden temporary name in that folder, then
// renamed over the destination, so a file of that name is replaced only by a whole copy. On failure the
// partial file is removed and the reason returned; an empty text means success. Blocks: run it off the
// user-interface thread.
QString copyIntoFolder(const QString& source, const QString& folder, const QString& fileName);

// Writes back everything cached for the file system holding the folder, so that what was copied is on the
// device before it may be unplugged. Blocks: run it off the user-interface thread.
void syncFileSystemOf(const QString& folder);

#pragma once
#include <QString>

// Makes a rename inside a folder durable: after the rename of a temporary file
// over its target, a power loss could otherwise bring back neither the old nor
// the new name. True when the folder holding the path was flushed to disk.
bool syncFolderOf(const QString& path);

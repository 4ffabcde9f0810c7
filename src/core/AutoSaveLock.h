#pragma once
#include <QString>

// Only one player process restores and writes an auto-save file: the first to
// ask holds a lock beside it ("<path>.lock") until it ends. A lock left by a
// process that has ended is taken over.

// True when this process holds (or now takes) the lock of the auto-save file;
// a path other than the one held gives the old one up first.
bool ownsAutoSave(const QString& path);

// Gives the lock up (its file goes), as the process ends: its last step skips the destructors that would.
void giveUpAutoSave();

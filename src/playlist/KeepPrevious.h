#pragma once
#include <QString>

// An auto-save file that the start-up could not take whole (entries on a
// medium that is not plugged in, a damaged or oversized file) is kept beside
// itself before the shut-down replaces or deletes it, so nothing the user had
// is lost for good.

// "<path>.previous"
QString previousFilePath(const QString& path);

// Gives the regular file at the path the name previousFilePath(path),
// replacing an older one. The file keeps its own name too where the file
// system allows a second one (a hard link); elsewhere it is moved. False when
// nothing was kept: no regular file there, or the folder refused.
bool keepPreviousFile(const QString& path);

#pragma once
#include <QString>

// File facts the main window hands to other parts of the program: sizes,
// free space, and the full forms of paths.

// The file's length in bytes as decimal text; empty text for an empty path,
// a folder, or a file that is missing or not readable.
QString FileSize(const QString& file);

// The bytes free to this user on the volume holding the path; 0 when the path
// names no existing place or the volume cannot be measured.
double GetFreeSpaceOnDisk(const QString& path);

// The path with every component as the file system spells it. "\" and "/"
// both separate components; components are joined with "/". A trailing
// separator is kept. When the last component does not exist the argument
// comes back unchanged; an empty argument gives empty text.
QString sLongName(const QString& shortName);

// The top end (Y2) of the free-space bar in a box of the given height, in the
// box's own units: height x free / 125,000,000, at least 2, rounded to single
// precision. The bottom end is always the box height, so 125,000,000 free
// bytes or more leave the bar without visible length.
double freeSpaceBarTop(double boxHeight, double freeBytes);

// The path stored for a file added to a playlist: its absolute path when it
// exists (files and folders alike), with "." and ".." worked out; empty text
// otherwise. Symbolic links are kept as given, not resolved.
QString shortPath(const QString& fullPath);

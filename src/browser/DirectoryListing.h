#pragma once
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>

// Reading one folder the way the browser shows it. Hidden entries (names
// starting with ".") are left out, as a file manager does by default; only
// regular files count as files (no devices, pipes or sockets); a symbolic
// link counts as what it points to, and a broken one is left out. A name
// whose bytes are not UTF-8 is left out too: as text it would name another
// file.

// Browser order of names: letter case ignored, runs of digits compared by
// their value ("Track 2" before "Track 10"); names equal in that sense are
// ordered by their exact characters, so the order is total.
int compareBrowserNames(QStringView a, QStringView b);
void sortBrowserOrder(QStringList& names);

// Decides by its name whether a file is listed; an empty function lists all.
using FileNameFilter = std::function<bool(QStringView name)>;

struct FolderEntries {
    QStringList files;     // in browser order
    QStringList folders;   // in browser order
    bool readable = false; // false when the folder could not be opened
};

struct ListingRequest {
    bool files = true;
    bool folders = true;
    FileNameFilter fileFilter;
};

FolderEntries readFolder(const QString& folder, const ListingRequest& request = {});

// The subfolders of a folder, in browser order.
QStringList listSubfolders(const QString& folder);

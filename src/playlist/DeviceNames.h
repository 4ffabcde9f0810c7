#pragma once
#include <QString>
#include <optional>

// The names files get in the device folder.
namespace DeviceNames {

// A name a FAT-formatted player takes and that stays inside the folder: separators, the characters FAT
// refuses (\ / : * ? " < > |), control characters and trailing dots and blanks become "_"; "." and ".."
// and an empty name become "_" too.
QString plainName(const QString& name);

// No file system of a portable player takes a longer name (in UTF-8 bytes).
inline constexpr qsizetype kMaxNameBytes = 255;
// The name, cut before its extension to kMaxNameBytes when longer, never inside a character.
QString withinNameLimit(const QString& name);
// "name (n).ext", within the limit: the name of the n-th file a transfer meets under one name.
QString numbered(const QString& name, int n);

// The file name for a device-list entry. Without renaming: its display name. With renaming, from its full
// path split at every "/": in a root, the display name; in one folder, "Folder - File"; deeper, the last two
// folders and the file joined by " - ". Nothing when the path has no "/" at all (the transfer then ends).
// Every part is made plain, and the whole kept within the limit.
std::optional<QString> destinationName(const QString& displayName, const QString& longPath, bool renaming);

} // namespace DeviceNames

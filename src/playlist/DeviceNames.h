#pragma once
#include <QString>
#include <optional>

// The names files get in the device folder.
namespace DeviceNames {

// A name a FAT-formatted player takes and that stays inside the folder: separators, the characters FAT
// refuses (\ / : * ? " < > |), control characters and trailing dots and blanks become "_"; "." and ".."
// and an empty name become "_" too.
QString plainName(const QString& name);

// The file name for a device-list entry. Without renaming: its display name. With renaming, from its full
// path split at every separator: in a root, the display name; in one folder, "Folder - File"; deeper, the
// last two folders and the file joined by " - ". Nothing when the path has no separator at all (the transfer
// then ends). Every part is made plain.
std::optional<QString> destinationName(const QString& displayName, const QString& longPath, bool renaming);

} // namespace DeviceNames

#pragma once
#include <QString>

// The title of the information sheet's message box: the application's name.
inline const QString kTrackInfoTitle = QStringLiteral("Kivo Player");

// The plain-text information sheet of one playlist entry: its ID3v1 tag when
// the file has one, otherwise its name, type, size and long path. Lines are
// joined by CR LF (none after the last), labels and values by a TAB. The type
// is cut from the display name, not from the path. Never fails: a file that
// cannot be read gives the sheet without a tag.
QString BuildTrackInfo(const QString& path, const QString& displayName);

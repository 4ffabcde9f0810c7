#pragma once
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// Text files made here are UTF-8; files made on Windows are Windows-1252.
// A reader takes UTF-8 when the bytes are valid UTF-8 and Windows-1252 otherwise.

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(QByteArrayView bytes);
// Windows-1252; the five unassigned bytes keep their C1 code point, as
// Windows itself maps them.
QString fromWindows1252(QByteArrayView bytes);
// The Windows-1252 bytes of a text, or nothing when a character has none.
std::optional<QByteArray> toWindows1252(const QString& text);

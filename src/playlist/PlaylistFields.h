#pragma once
#include "playlist/TextView.h"
#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// The two fields of a "name*path" playlist line. A line cannot hold "*", CR
// or LF as they are, but file names on this system may: display names get
// look-alikes, and such paths are written as file URLs.

// A display name a line can hold: "*" becomes "∗" (U+2217), CR "␍" (U+240D)
// and LF "␊" (U+240A); any other name comes back unchanged.
QString playlistDisplayName(const QString& name);

// The bytes of the path field. The path as UTF-8 whenever the reader takes
// those bytes back as the same path (every path a Windows program writes);
// otherwise, for an absolute path, "file://" and the percent-encoded path
// (RFC 8089). Nothing for a relative path that would need a URL: it cannot be
// written so that it reads back the same.
std::optional<QByteArray> pathFieldBytes(const QString& path);

// The path a path field names when it is a file URL on this machine:
// "file://", an empty authority or "localhost", then the percent-encoded
// path, whose bytes must be UTF-8. Nothing for any other field, which is then
// a path as it stands.
std::optional<QString> pathFromFileUrl(QByteArrayView field);

// At least the bytes of the line "name*path" and its CR LF in a playlist
// file, and exactly that for any ordinary name and path; counted without
// encoding anything, so a million entries cost no time.
qint64 playlistLineBytes(TextView name, TextView path);

// UTF-8 bytes as text, a leading U+FEFF kept (QString::fromUtf8 drops it).
QString fromUtf8Field(QByteArrayView bytes);
// The same for bytes known to be valid UTF-8, into a text the caller keeps
// from field to field, so that a long read allocates nothing for it.
void fromValidUtf8Field(QByteArrayView bytes, QString& into);

// Whether the bytes hold "*", CR or LF, which a playlist line cannot.
bool breaksALine(QByteArrayView bytes);

#pragma once
#include <QString>

// How the player is known on the session bus and to the desktop.
namespace MprisNames {
inline const QString kService = QStringLiteral("org.mpris.MediaPlayer2.kivoplayer");
inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
inline const QString kIdentity = QStringLiteral("Kivo Player");
// The launcher's file name without ".desktop".
inline const QString kDesktopEntry = QStringLiteral("kivo-player");
} // namespace MprisNames

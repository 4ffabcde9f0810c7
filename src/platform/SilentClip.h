#pragma once
#include <QString>

// The half-second silent clip that the player is given after a stop, as a file mpv can open: the embedded
// WAV is written once per run to the temporary folder (again if something removed it) and deleted at exit.
// Returns an empty text when it cannot be written; the player treats that as a file it cannot play.
QString silentClipPath();

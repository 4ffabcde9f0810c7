#pragma once
#include "joystick/JoystickPolling.h"
#include <QString>
#include <array>

class Playlists;
class SettingsStore;
class SettingsTable;
struct AppState;

// The learn buttons of the options window and the store step, as captions and codes.
namespace JoystickAssignment {

using Captions = std::array<QString, kJoystickActionCount>; // in action order
using Codes = std::array<int, kJoystickActionCount>;

// "?" for an unassigned code (0 or below), else the code in decimal.
QString captionFor(int code);
// A learned code is taken off the other learn buttons that show it, except Random's and Copy to Other's,
// which are never cleared.
void ClearDuplicateButtons(Captions& captions, int code);
// The codes the captions stand for: "?" and "99" are unassigned and get distinct codes from -8 upwards in
// action order, which never match; any other caption its number, rounded to a 16-bit whole number.
Codes codesFrom(const Captions& captions);
// Writes "JoyStick Used" ("T"/"F") and the nine codes.
void store(SettingsStore& store, const SettingsTable& table, bool joystickUsed, const Codes& codes);

// Copy to Other: while a track plays, its entry is appended to the other of A and B (two tabs), or to the
// device list C unless C is in view (three tabs), even when C is the playing list. Returns whether an entry
// was added.
bool copyPlayingToOther(Playlists& playlists, const AppState& state, bool playing);

} // namespace JoystickAssignment

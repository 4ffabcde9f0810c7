#pragma once
#include "settings/ReplayGain.h"
#include "settings/SettingsExport.h"
#include <QString>
#include <array>
#include <optional>

class SettingsStore;
class SettingsTable;
struct AppState;

// The options window's rules, apart from its widgets: what its controls show
// when it opens, what OK stores, the extension boxes' add and check rules,
// and what an export writes and an import changes.
namespace OptionRules {

inline const QString kCaption = QStringLiteral("Kivo Player Options V7.01256");
// The device box's text before the window fills it.
inline const QString kDesignDevicePath = QStringLiteral("/mnt/");
inline const QString kUnassigned = QStringLiteral("?");

// The values of the window's controls.
struct Controls {
    bool onTop = false;
    bool closeOnFinish = false;
    bool playlistOnExit = false;
    bool startAtSOE = false;
    bool joystickOn = false;
    bool screenOnTop = false;
    bool deviceTab = false;
    bool nameConvert = false;
    QString devicePath;
    ReplayGain replayGain;
    bool gapless = true;
    QString patternBox;
    QString videoBox;
    std::array<QString, 10> captions;
    std::array<QString, 9> learnCaptions; // in stored order: PlayStop, Exit, Paws, ...
};

// What the controls are filled with when the window opens, from the store and
// the running settings; mainCaptions are the main window's preset captions.
struct Opening {
    Controls controls;
    bool joystickKnown = false; // "JoyStick Used" was "T" or "F": the box is filled
    bool autoSave = false;      // the auto-save switch after the fill
};
Opening opening(const SettingsStore& store, const SettingsTable& table, const AppState& state,
                const std::array<QString, 10>& mainCaptions);

// A learn button's caption for a stored code.
QString learnCaption(int code);

// An extension box at OK or export: its lines are joined with ";"; a text
// ending in "*", "." or ";" is set back to the current list, any other text
// becomes the list.
struct BoxCheck {
    QString text;
    bool accepted = false;
};
BoxCheck checkBox(const QString& box, const QString& current);

// "Add Extension": the entry gets "*." in front unless it has it; it is
// appended to the box unless one of the box's pieces equals it.
struct PatternAdd {
    QString entry; // the add box's new text
    QString box;
};
PatternAdd addPattern(const QString& box, const QString& entry);
// "Add" of the video tab: appended unless the box holds the row anywhere.
QString addVideo(const QString& box, const QString& row);

// What OK! writes and applies, after the joystick assignment and the colour. The store's "Presets" and
// "Screen" groups are written only when the window's changed flag is set.
struct OkResult {
    BoxCheck patterns;
    BoxCheck videos;
};
OkResult applyOk(SettingsStore& store, const SettingsTable& table, AppState& state, const Controls& controls,
                 bool changed);

// What an export writes, the two extension boxes already checked.
SettingsExport::Values exportValues(const Controls& controls, AppState& state);

// One imported line: the running settings it names change at once, the
// controls it names take their new values (the window then gives them the
// effects a user's change has). Unknown keys change nothing. A value is not
// taken (false) when it could name a file a dialog would not have given (the
// auto-save path must be absolute and end in ".KVPL", a preset folder
// absolute) or a number is out of its setting's range.
bool applyImport(const SettingsExport::Line& line, Controls& controls, AppState& state);
// No path is longer, and no extension list of a real export comes near: a
// longer imported value is not taken, so the settings file stays readable.
inline constexpr qsizetype kMaxImportedValue = 4096;

// Exit after an import: the running settings go back to what they were
// before it (playback is left as it is).
void restoreSettings(AppState& state, const AppState& before);

} // namespace OptionRules

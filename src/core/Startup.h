#pragma once
#include <QColor>
#include <QString>
#include <QStringList>

class Dialogs;
class KeyState;
class Playlists;
class SettingsStore;
class SettingsTable;
struct AppState;
struct MainWindowState;

// What start-up asks of the main window's controls.
class StartupView {
public:
    virtual ~StartupView() = default;
    virtual void setWindowSizeTwips(int width, int height) = 0;
    virtual void setPresetCaption(int index, const QString& caption) = 0;
    virtual void pressOnTop() = 0;
    virtual void applyPanelColour(const QColor& colour) = 0;
    // Opens the file browser in the folder holding the auto-save file; throws
    // when the browser refuses the folder.
    virtual void openStartFolder(const QString& autoSavePath) = 0;
    virtual void setJoystickPolling(bool on) = 0;
    virtual void setTimeDisplayRemaining() = 0;
    virtual void setBrowserPattern(const QString& pattern) = 0;
    virtual void fitSmallButtons() = 0;
    virtual void setMarkerColour(const QColor& colour) = 0;
    virtual void showCount(int count) = 0;
    virtual void enableClearAll() = 0;
};

struct LifecycleContext {
    SettingsStore& store;
    const SettingsTable& table;
    KeyState& keys;
    Dialogs& dialogs;
    AppState& state;
    MainWindowState& fields;
    Playlists& playlists;
};

// The main window's load: reads every setting into the shared state, restores
// playlist A, applies the colours and handles the command line. Each step that
// can fail is guarded on its own: a failure skips that step and start-up goes
// on. Returns the names of the steps that failed.
QStringList runStartup(LifecycleContext& context, StartupView& view, const QString& loginName,
                       const QString& commandLine);

// A playlist on the command line, loaded as at start-up: into A, or into B
// (shown) when A holds entries. False when the command line names none.
bool loadCommandLinePlaylist(Playlists& playlists, const QString& commandLine, Dialogs& dialogs);

// %1: the auto-save file another player holds.
inline const QString kAutoSaveInUse = QStringLiteral(
    "Another Kivo Player uses the auto-save playlist %1: this one neither loads it nor saves to it.");

// The main window's unload, after the video window is gone: stores the time
// display mode and writes (or deletes) the auto-save playlist.
void runShutdown(LifecycleContext& context, const QString& timeModeText);

#include "core/Startup.h"
#include "core/AppState.h"
#include "core/AutoSaveLock.h"
#include "core/CommandLine.h"
#include "core/MainWindowState.h"
#include "core/StartColour.h"
#include "platform/Dialogs.h"
#include "platform/KeyState.h"
#include "playlist/PlaylistFileOps.h"
#include "playlist/PlaylistKinds.h"
#include "playlist/Playlists.h"
#include "settings/SettingValue.h"
#include "settings/SettingsTable.h"
#include <exception>
#include <functional>

namespace {

// Runs one step; a failure is recorded and the next step goes on.
class StepRunner {
public:
    void operator()(const char* name, const std::function<void()>& step) {
        try {
            step();
        } catch (const std::exception&) {
            failed_ << QString::fromLatin1(name);
        }
    }
    QStringList failed() const { return failed_; }

private:
    QStringList failed_;
};

} // namespace

QStringList runStartup(LifecycleContext& c, StartupView& view, const QString& loginName,
                       const QString& commandLine) {
    using namespace SettingValue;
    StepRunner step;
    AppState& s = c.state;
    auto read = [&](const SettingDef& def) {
        return readSetting(c.store, def);
    };

    step("login name", [&] { s.loginName = loginName; });
    step("first tab", [&] {
        c.playlists.setShown(Playlists::kA);
        c.fields.randomColour = false;
        c.fields.elapsedMode = true;
        view.setJoystickPolling(false);
    });
    step("window size", [&] { view.setWindowSizeTwips(6470, 4800); });
    step("window fields", [&] {
        c.fields.fullSize = true;
        s.currentEntry = 0;
        s.queueEmpty = false;
        c.fields.commandBarOpen = false;
        c.fields.volume = 0;
    });
    step("preset folders", [&] {
        for (int i = 0; i < AppState::kPresetCount; ++i)
            s.presetFolders[i] = read(c.table.preset(i));
    });
    step("preset captions", [&] {
        for (int i = 0; i < AppState::kPresetCount; ++i)
            view.setPresetCaption(i, read(c.table.preName(i)));
    });
    step("video on top", [&] { s.videoOnTop = isOn(read(c.table.vStayOnTop())); });
    step("on top", [&] {
        s.onTop = isOn(read(c.table.onTop()));
        if (s.onTop)
            view.pressOnTop();
    });
    step("start colour", [&] { s.startColour = toColour(read(c.table.colorToStart())); });
    step("close on finish", [&] { s.closeOnFinish = isOn(read(c.table.closeOnFinish())); });
    step("auto-save switch", [&] { s.autoSave = isOn(read(c.table.playlistOnExit())); });
    step("auto-save path", [&] { s.autoSavePath = read(c.table.autoSavePath()); });
    step("auto-save lock", [&] {
        if (s.autoSave && !ownsAutoSave(s.autoSavePath))
            c.dialogs.message(kAutoSaveInUse.arg(s.autoSavePath), QStringLiteral("Problem!"));
    });
    step("playlist restore", [&] {
        if (!c.keys.shiftHeld() && s.autoSave && ownsAutoSave(s.autoSavePath) &&
            loadPlaylist(c.playlists.shown(), s.autoSavePath, c.dialogs) == PlaylistLoad::Partial)
            s.incompleteRestorePath = s.autoSavePath;
    });
    step("panel colour", [&] { view.applyPanelColour(colourFromValue(s.startColour)); });
    step("joystick switch", [&] {
        if (const auto used = joystickUsed(read(c.table.joystickUsed())))
            s.joystickUsed = *used;
    });
    for (int i = 0; i < AppState::kJoystickActionCount; ++i)
        step("joystick code", [&] { s.joystickCodes[i] = toInt16(read(c.table.joystickCode(i))); });
    step("start folder", [&] {
        if (isOn(read(c.table.soeStartPath())))
            view.openStartFolder(s.autoSavePath);
    });
    step("joystick polling", [&] { view.setJoystickPolling(s.joystickUsed); });
    step("time display", [&] {
        if (remainingTime(read(c.table.eorR()))) {
            view.setTimeDisplayRemaining();
            c.fields.elapsedMode = false;
        }
    });
    step("pattern list", [&] {
        s.patternList = read(c.table.addedExten());
        view.setBrowserPattern(s.patternList);
    });
    step("video list", [&] { s.videoList = read(c.table.vidExten()); });
    step("device tab", [&] {
        s.deviceTab = toTruth(read(c.table.deviceTab()));
        if (s.deviceTab) {
            c.playlists.setTabCount(3);
            c.playlists.setShown(Playlists::kDevice);
            c.playlists.setShown(Playlists::kA);
        }
    });
    step("name convert", [&] { s.nameConvert = nonZero(read(c.table.nameConvert())); });
    step("device path", [&] { s.devicePath = read(c.table.devicePath()); });
    // Unreadable texts leave the defaults.
    step("replay gain", [&] {
        s.replayGain.mode = ReplayGain::modeFrom(read(c.table.replayGain())).value_or(s.replayGain.mode);
        s.replayGain.preampDb =
            ReplayGain::preampFrom(read(c.table.replayGainPreamp())).value_or(s.replayGain.preampDb);
    });
    step("gapless", [&] { s.gapless = toTruth(read(c.table.gapless())); });
    step("search mode", [&] { c.fields.searchSingle = true; });
    step("hidden switch", [&] {
        if (commandLineListsEveryFile(commandLine))
            view.setBrowserPattern(QStringLiteral("*.*"));
    });
    step("command-line playlist", [&] { loadCommandLinePlaylist(c.playlists, commandLine, c.dialogs); });
    step("small buttons", [&] { view.fitSmallButtons(); });
    step("marker colour", [&] {
        SplitStartColor(s);
        view.setMarkerColour(markerColour(s.red, s.green, s.blue));
    });
    step("count label", [&] {
        view.showCount(c.playlists.shown().count());
        view.enableClearAll();
    });
    return step.failed();
}

bool loadCommandLinePlaylist(Playlists& playlists, const QString& commandLine, Dialogs& dialogs) {
    const QString path = commandLinePlaylist(commandLine);
    if (path.isEmpty())
        return false;
    if (!playlists.at(Playlists::kA).isEmpty())
        playlists.setShown(Playlists::kB);
    LoadPlaylistFile(playlists.shown(), path, dialogs);
    return true;
}

void runShutdown(LifecycleContext& c, const QString& timeModeText) {
    writeSetting(c.store, c.table.eorR(), timeModeText);
    reportStoreFailure(c.store, c.dialogs);
    const AppState& s = c.state;
    // Another player's auto-save file is not this one's to write or delete.
    if (s.autoSave && !ownsAutoSave(s.autoSavePath))
        return;
    const bool keepPrevious = !s.incompleteRestorePath.isEmpty() && s.incompleteRestorePath == s.autoSavePath;
    shutdownSavePlaylist(c.playlists.at(Playlists::kA),
                         {s.autoSave, c.keys.shiftHeld(), s.autoSavePath, keepPrevious}, c.dialogs);
}

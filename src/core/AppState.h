#pragma once
#include "settings/ReplayGain.h"
#include <QString>
#include <array>

// The state the whole program shares for the run: the settings start-up reads
// and the flags that playback, the playlists and the windows hand each other.
struct AppState {
    static constexpr int kPresetCount = 10;
    static constexpr int kJoystickActionCount = 9;

    QString loginName;
    std::array<QString, kPresetCount> presetFolders;

    bool onTop = false;
    bool videoOnTop = false;
    // 0x00BBGGRR; starts as the panels' design colour (light grey), which a
    // stored colour that cannot be read leaves in place.
    double startColour = 0xC0C0C0;
    int red = 0, green = 0, blue = 0; // current panel colour, split
    bool closeOnFinish = false;
    bool autoSave = false;
    QString autoSavePath;
    // The auto-save file the start-up restore did not take whole; empty when
    // it did (or there was none).
    QString incompleteRestorePath;
    bool joystickUsed = false;
    std::array<int, kJoystickActionCount> joystickCodes{};
    QString patternList;
    QString videoList;
    bool deviceTab = false;
    bool nameConvert = false;
    QString devicePath;
    ReplayGain replayGain;
    // The next track is handed to the engine ahead, so that audio runs on without a gap.
    bool gapless = true;

    // Playback.
    int playingPlaylist = 0;
    int currentEntry = 0;
    // The id of the entry playing, which Skip and the end of the track take
    // out wherever edits have put it; 0 when what plays is no entry (a file
    // played from the browser).
    quint64 playingEntry = 0;
    QString selectedPath;
    bool stopped = false;
    bool ignoreEnd = false;
    bool queueEmpty = false;
};

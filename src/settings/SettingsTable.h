#pragma once
#include <QString>
#include <vector>

class Dialogs;
class SettingsStore;

// One stored option: where it lives and the value used when it is missing.
struct SettingDef {
    QString section;
    QString key;
    QString fallback;
};

// The one table of every section, key and default the player stores. The
// defaults that name places point into the user's own home and media folders.
class SettingsTable {
public:
    SettingsTable(const QString& loginName, const QString& homeFolder);

    static constexpr int kPresetCount = 10;
    static constexpr int kJoystickActionCount = 9;

    SettingDef preset(int i) const;
    SettingDef preName(int i) const;
    SettingDef onTop() const;
    SettingDef colorToStart() const;
    SettingDef closeOnFinish() const;
    SettingDef playlistOnExit() const;
    SettingDef autoSavePath() const;
    SettingDef soeStartPath() const;
    SettingDef vStayOnTop() const;
    SettingDef joystickUsed() const;
    // Button codes in stored order: PlayStop, Exit, Paws, Skip, Bring To Top,
    // Special1, Special2, Random, CopyToOther.
    SettingDef joystickCode(int action) const;
    SettingDef eorR() const;
    SettingDef addedExten() const;
    SettingDef vidExten() const;
    SettingDef deviceTab() const;
    SettingDef nameConvert() const;
    SettingDef devicePath() const;
    // "off", "track" or "album", and the pre-amp in dB (ReplayGain).
    SettingDef replayGain() const;
    SettingDef replayGainPreamp() const;
    // "1"/"0": the next track is handed to the engine ahead of the end of the current one.
    SettingDef gapless() const;

    // Every entry, in the order start-up reads them.
    std::vector<SettingDef> all() const;

    QString defaultFolder() const { return home_; }
    QString defaultAutoSavePath() const;

private:
    QString login_;
    QString home_;
};

QString readSetting(const SettingsStore& store, const SettingDef& def);
void writeSetting(SettingsStore& store, const SettingDef& def, const QString& value);
// Tells the user in a "Problem!" box when the store's last write or batch was
// not stored; true when it told.
bool reportStoreFailure(const SettingsStore& store, Dialogs& dialogs);

// M3U playlists are listed beside the player's own, so that the browser and
// drops load them.
inline const QString kDefaultPatternList =
    QStringLiteral("*.kvpl;*.m3u;*.m3u8;*.vob;*.asf;*.wav;*.mid;*.mp3;*.mp2;*.mp4;*.mpeg;*.mpg;*.mpe;*.avi;*."
                   "mov;*.mpa;*.asx");
inline const QString kDefaultVideoList = QStringLiteral("*.avi;*.mpg;*.mpeg");

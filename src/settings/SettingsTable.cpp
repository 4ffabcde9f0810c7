#include "settings/SettingsTable.h"
#include "platform/Dialogs.h"
#include "platform/SettingsStore.h"
#include <array>

namespace {
const QString kPresets = QStringLiteral("Presets");
const QString kScreen = QStringLiteral("Screen");
const QString kJoyStick = QStringLiteral("JoyStick");
const QString kOther = QStringLiteral("OtherSettings");

const std::array<const char*, SettingsTable::kJoystickActionCount> kJoystickKeys = {
    "PlayStop", "Exit", "Paws", "Skip", "Bring To Top", "Special1", "Special2", "Random", "CopyToOther"};

QString withTrailingSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

SettingsTable::SettingsTable(const QString& loginName, const QString& homeFolder)
    : login_(loginName), home_(withTrailingSlash(homeFolder)) {}

QString SettingsTable::defaultAutoSavePath() const {
    return home_ + QStringLiteral("TempSave.KVPL");
}

SettingDef SettingsTable::preset(int i) const {
    return {kPresets, QStringLiteral("Preset %1").arg(i), home_};
}
SettingDef SettingsTable::preName(int i) const {
    return {kPresets, QStringLiteral("PreName %1").arg(i), QString::number(i + 1)};
}
SettingDef SettingsTable::onTop() const {
    return {kPresets, QStringLiteral("On Top"), QStringLiteral("0")};
}
SettingDef SettingsTable::colorToStart() const {
    return {kPresets, QStringLiteral("ColorToStart"), QStringLiteral("12632256")};
}
SettingDef SettingsTable::closeOnFinish() const {
    return {kPresets, QStringLiteral("Close On Finish"), QStringLiteral("2")};
}
SettingDef SettingsTable::playlistOnExit() const {
    return {kPresets, QStringLiteral("PlayList on Exit"), QStringLiteral("0")};
}
SettingDef SettingsTable::autoSavePath() const {
    return {kPresets, QStringLiteral("Auto Save Path"), defaultAutoSavePath()};
}
SettingDef SettingsTable::soeStartPath() const {
    return {kPresets, QStringLiteral("SOEStartPath"), QStringLiteral("0")};
}
SettingDef SettingsTable::vStayOnTop() const {
    return {kScreen, QStringLiteral("VStayOnTop"), QStringLiteral("0")};
}
SettingDef SettingsTable::joystickUsed() const {
    return {kJoyStick, QStringLiteral("JoyStick Used"), QStringLiteral("F")};
}
SettingDef SettingsTable::joystickCode(int action) const {
    return {kJoyStick, QString::fromLatin1(kJoystickKeys.at(action)), QString::number(-(action + 1))};
}
SettingDef SettingsTable::eorR() const {
    return {kOther, QStringLiteral("EorR"), QStringLiteral("E")};
}
SettingDef SettingsTable::addedExten() const {
    return {kOther, QStringLiteral("AddedExten"), kDefaultPatternList};
}
SettingDef SettingsTable::vidExten() const {
    return {kOther, QStringLiteral("VidExten"), kDefaultVideoList};
}
SettingDef SettingsTable::deviceTab() const {
    return {kOther, QStringLiteral("DeviceTab"), QStringLiteral("0")};
}
SettingDef SettingsTable::nameConvert() const {
    return {kOther, QStringLiteral("NameConvert"), QStringLiteral("0")};
}
SettingDef SettingsTable::devicePath() const {
    return {kOther, QStringLiteral("DevicePath"), QStringLiteral("/media/%1/").arg(login_)};
}
SettingDef SettingsTable::replayGain() const {
    return {kOther, QStringLiteral("ReplayGain"), QStringLiteral("track")};
}
SettingDef SettingsTable::replayGainPreamp() const {
    return {kOther, QStringLiteral("ReplayGainPreamp"), QStringLiteral("0")};
}
SettingDef SettingsTable::gapless() const {
    return {kOther, QStringLiteral("Gapless"), QStringLiteral("1")};
}

std::vector<SettingDef> SettingsTable::all() const {
    std::vector<SettingDef> table;
    for (int i = 0; i < kPresetCount; ++i)
        table.push_back(preset(i));
    for (int i = 0; i < kPresetCount; ++i)
        table.push_back(preName(i));
    for (const SettingDef& def : {vStayOnTop(), onTop(), colorToStart(), closeOnFinish(), playlistOnExit(),
                                  autoSavePath(), joystickUsed()})
        table.push_back(def);
    for (int i = 0; i < kJoystickActionCount; ++i)
        table.push_back(joystickCode(i));
    for (const SettingDef& def : {soeStartPath(), eorR(), addedExten(), vidExten(), deviceTab(),
                                  nameConvert(), devicePath(), replayGain(), replayGainPreamp(), gapless()})
        table.push_back(def);
    return table;
}

QString readSetting(const SettingsStore& store, const SettingDef& def) {
    return store.read(def.section, def.key, def.fallback);
}

void writeSetting(SettingsStore& store, const SettingDef& def, const QString& value) {
    store.write(def.section, def.key, value);
}

bool reportStoreFailure(const SettingsStore& store, Dialogs& dialogs) {
    const QString failure = store.writeFailure();
    if (failure.isEmpty())
        return false;
    dialogs.message(QStringLiteral("The settings could not be stored: %1.").arg(failure),
                    QStringLiteral("Problem!"));
    return true;
}

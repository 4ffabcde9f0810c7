#include "settings/OptionRules.h"
#include "core/AppState.h"
#include "platform/SettingsStore.h"
#include "playlist/PlaylistFile.h"
#include "settings/SettingValue.h"
#include "settings/SettingsTable.h"
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace OptionRules {
namespace {

// A stored switch that cannot be read counts as off.
template <typename Read> bool readOr(Read read, const QString& text, bool fallback = false) {
    try {
        return read(text);
    } catch (const SettingFormatError&) {
        return fallback;
    }
}

QString switchText(bool on, const char* onText = "1", const char* offText = "0") {
    return QString::fromLatin1(on ? onText : offText);
}

bool endsRefused(const QString& text) {
    return text.endsWith(QLatin1Char('*')) || text.endsWith(QLatin1Char('.')) ||
           text.endsWith(QLatin1Char(';'));
}

bool isOne(const QString& value) {
    return SettingsExport::leadingNumber(value) == 1;
}

} // namespace

Opening opening(const SettingsStore& store, const SettingsTable& table, const AppState& state,
                const std::array<QString, 10>& mainCaptions) {
    auto read = [&](const SettingDef& def) {
        return readSetting(store, def);
    };
    Opening o;
    Controls& c = o.controls;
    c.onTop = state.onTop || readOr(SettingValue::isOn, read(table.onTop()));
    c.playlistOnExit = state.autoSave;
    c.patternBox = state.patternList;
    c.videoBox = state.videoList;
    const std::optional<bool> joystick = SettingValue::joystickUsed(read(table.joystickUsed()));
    o.joystickKnown = joystick.has_value();
    c.joystickOn = joystick.value_or(false);
    for (int i = 0; i < SettingsTable::kJoystickActionCount; ++i) {
        int code = 0;
        try {
            code = SettingValue::toInt16(read(table.joystickCode(i)));
        } catch (const SettingFormatError&) {
        }
        c.learnCaptions[i] = learnCaption(code);
    }
    c.screenOnTop = readOr(SettingValue::isOn, read(table.vStayOnTop()));
    c.captions = mainCaptions;
    c.closeOnFinish = readOr(SettingValue::isOn, read(table.closeOnFinish()));
    o.autoSave = readOr(SettingValue::isOn, read(table.playlistOnExit()));
    c.startAtSOE = readOr(SettingValue::nonZero, read(table.soeStartPath()));
    c.deviceTab = state.deviceTab;
    c.devicePath = state.devicePath;
    c.nameConvert = state.nameConvert;
    c.replayGain = state.replayGain;
    c.gapless = state.gapless;
    return o;
}

QString learnCaption(int code) {
    return code > 0 ? QString::number(code) : kUnassigned;
}

BoxCheck checkBox(const QString& typed, const QString& current) {
    // The boxes have several lines, the lists one: a line break separates
    // entries as ";" does, and blank lines are no entries.
    QStringList lines = typed.split(QRegularExpression(QStringLiteral("[\\r\\n]+")));
    lines.removeIf([](const QString& line) { return line.trimmed().isEmpty(); });
    const QString box = lines.size() > 1 ? lines.join(QLatin1Char(';')) : lines.value(0);
    if (endsRefused(box))
        return {current, false};
    return {box, true};
}

PatternAdd addPattern(const QString& box, const QString& entry) {
    PatternAdd result{entry, box};
    if (!result.entry.startsWith(QLatin1String("*.")))
        result.entry.prepend(QLatin1String("*."));
    if (!box.split(QLatin1Char(';')).contains(result.entry))
        result.box = box + QLatin1Char(';') + result.entry;
    return result;
}

QString addVideo(const QString& box, const QString& row) {
    return box.contains(row) ? box : box + QLatin1Char(';') + row;
}

OkResult applyOk(SettingsStore& store, const SettingsTable& table, AppState& state, const Controls& controls,
                 bool changed) {
    auto write = [&](const SettingDef& def, const QString& value) {
        writeSetting(store, def, value);
    };
    if (changed) {
        write(table.vStayOnTop(), switchText(controls.screenOnTop));
        for (int i = 0; i < SettingsTable::kPresetCount; ++i)
            write(table.preset(i), state.presetFolders[i]);
        for (int i = 0; i < SettingsTable::kPresetCount; ++i)
            write(table.preName(i), controls.captions[i]);
        write(table.onTop(), switchText(controls.onTop));
        write(table.colorToStart(), QString::number(static_cast<qint64>(std::llround(state.startColour))));
        write(table.closeOnFinish(), switchText(controls.closeOnFinish, "1", "2"));
        state.autoSave = controls.playlistOnExit;
        write(table.playlistOnExit(), switchText(controls.playlistOnExit));
        write(table.autoSavePath(), state.autoSavePath);
        write(table.soeStartPath(), switchText(controls.startAtSOE));
    }
    OkResult result;
    result.patterns = checkBox(controls.patternBox, state.patternList);
    if (result.patterns.accepted)
        state.patternList = result.patterns.text;
    write(table.addedExten(), result.patterns.text);
    write(table.deviceTab(), switchText(controls.deviceTab));
    state.devicePath = controls.devicePath;
    write(table.devicePath(), controls.devicePath);
    state.nameConvert = controls.nameConvert;
    write(table.nameConvert(), switchText(controls.nameConvert));
    state.replayGain = controls.replayGain;
    write(table.replayGain(), ReplayGain::modeText(controls.replayGain.mode));
    write(table.replayGainPreamp(), QString::number(controls.replayGain.preampDb));
    state.gapless = controls.gapless;
    write(table.gapless(), switchText(controls.gapless));
    result.videos = checkBox(controls.videoBox, state.videoList);
    if (result.videos.accepted)
        state.videoList = result.videos.text;
    write(table.vidExten(), result.videos.text);
    state.closeOnFinish = controls.closeOnFinish;
    return result;
}

SettingsExport::Values exportValues(const Controls& controls, AppState& state) {
    SettingsExport::Values v;
    v.caption = kCaption;
    v.presets = state.presetFolders;
    v.preNames = controls.captions;
    v.onTop = controls.onTop ? 1 : 0;
    v.startColour = state.startColour;
    v.closeOnFinish = controls.closeOnFinish;
    v.playlistOnExit = controls.playlistOnExit;
    v.autoSavePath = state.autoSavePath;
    v.soeStartPath = controls.startAtSOE ? 1 : 0;
    const BoxCheck patterns = checkBox(controls.patternBox, state.patternList);
    state.patternList = patterns.text;
    v.addedExten = patterns.text;
    v.showTabC = controls.deviceTab;
    v.devicePath = controls.devicePath;
    v.nameConvert = controls.nameConvert;
    const BoxCheck videos = checkBox(controls.videoBox, state.videoList);
    state.videoList = videos.text;
    v.vidExten = videos.text;
    v.useJoystick = state.joystickUsed;
    v.joystickCodes = state.joystickCodes;
    return v;
}

bool applyImport(const SettingsExport::Line& line, Controls& controls, AppState& state) {
    const QString& key = line.key;
    const QString& value = line.value;
    if (value.size() > kMaxImportedValue || value.contains(QChar(0)))
        return false;
    const bool absolute = value.startsWith(QLatin1Char('/'));
    for (int i = 0; i < SettingsTable::kPresetCount; ++i) {
        if (key == QStringLiteral("PRESET%1").arg(i)) {
            if (absolute)
                state.presetFolders[i] = value;
            return absolute;
        }
        if (key == QStringLiteral("PRENAME%1").arg(i)) {
            controls.captions[i] = value;
            return true;
        }
    }
    const double number = SettingsExport::leadingNumber(value);
    for (int i = 0; i < SettingsTable::kJoystickActionCount; ++i) {
        if (key == SettingsExport::kJoystickKeys[i].toUpper()) {
            // The range checked before the cast: a stored code is a 16-bit number.
            if (!(number >= -32768 && number <= 32767))
                return false;
            controls.learnCaptions[i] = QString::number(static_cast<qint64>(number));
            return true;
        }
    }
    if (key == QLatin1String("COLORTOSTART")) {
        if (!(number >= 0 && number <= 0xFFFFFF))
            return false;
        state.startColour = number;
    } else if (key == QLatin1String("AUTOSAVEPATH")) {
        // Nor a file that is there, but the one in use: the close would replace or delete it.
        const QFileInfo there(value);
        if (!absolute || !isPlaylistFile(value) ||
            ((there.exists() || there.isSymLink()) && value != state.autoSavePath))
            return false;
        state.autoSavePath = value;
    } else if (key == QLatin1String("ONTOP"))
        controls.onTop = isOne(value);
    else if (key == QLatin1String("CLOSEONFINISH"))
        controls.closeOnFinish = isOne(value);
    else if (key == QLatin1String("SAVEPLAYLISTONEXIT"))
        controls.playlistOnExit = isOne(value);
    else if (key == QLatin1String("SOESTARTPATH"))
        controls.startAtSOE = isOne(value);
    else if (key == QLatin1String("ADDEDEXTEN"))
        controls.patternBox = value;
    else if (key == QLatin1String("SHOWTABC"))
        controls.deviceTab = isOne(value);
    else if (key == QLatin1String("DEVICEPATH"))
        controls.devicePath = value;
    else if (key == QLatin1String("DNSTOAATSN"))
        controls.nameConvert = isOne(value);
    else if (key == QLatin1String("VIDEXTEN"))
        controls.videoBox = value;
    else if (key == QLatin1String("USEJOYSTICK"))
        controls.joystickOn = isOne(value);
    return true;
}

void restoreSettings(AppState& state, const AppState& before) {
    state.presetFolders = before.presetFolders;
    state.onTop = before.onTop;
    state.videoOnTop = before.videoOnTop;
    state.startColour = before.startColour;
    state.closeOnFinish = before.closeOnFinish;
    state.autoSave = before.autoSave;
    state.autoSavePath = before.autoSavePath;
    state.joystickUsed = before.joystickUsed;
    state.joystickCodes = before.joystickCodes;
    state.patternList = before.patternList;
    state.videoList = before.videoList;
    state.deviceTab = before.deviceTab;
    state.nameConvert = before.nameConvert;
    state.devicePath = before.devicePath;
}

} // namespace OptionRules

#include "core/AppState.h"
#include "platform/MemorySettingsStore.h"
#include "settings/OptionRules.h"
#include "settings/SettingValue.h"
#include "settings/SettingsExport.h"
#include "settings/SettingsTable.h"
#include "support/QtPrint.h"
#include "support/TempDir.h"

namespace {
using namespace OptionRules;
using namespace SettingsExport;
using namespace Qt::StringLiterals;
constexpr int no = -99999; // refused

template <auto read> int asNumber(const QString& text) {
    try {
        return int(read(text));
    } catch (const SettingFormatError&) {
        return no;
    }
}

// Each stored value has its own reading rule.
TEST(StoredValues, EachKeyIsReadByItsOwnRule) {
    using namespace SettingValue;
    const std::tuple<int (*)(const QString&), const char*, std::vector<int>> rules[] = {
        {asNumber<isOn>, "1|1.0| 1 |2|-1|on||1e400", {1, 1, 1, 0, 0, no, no, no}},
        {asNumber<toTruth>, "True|true|1|False|0|yes", {1, 1, 1, 0, 0, no}},
        {asNumber<toInt16>, "2.5|3.5|&H10|32767|32768|x|&Hzz|1e300", {2, 4, 16, 32767, no, no, no, no}},
        {asNumber<toColour>, "16777215.4|&HFF|-1|16777215.5|nan|&H1000000", {16777215, 255, no, no, no, no}},
        {+[](const QString& t) { return int(ReplayGain::preampFrom(t).value_or(no)); },
         "-6|15|15.5|-15| 2 |x|nan|1e400",
         {-6, 15, no, -15, 2, no, no, no}},
    };
    for (const auto& [read, texts, expected] : rules) {
        std::vector<int> values;
        for (const QString& text : QString::fromLatin1(texts).split(u'|'))
            values.push_back(read(text));
        EXPECT_EQ(values, expected) << texts;
    }
    EXPECT_TRUE(!joystickUsed("F").value() && !joystickUsed("True")); // known only as "T" or "F"
    EXPECT_TRUE(ReplayGain::modeFrom(u" ALBUM "_s) == ReplayGain::Album && !ReplayGain::modeFrom(u"no"_s));
}

// A piece already in the pattern box, the first one too, is not added again; "*.mp" is not "*.mp4". The video
// box looks for the row anywhere in its text. A box ending in "*", "." or ";" is refused.
TEST(OptionBoxes, AddAndCheckRulesOfTheExtensionBoxes) {
    EXPECT_EQ(addPattern(u"*.kvpl;*.mp3"_s, u"mp4"_s).entry, u"*.mp4"_s);
    QString box = u"*.kvpl;*.mp3"_s;
    for (const char* entry : {"mp4", "*.kvpl", "*.mp4", "mp4", "*.mp", ""})
        box = addPattern(box, entry).box;
    EXPECT_EQ(box, u"*.kvpl;*.mp3;*.mp4;*.mp;*."_s);
    EXPECT_EQ(addVideo(u"*.mpeg;*.avi"_s, u"*.mpe"_s) + addVideo(u"*.avi"_s, u"*.mov"_s),
              "*.mpeg;*.avi*.avi;*.mov");
    QStringList checked;
    // Line breaks typed into the boxes separate entries as ";" does.
    for (const char* box : {"*.mp3;", "*.mp3;*", "*.mp3;*.", "*.mp3;*.ogg", "*.mp3\r\n\n*.ogg\n", "*.mp3;\n"})
        checked << checkBox(box, u"old"_s).text + (checkBox(box, u"old"_s).accepted ? "+" : "-");
    EXPECT_EQ(checked, QStringList({"old-", "old-", "old-", "*.mp3;*.ogg+", "*.mp3;*.ogg+", "old-"}));
}

class OptionsStore : public ::testing::Test {
protected:
    MemorySettingsStore store;
    SettingsTable table{u"alice"_s, u"/home/alice"_s};
    AppState state;
    Controls controls;
    QString stored(const SettingDef& def) const { return store.read(def.section, def.key, "-"); }
};

TEST_F(OptionsStore, OkStoresWhatTheWindowHoldsAndOpeningShowsWhatIsStored) {
    state.patternList = kDefaultPatternList;
    controls.patternBox = kDefaultPatternList + u";*."_s;
    controls.videoBox = u"*.mkv"_s;
    controls.devicePath = u"/media/usb"_s;
    EXPECT_FALSE(applyOk(store, table, state, controls, false).patterns.accepted);
    EXPECT_EQ(QStringList({state.patternList, stored(table.addedExten()), state.videoList,
                           stored(table.vidExten()), state.devicePath}),
              QStringList({kDefaultPatternList, kDefaultPatternList, "*.mkv", "*.mkv", "/media/usb"}));

    controls.playlistOnExit = true;
    state.startColour = 0x123456;
    controls.replayGain = {ReplayGain::Album, -3.5};
    controls.gapless = false;
    applyOk(store, table, state, controls, true);
    EXPECT_TRUE(state.autoSave && state.replayGain == controls.replayGain && !state.gapless);
    EXPECT_EQ(stored(table.playlistOnExit()) + "|" + stored(table.colorToStart()), "1|1193046");
    EXPECT_EQ(stored(table.replayGain()) + stored(table.replayGainPreamp()), "album-3.5");
    EXPECT_EQ(stored(table.gapless()), "0");

    // Opening shows the stored codes, unassigned ones too, and a stored switch it cannot read as off.
    writeSetting(store, table.joystickCode(3), u"4"_s);
    writeSetting(store, table.joystickUsed(), u"T"_s);
    writeSetting(store, table.closeOnFinish(), u"junk"_s);
    state.devicePath = u"/media/alice/"_s;
    const Opening o = opening(store, table, state, controls.captions);
    EXPECT_EQ(o.controls.learnCaptions[3] + o.controls.learnCaptions[0] + o.controls.devicePath,
              "4" + kUnassigned + "/media/alice/");
    EXPECT_TRUE(o.joystickKnown && o.controls.joystickOn && !o.controls.closeOnFinish && !o.controls.gapless);
}

TEST_F(OptionsStore, ImportOfAnExportGivesBackEveryValue) {
    Controls exported;
    exported.patternBox = u"*.mp3"_s;
    exported.videoBox = u"*.mkv"_s;
    exported.onTop = exported.startAtSOE = exported.deviceTab = exported.nameConvert = true;
    exported.devicePath = u" /media/usb ; x=y "_s;
    exported.captions[2] = u"Rock"_s;
    state.presetFolders[7] = u"/music/seven"_s;
    state.autoSavePath = u"/home/alice/a.KVPL"_s;
    state.startColour = 255;
    state.joystickUsed = true;
    state.joystickCodes = {12, -2, -3, -4, -5, -6, -7, -8, -9};
    AppState other;
    Controls imported;
    for (const Line& line : read(write(exportValues(exported, state))))
        applyImport(line, imported, other);
    EXPECT_TRUE(imported.onTop && imported.startAtSOE && imported.deviceTab && imported.nameConvert);
    EXPECT_TRUE(imported.joystickOn && !imported.closeOnFinish && !imported.playlistOnExit);
    EXPECT_EQ(
        QStringList({imported.devicePath, imported.patternBox, imported.videoBox, other.autoSavePath,
                     imported.captions[2], other.presetFolders[7], QString::number(other.startColour),
                     imported.learnCaptions[0] + imported.learnCaptions[8]}), // unassigned codes shown too
        QStringList({exported.devicePath, "*.mp3", "*.mkv", state.autoSavePath, "Rock", "/music/seven", "255",
                     "12-9"}));
}

// An imported auto-save path may not name a file that is there (the close would replace or delete it), but
// the one in use.
TEST(Import, SkipsPathsNotChosenAsADialogWouldNumbersOutOfRangeAndFilesAutoSaveWouldTake) {
    TempDir dir;
    AppState state;
    state.autoSavePath = dir.write("a.KVPL"), state.presetFolders[3] = u"/music"_s, state.startColour = 7;
    Controls controls;
    for (const QString& row :
         QStringList{"AUTOSAVEPATH=/home/alice/notes.txt", "AUTOSAVEPATH=c:\\a.KVPL",
                     "AUTOSAVEPATH=", "PRESET3=music", "COLORTOSTART=99999999999999999999", "COLORTOSTART=-1",
                     "SKIP=-99999999999", "SKIP=32768", "PRESET3=/" + QString(4096, u'm'),
                     "AUTOSAVEPATH=" + dir.write("party.KVPL"), "AUTOSAVEPATH=" + dir.mkdir("folder.KVPL"),
                     u"PRENAME6=a"_s + QChar(0) + "b"})
        EXPECT_FALSE(applyImport({row.section(u'=', 0, 0), row.section(u'=', 1)}, controls, state))
            << qPrintable(row);
    EXPECT_EQ(state.autoSavePath + state.presetFolders[3] + QString::number(state.startColour) +
                  controls.learnCaptions[3] + controls.captions[6],
              dir.file("a.KVPL") + "/music7");
    EXPECT_TRUE(applyImport({"AUTOSAVEPATH", dir.file("a.KVPL")}, controls, state));
    EXPECT_TRUE(applyImport({"AUTOSAVEPATH", "/b.kvpl"}, controls, state) && state.autoSavePath == "/b.kvpl");
}

// Windows-1252: 0xA9 is the separator, 0xE9 an e with acute. The header's line holds the caption's first
// line.
TEST(SettingsExportFile, ReaderTakesAnyKeyCaseAnyLineEndAndWindowsFilesAndLeadingNumbers) {
    QStringList lines;
    for (const Line& line :
         read("Volume\xA9x\nno separator\npreset3\xA9/\xE9t\xE9\rOnTop\xA9\xA9x\r\nDevicePath\xA9 E:\\"))
        lines << line.key + "=" + line.value;
    EXPECT_EQ(lines, QStringList({"PRESET3=/été", "DEVICEPATH= E:\\"}));
    Values values;
    values.caption = u"Options\nPRESET0\u00A9/elsewhere"_s;
    EXPECT_TRUE(
        write(values).startsWith("Quelba Kivo Player Settings Export\xC2\xA9Options\r\nPreset0\xC2\xA9\r\n"));
    // Numbers are written with a blank for the sign and after; the reader takes a leading number only.
    EXPECT_EQ(numberText(-3) + numberText(0) + numberText(1.5), u"-3  0  1.5 "_s);
    QList<double> numbers;
    for (const QString& text :
         u" 12632256 |-5 |  7 apples|1.5|+2|.5||   |T|.|-|x1"_s.split(u'|') + QStringList(QString(41, u'9')))
        numbers << leadingNumber(text);
    EXPECT_EQ(numbers, QList<double>({12632256, -5, 7, 1.5, 2, 0.5, 0, 0, 0, 0, 0, 0, 1e41}));
    EXPECT_EQ(fileNameFor("/a/mine.kvps") + fileNameFor("/a/mine.kvps.txt"),
              u"/a/mine.kvps/a/mine.kvps.txt.KVPS"_s);
}

} // namespace

#include "core/AppState.h"
#include "platform/MemorySettingsStore.h"
#include "settings/OptionRules.h"
#include "settings/SettingsExport.h"
#include "settings/SettingsTable.h"
#include <gtest/gtest.h>

namespace {

using namespace OptionRules;

TEST(OptionRulesAdd, PatternGetsItsStarDotAndIsAddedOnce) {
    const QString box = QStringLiteral("*.kvpl;*.mp3");
    const PatternAdd added = addPattern(box, QStringLiteral("mp4"));
    EXPECT_EQ(added.entry, QStringLiteral("*.mp4"));
    EXPECT_EQ(added.box, QStringLiteral("*.kvpl;*.mp3;*.mp4"));
    EXPECT_EQ(addPattern(added.box, QStringLiteral("mp4")).box, added.box);

    // "*.mp4" is already a piece of the default list; "*.mp" is not, although the text holds it.
    EXPECT_EQ(addPattern(kDefaultPatternList, QStringLiteral("mp4")).box, kDefaultPatternList);
    EXPECT_EQ(addPattern(kDefaultPatternList, QStringLiteral("*.mp")).box, kDefaultPatternList + ";*.mp");
    // The first piece counts as much as the others.
    EXPECT_EQ(addPattern(kDefaultPatternList, QStringLiteral("*.kvpl")).box, kDefaultPatternList);
}

TEST(OptionRulesAdd, EmptyTextAddsAnEntryThatOkSetsBack) {
    const PatternAdd added = addPattern(QStringLiteral("*.mp3"), QString());
    EXPECT_EQ(added.entry, QStringLiteral("*."));
    EXPECT_EQ(added.box, QStringLiteral("*.mp3;*."));
    const BoxCheck checked = checkBox(added.box, QStringLiteral("*.mp3"));
    EXPECT_FALSE(checked.accepted);
    EXPECT_EQ(checked.text, QStringLiteral("*.mp3"));
    for (const char* refused : {"*.mp3;", "*.mp3;*", "*.mp3;*."})
        EXPECT_FALSE(checkBox(QString::fromLatin1(refused), QStringLiteral("old")).accepted) << refused;
    EXPECT_TRUE(checkBox(QStringLiteral("*.mp3;*.ogg"), QStringLiteral("old")).accepted);
}

TEST(OptionRulesAdd, VideoEntryFoundInsideAnotherIsNotAdded) {
    EXPECT_EQ(addVideo(kDefaultVideoList, QStringLiteral("*.mpe")), kDefaultVideoList);
    EXPECT_EQ(addVideo(kDefaultVideoList, QStringLiteral("*.mov")), kDefaultVideoList + ";*.mov");
}

class OptionRulesStore : public ::testing::Test {
protected:
    MemorySettingsStore store;
    SettingsTable table{QStringLiteral("alice"), QStringLiteral("/home/alice")};
    AppState state;
    Controls controls;

    void SetUp() override {
        state.patternList = kDefaultPatternList;
        state.videoList = kDefaultVideoList;
        controls.patternBox = state.patternList;
        controls.videoBox = state.videoList;
        for (int i = 0; i < 10; ++i)
            controls.captions[i] = QString::number(i + 1);
    }
    QString stored(const SettingDef& def) const {
        return store.read(def.section, def.key, QStringLiteral("-"));
    }
};

TEST_F(OptionRulesStore, OkWritesPresetsAndScreenOnlyWhenChanged) {
    applyOk(store, table, state, controls, false);
    EXPECT_FALSE(store.contains(table.onTop().section, table.onTop().key));
    EXPECT_FALSE(store.contains(table.vStayOnTop().section, table.vStayOnTop().key));
    EXPECT_FALSE(store.contains(table.soeStartPath().section, table.soeStartPath().key));
    // The extension boxes and the device settings are written whatever the flag.
    EXPECT_EQ(stored(table.addedExten()), kDefaultPatternList);
    EXPECT_EQ(stored(table.vidExten()), kDefaultVideoList);
    EXPECT_EQ(stored(table.deviceTab()), QStringLiteral("0"));

    controls.closeOnFinish = false;
    controls.playlistOnExit = true;
    controls.captions[4] = QStringLiteral("Jazz");
    state.startColour = 0x123456;
    applyOk(store, table, state, controls, true);
    EXPECT_EQ(stored(table.closeOnFinish()), QStringLiteral("2"));
    EXPECT_EQ(stored(table.playlistOnExit()), QStringLiteral("1"));
    EXPECT_TRUE(state.autoSave);
    EXPECT_EQ(stored(table.preName(4)), QStringLiteral("Jazz"));
    EXPECT_EQ(stored(table.colorToStart()), QStringLiteral("1193046"));
    EXPECT_EQ(stored(table.preset(9)), QString()); // the preset table as it is, empty here
}

TEST_F(OptionRulesStore, OkSetsBackARefusedBoxAndTakesAnAcceptedOne) {
    controls.patternBox = kDefaultPatternList + QStringLiteral(";*.");
    controls.videoBox = QStringLiteral("*.mkv");
    controls.devicePath = QStringLiteral("/media/usb"); // stored as typed
    const OkResult result = applyOk(store, table, state, controls, false);
    EXPECT_EQ(result.patterns.text, kDefaultPatternList);
    EXPECT_EQ(state.patternList, kDefaultPatternList);
    EXPECT_EQ(stored(table.addedExten()), kDefaultPatternList);
    EXPECT_TRUE(result.videos.accepted);
    EXPECT_EQ(state.videoList, QStringLiteral("*.mkv"));
    EXPECT_EQ(state.devicePath, QStringLiteral("/media/usb"));
    EXPECT_EQ(stored(table.devicePath()), QStringLiteral("/media/usb"));
}

TEST_F(OptionRulesStore, OpeningShowsStoredCodesAndUnassignedOnes) {
    store.write(table.joystickCode(3).section, table.joystickCode(3).key, QStringLiteral("4"));
    store.write(table.joystickUsed().section, table.joystickUsed().key, QStringLiteral("T"));
    store.write(table.closeOnFinish().section, table.closeOnFinish().key, QStringLiteral("junk"));
    state.devicePath = QStringLiteral("/media/alice/");
    const Opening o = opening(store, table, state, controls.captions);
    EXPECT_EQ(o.controls.learnCaptions[3], QStringLiteral("4"));
    EXPECT_EQ(o.controls.learnCaptions[0], QStringLiteral("?"));
    EXPECT_TRUE(o.joystickKnown && o.controls.joystickOn);
    EXPECT_FALSE(o.controls.closeOnFinish);
    EXPECT_EQ(o.controls.devicePath, QStringLiteral("/media/alice/"));
}

TEST_F(OptionRulesStore, ImportOfAnExportGivesBackEveryValue) {
    Controls exported = controls;
    exported.onTop = true;
    exported.startAtSOE = true;
    exported.deviceTab = true;
    exported.devicePath = QStringLiteral(" /media/usb/");
    exported.captions[2] = QStringLiteral("Rock");
    state.presetFolders[7] = QStringLiteral("/music/seven");
    state.autoSavePath = QStringLiteral("/home/alice/a.KVPL");
    state.startColour = 255;
    state.joystickUsed = true;
    state.joystickCodes = {4, -2, -3, -4, -5, -6, -7, -8, -9};
    const QByteArray file = SettingsExport::write(exportValues(exported, state));

    AppState other;
    Controls imported = controls;
    for (const SettingsExport::Line& line : SettingsExport::read(file))
        applyImport(line, imported, other);
    EXPECT_TRUE(imported.onTop && imported.startAtSOE && imported.deviceTab && imported.joystickOn);
    EXPECT_EQ(imported.devicePath, exported.devicePath);
    EXPECT_EQ(imported.captions, exported.captions);
    EXPECT_EQ(imported.patternBox, kDefaultPatternList);
    EXPECT_EQ(other.presetFolders, state.presetFolders);
    EXPECT_EQ(other.autoSavePath, state.autoSavePath);
    EXPECT_EQ(other.startColour, 255);
    // Imported codes are shown as they are, unassigned ones included.
    EXPECT_EQ(imported.learnCaptions[0], QStringLiteral("4"));
    EXPECT_EQ(imported.learnCaptions[4], QStringLiteral("-5"));
}

TEST_F(OptionRulesStore, ImportIgnoresUnknownKeys) {
    const Controls before = controls;
    applyImport({QStringLiteral("PRESET10"), QStringLiteral("/x")}, controls, state);
    applyImport({QStringLiteral("COLOR"), QStringLiteral("5")}, controls, state);
    EXPECT_EQ(controls.captions, before.captions);
    EXPECT_EQ(state.startColour, AppState{}.startColour);
}

} // namespace

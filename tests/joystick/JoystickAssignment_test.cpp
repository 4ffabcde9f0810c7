#include "core/AppState.h"
#include "joystick/JoystickAssignment.h"
#include "platform/MemorySettingsStore.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include <gtest/gtest.h>

namespace {
using namespace JoystickAssignment;
using A = JoystickAction;

Captions captions(std::initializer_list<const char*> texts) {
    Captions result;
    int i = 0;
    for (const char* text : texts)
        result[i++] = QString::fromLatin1(text);
    return result;
}

TEST(JoystickLearning, ALearnedCodeLeavesTheOtherButtonsExceptRandomAndCopy) {
    // PlayStop, Exit, Paws, Skip, BringToTop, Special1, Special2, Random, CopyToOther
    Captions c = captions({"5", "5", "?", "3", "5", "5.0", "12", "5", "5"});
    ClearDuplicateButtons(c, 5);
    EXPECT_EQ(c, captions({"?", "?", "?", "3", "?", "?", "12", "5", "5"}));
    EXPECT_EQ(captionFor(0), QStringLiteral("?"));
    EXPECT_EQ(captionFor(-5), QStringLiteral("?"));
    EXPECT_EQ(captionFor(6), QStringLiteral("6"));
}

TEST(JoystickLearning, UnassignedButtonsGetDistinctCodesThatNeverMatch) {
    const Codes codes = codesFrom(captions({"?", "3", "99", "0", "?", "70000", "2.5", "?", "abc"}));
    EXPECT_EQ(codes[0], -8);
    EXPECT_EQ(codes[1], 3);
    EXPECT_EQ(codes[2], -7);
    EXPECT_EQ(codes[3], 0);
    EXPECT_EQ(codes[4], -6);
    EXPECT_EQ(codes[5], -5); // out of the 16-bit range (an imported caption): unassigned
    EXPECT_EQ(codes[6], 2);  // halves to even
    EXPECT_EQ(codes[7], -4);
    EXPECT_EQ(codes[8], -3); // not a number
}

TEST(JoystickLearning, TheStoreStepWritesTheSwitchAndEveryCode) {
    MemorySettingsStore memory;
    const SettingsTable table(QStringLiteral("ann"), QStringLiteral("/home/ann"));
    store(memory, table, true, Codes{1, 2, 4, 8, 16, -3, -2, -1, 32});
    EXPECT_EQ(readSetting(memory, table.joystickUsed()), QStringLiteral("T"));
    EXPECT_EQ(readSetting(memory, table.joystickCode(0)), QStringLiteral("1"));
    EXPECT_EQ(readSetting(memory, table.joystickCode(5)), QStringLiteral("-3"));
    EXPECT_EQ(readSetting(memory, table.joystickCode(8)), QStringLiteral("32"));
    store(memory, table, false, Codes{});
    EXPECT_EQ(readSetting(memory, table.joystickUsed()), QStringLiteral("F"));
}

TEST(JoystickCopyToOther, GoesToTheOtherListOrToTheDeviceList) {
    Playlists lists;
    AppState state;
    lists.at(Playlists::kA).append(QStringLiteral("one.mp3"), QStringLiteral("/m/one.mp3"));
    lists.at(Playlists::kA).append(QStringLiteral("two.mp3"), QStringLiteral("/m/two.mp3"));
    state.playingPlaylist = Playlists::kA;
    state.currentEntry = 1;
    state.playingEntry = lists.at(Playlists::kA).id(1);
    EXPECT_FALSE(copyPlayingToOther(lists, state, false)); // nothing plays
    EXPECT_TRUE(copyPlayingToOther(lists, state, true));
    ASSERT_EQ(lists.at(Playlists::kB).count(), 1);
    EXPECT_EQ(lists.at(Playlists::kB).path(0), QStringLiteral("/m/two.mp3"));
    EXPECT_EQ(lists.at(Playlists::kB).name(0), QStringLiteral("two.mp3"));

    lists.setTabCount(3);
    EXPECT_TRUE(copyPlayingToOther(lists, state, true));
    EXPECT_EQ(lists.at(Playlists::kDevice).count(), 1);
    lists.setShown(Playlists::kDevice);
    EXPECT_FALSE(copyPlayingToOther(lists, state, true));
    state.playingEntry = 0; // a browser file plays
    lists.setShown(Playlists::kA);
    EXPECT_FALSE(copyPlayingToOther(lists, state, true));
    EXPECT_EQ(lists.at(Playlists::kDevice).count(), 1);
}

} // namespace

#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/TransportFakes.h"
#include <QTimer>
#include <deque>
#include <gtest/gtest.h>

namespace {

class TransportTest : public ::testing::Test {
protected:
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    FakeKeyState keys;
    FakeTransportView view;
    FakeHost host;
    QTimer clock;
    std::deque<double> draws;
    Transport transport{{state, fields, playlists, keys, view, host, clock, [this] {
                             double r = draws.empty() ? 0.0 : draws.front();
                             if (!draws.empty())
                                 draws.pop_front();
                             return r;
                         }}};

    void SetUp() override { state.videoList = QStringLiteral("*.avi;*.mpg;*.mpeg"); }
    void fill(int playlist, const QStringList& names) {
        for (const QString& name : names)
            playlists.at(playlist).append(name, name.isEmpty() ? QString() : "/m/" + name);
    }
    QStringList names(int playlist) const { return entryNames(playlists.at(playlist)); }
};

TEST_F(TransportTest, APlaylistPlaysDownToItsEndAndClosesOnFinish) {
    fill(Playlists::kA, {"e0.mp3", "e1.mp3"});
    state.closeOnFinish = true;
    transport.CmdPLAY_Click();
    EXPECT_TRUE(transport.playing());
    EXPECT_EQ(view.title, "e0.mp3");
    EXPECT_FALSE(view.playShown);
    EXPECT_FALSE(view.clearAllEnabled);
    EXPECT_TRUE(clock.isActive());
    EXPECT_EQ(host.fake.media, "/m/e0.mp3");

    host.fake.finish();
    EXPECT_EQ(names(Playlists::kA), QStringList{"e1.mp3"});
    EXPECT_EQ(host.fake.media, "/m/e1.mp3");
    EXPECT_EQ(view.closes, 0);

    host.fake.finish();
    EXPECT_TRUE(playlists.at(Playlists::kA).isEmpty());
    EXPECT_FALSE(transport.playing());
    EXPECT_TRUE(state.queueEmpty);
    EXPECT_EQ(view.title, "KIVO PLAYER!");
    EXPECT_EQ(host.fake.media, "/tmp/silence.wav");
    EXPECT_FALSE(clock.isActive());
    EXPECT_EQ(view.closes, 1);
    // The silent clip's own end is not followed up.
    host.fake.finish();
    EXPECT_EQ(view.closes, 1);
}

TEST_F(TransportTest, CloseOnFinishNeedsNoDeviceTabAndTheSwitch) {
    fill(Playlists::kA, {"only.mp3"});
    state.deviceTab = true;
    state.closeOnFinish = true;
    transport.CmdPLAY_Click();
    host.fake.finish();
    EXPECT_TRUE(state.queueEmpty);
    EXPECT_EQ(view.closes, 0);
}

TEST_F(TransportTest, PlayMovesFromAnEmptyAToBButNeverLeavesTheDeviceList) {
    fill(Playlists::kB, {"b0.mp3"});
    transport.CmdPLAY_Click();
    EXPECT_EQ(playlists.shownIndex(), Playlists::kB);
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
    EXPECT_EQ(host.fake.media, "/m/b0.mp3");

    transport.CmdSTOP_Click();
    playlists.setTabCount(3);
    playlists.setShown(Playlists::kDevice);
    transport.CmdPLAY_Click();
    EXPECT_EQ(playlists.shownIndex(), Playlists::kDevice);
    EXPECT_TRUE(state.queueEmpty);
    EXPECT_FALSE(transport.playing());
}

TEST_F(TransportTest, CheckedEntriesArePlayedFirst) {
    fill(Playlists::kA, {"e0", "e1", "e2", "e3", "e4"});
    playlists.at(Playlists::kA).setChecked(2, true);
    playlists.at(Playlists::kA).setChecked(4, true);
    transport.CmdPLAY_Click();
    EXPECT_EQ(view.title, "e2");
    host.fake.finish();
    EXPECT_EQ(view.title, "e4");
    EXPECT_EQ(state.currentEntry, 3);
    host.fake.finish();
    EXPECT_EQ(view.title, "e0"); // nothing checked any more: from the top
}

TEST_F(TransportTest, RandomChoiceAmongCheckedOrAll) {
    fill(Playlists::kA, {"e0", "e1", "e2", "e3", "e4", "e5", "e6", "e7"});
    for (int i : {1, 3, 5, 7})
        playlists.at(Playlists::kA).setChecked(i, true);
    // Index r * (c - 1) to the nearest, halves to even: 1.5 -> 2, 0.5 -> 0, 2.5 -> 2.
    draws = {0.5, 1.0 / 6, 2.5 / 3, 0.999};
    EXPECT_EQ(transport.GetSongNumberFromCheckedList(Playlists::kA, true), 5);
    EXPECT_EQ(transport.GetSongNumberFromCheckedList(Playlists::kA, true), 1);
    EXPECT_EQ(transport.GetSongNumberFromCheckedList(Playlists::kA, true), 5);
    EXPECT_EQ(transport.GetSongNumberFromCheckedList(Playlists::kA, true), 7);
    EXPECT_EQ(transport.GetSongNumberFromCheckedList(Playlists::kA, false), 1);

    for (int i : {1, 3, 5, 7})
        playlists.at(Playlists::kA).setChecked(i, false);
    EXPECT_EQ(transport.GetSongNumberFromCheckedList(Playlists::kA, true), -1);
    transport.setRandom(true);
    draws = {0.99};
    transport.CmdPLAY_Click();
    EXPECT_EQ(state.currentEntry, 7); // floor(8 * 0.99)
}

TEST_F(TransportTest, EntriesWithoutANameAreDroppedAndNeverPlayed) {
    fill(Playlists::kA, {"a.mp3", ""});
    playlists.at(Playlists::kA).setChecked(1, true);
    transport.CmdPLAY_Click();
    EXPECT_EQ(names(Playlists::kA), QStringList{"a.mp3"});
    EXPECT_EQ(host.fake.media, "/m/a.mp3");
    EXPECT_EQ(state.currentEntry, 0);

    transport.CmdSTOP_Click();
    playlists.at(Playlists::kA).clear();
    fill(Playlists::kA, {"", ""});
    host.fake.takeLog();
    transport.CmdPLAY_Click();
    EXPECT_TRUE(playlists.at(Playlists::kA).isEmpty());
    EXPECT_FALSE(transport.playing());
    EXPECT_FALSE(host.fake.log.contains("setMedia:"));
}

TEST_F(TransportTest, PauseStopSkipAndBack) {
    fill(Playlists::kA, {"e0", "e1"});
    transport.CmdPause_Click(); // not playing: nothing
    EXPECT_FALSE(host.isStarted);
    transport.CmdPLAY_Click();
    transport.CmdPause_Click();
    EXPECT_TRUE(view.pausedIndicator);
    EXPECT_FALSE(host.fake.playing);
    transport.CmdPause_Click();
    EXPECT_FALSE(view.pausedIndicator);
    EXPECT_TRUE(host.fake.playing);

    transport.CmdPause_Click();
    transport.CmdSTOP_Click();
    EXPECT_FALSE(view.pausedIndicator);
    EXPECT_TRUE(view.playShown);

    transport.CmdPLAY_Click();
    transport.cmdSkip_Click();
    EXPECT_EQ(names(Playlists::kA), QStringList{"e1"});
    EXPECT_EQ(view.title, "e1");

    host.fake.takeLog();
    transport.CmdPreSkip_Click();
    EXPECT_EQ(host.fake.takeLog(), (QStringList{"stop", "start:0", "play"}));
    EXPECT_EQ(names(Playlists::kA), QStringList{"e1"});
    EXPECT_EQ(view.markerX, 1);
}

TEST_F(TransportTest, RestartsAndSeeksNeverRemoveAnEntry) {
    fill(Playlists::kA, {"e0", "e1"});
    fields.trackLength = 100;
    transport.CmdPLAY_Click();
    fields.trackLength = 100;
    // An end arriving while the ignore-end flag is up only clears the flag.
    state.ignoreEnd = true;
    host.fake.finish();
    EXPECT_FALSE(state.ignoreEnd);
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 2);

    host.fake.takeLog();
    transport.Pictimer_MouseDown(Qt::LeftButton, 3000);
    EXPECT_TRUE(host.fake.log.isEmpty());
    transport.Pictimer_MouseDown(Qt::RightButton, 3000);
    EXPECT_EQ(host.fake.takeLog(), (QStringList{"stop", "position:50", "play"}));
    EXPECT_EQ(view.markerX, 3000);
    EXPECT_TRUE(clock.isActive());
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 2);
}

TEST_F(TransportTest, DeviceListPlaysOneEntryAndStops) {
    playlists.setTabCount(3);
    playlists.setShown(Playlists::kDevice);
    fill(Playlists::kDevice, {"d0", "d1"});
    transport.CmdPLAY_Click();
    host.fake.finish();
    EXPECT_EQ(playlists.at(Playlists::kDevice).count(), 2);
    EXPECT_FALSE(transport.playing());
    EXPECT_EQ(host.fake.media, "/tmp/silence.wav");

    transport.CmdPLAY_Click();
    transport.cmdSkip_Click(); // Skip does remove from the device list
    EXPECT_EQ(names(Playlists::kDevice), QStringList{"d1"});
    // but not the entry being copied to the device.
    playlists.at(Playlists::kDevice).setBusy(playlists.at(Playlists::kDevice).id(0));
    transport.cmdSkip_Click();
    EXPECT_EQ(names(Playlists::kDevice), QStringList{"d1"});
}

TEST_F(TransportTest, EndOfATrackOfAWhileTheDeviceTabIsShown) {
    playlists.setTabCount(3);
    fill(Playlists::kA, {"e0", "e1"});
    transport.CmdPLAY_Click();
    playlists.setShown(Playlists::kDevice);
    host.fake.finish();
    EXPECT_EQ(names(Playlists::kA), QStringList{"e1"});
    // Play runs on the shown device list, which is empty: playback stops.
    EXPECT_FALSE(transport.playing());
    EXPECT_TRUE(state.queueEmpty);
}

TEST_F(TransportTest, SmallPlayAndDoubleClick) {
    fill(Playlists::kA, {"e0", "e1", "e2"});
    view.nameBox = "e2";
    fields.nameBoxEntry = playlists.at(Playlists::kA).id(2);
    transport.CmdSmallPlay_Click();
    EXPECT_TRUE(transport.playing());
    EXPECT_EQ(state.currentEntry, 2);
    EXPECT_EQ(view.title, "e2");
    EXPECT_TRUE(view.picturePlayShown); // small play leaves the picture buttons alone
    EXPECT_FALSE(state.ignoreEnd);
    host.fake.finish();
    EXPECT_EQ(names(Playlists::kA), (QStringList{"e0", "e1"}));

    // Ctrl+double-click: the playing entry stays, one above it goes.
    transport.CmdSTOP_Click();
    view.nameBox = "e1";
    fields.nameBoxEntry = playlists.at(Playlists::kA).id(1);
    transport.CmdSmallPlay_Click();
    keys.ctrl = true;
    transport.lstName_DblClick(1);
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 2);
    transport.lstName_DblClick(0);
    EXPECT_EQ(names(Playlists::kA), QStringList{"e1"});
    EXPECT_EQ(state.currentEntry, 0);
    EXPECT_EQ(view.count, 1);

    keys.ctrl = false;
    transport.lstName_DblClick(0);
    EXPECT_EQ(host.fake.media, "/m/e1");
    EXPECT_FALSE(view.namePanelShown);
}

TEST_F(TransportTest, VideoWindowFollowsTheFileKind) {
    fill(Playlists::kA, {"clip.AVI", "song.mp3", "noext"});
    state.videoOnTop = true;
    host.fake.sizeOnSetMedia = QSize(320, 240);
    transport.CmdPLAY_Click();
    EXPECT_TRUE(host.videoScreen.shown);
    EXPECT_TRUE(host.videoScreen.onTop);
    EXPECT_EQ(host.videoScreen.fitted, QSize(320, 240));
    host.fake.reportVideoSize(QSize(640, 480));
    EXPECT_EQ(host.videoScreen.fitted, QSize(640, 480));

    host.fake.finish();
    EXPECT_FALSE(host.videoScreen.shown);
    EXPECT_FALSE(host.videoScreen.onTop);
    EXPECT_EQ(view.mainOnTopPresses, 1);
    host.fake.finish();
    EXPECT_FALSE(host.videoScreen.shown); // no "." at all: audio

    // The show-screen button: on top whenever it shows the window.
    state.videoOnTop = false;
    transport.cmdShowScreen_Click();
    EXPECT_TRUE(host.videoScreen.shown);
    EXPECT_TRUE(host.videoScreen.onTop);
    transport.cmdShowScreen_Click();
    EXPECT_FALSE(host.videoScreen.shown);
}

TEST_F(TransportTest, AVideoAFewTracksAheadHasItsWindowPreparedOnce) {
    QStringList queue;
    for (int i = 0; i < 30; ++i)
        queue << QStringLiteral("song%1.mp3").arg(i);
    queue[25] = "far.avi";
    fill(Playlists::kA, queue);
    transport.CmdPLAY_Click();
    EXPECT_EQ(host.videoPreparations, 0); // beyond what is looked at: audio users load no graphics driver
    for (int i = 0; i < 5; ++i)
        host.fake.finish();
    EXPECT_EQ(host.videoPreparations, 1); // now within reach
    fill(Playlists::kA, {"next.mpg"});
    for (int i = 0; i < 22; ++i)
        host.fake.finish();
    EXPECT_EQ(host.videoPreparations, 1);
}

TEST_F(TransportTest, ClockShowsElapsedOrRemainingTime) {
    fill(Playlists::kA, {"e0"});
    host.fake.lengthOnSetMedia = 200.7;
    transport.CmdPLAY_Click();
    host.fake.position = 0.0001;
    fields.elapsedMode = false;
    transport.tmrTime_Timer();
    EXPECT_EQ(view.time, "3:21");
    fields.elapsedMode = true;
    host.fake.position = 100.35;
    transport.tmrTime_Timer();
    EXPECT_EQ(view.time, "1:40");
    EXPECT_DOUBLE_EQ(view.markerX, 6000 * 100.35 / 200.7);

    fields.trackLength = 0; // length unknown: marker at the start
    transport.tmrTime_Timer();
    EXPECT_EQ(view.markerX, 0);

    // After Stop the label keeps its last text.
    transport.CmdSTOP_Click();
    EXPECT_EQ(view.time, "1:40");
}

TEST_F(TransportTest, StopBeforeAnyPlayLeavesTheEngineUnstarted) {
    transport.CmdSTOP_Click();
    transport.hsVolume_Change(-2500);
    EXPECT_FALSE(host.isStarted);
    EXPECT_EQ(fields.volume, -2500);
    fill(Playlists::kA, {"e0"});
    transport.CmdPLAY_Click();
    EXPECT_EQ(host.fake.volume, -2500);
}

// Skip and the end of a track take out the entry that played, wherever it
// is now, and nothing when it has gone or when no entry played.
TEST_F(TransportTest, OnlyTheEntryThatPlayedLeaves) {
    fill(Playlists::kA, {"e0", "e1", "e2"});
    transport.CmdPLAY_Click();
    state.currentEntry = 2; // an edit that lost track of the position
    transport.cmdSkip_Click();
    EXPECT_EQ(names(Playlists::kA), (QStringList{"e1", "e2"}));
    EXPECT_EQ(view.title, "e1");

    playlists.at(Playlists::kA).clear(); // the entry playing is gone
    fill(Playlists::kA, {"n0", "n1"});
    host.fake.finish();
    EXPECT_EQ(names(Playlists::kA), (QStringList{"n0", "n1"}));
    EXPECT_EQ(host.fake.media, "/m/n0");
}

TEST_F(TransportTest, SmallPlayPlaysWhatTheNameBoxShowsFromWhereItIs) {
    fill(Playlists::kA, {"a0", "a1"});
    fill(Playlists::kB, {"b0", "b1"});
    view.nameBox = "b1"; // an entry of B while A is shown
    fields.nameBoxEntry = playlists.at(Playlists::kB).id(1);
    transport.CmdSmallPlay_Click();
    EXPECT_EQ(host.fake.media, "/m/b1");
    EXPECT_EQ(state.playingPlaylist, Playlists::kB);
    EXPECT_EQ(state.currentEntry, 1);
    host.fake.finish();
    EXPECT_EQ(names(Playlists::kB), QStringList{"b0"});
    EXPECT_EQ(names(Playlists::kA), (QStringList{"a0", "a1"}));
    EXPECT_EQ(host.fake.media, "/m/a0"); // the queue goes on in the shown playlist

    // A browser file: no entry is taken for it.
    view.nameBox = "song.wav";
    fields.nameBoxEntry = 0;
    fields.nameBoxFile = "/x/song.wav";
    transport.CmdSmallPlay_Click();
    EXPECT_EQ(host.fake.media, "/x/song.wav");
    EXPECT_EQ(view.title, "song.wav");
    transport.cmdSkip_Click();
    EXPECT_EQ(names(Playlists::kA), (QStringList{"a0", "a1"}));
    EXPECT_EQ(host.fake.media, "/m/a0");

    // An entry that has left every playlist does not play.
    view.nameBox = "b1";
    fields.nameBoxEntry = 999999;
    host.fake.takeLog();
    transport.CmdSmallPlay_Click();
    EXPECT_TRUE(host.fake.log.isEmpty());
    EXPECT_TRUE(transport.playing());
}

} // namespace

#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "mpris/MprisPlayer.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/TransportFakes.h"
#include <QSignalSpy>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {

// The window as the media calls see it; the slider runs its own handling
// (the transport's), as the real one does.
struct FakeMprisWindow : MprisWindow {
    Transport* transport = nullptr;
    int raises = 0, exits = 0;
    QList<int> sliderMoves;
    void raiseWindow() override { ++raises; }
    void exitProgram() override { ++exits; }
    void setVolumeSlider(int value) override {
        sliderMoves << value;
        transport->hsVolume_Change(value);
    }
};

// The media calls on the real transport, with a scripted engine.
class MprisPlayerTest : public ::testing::Test {
protected:
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    FakeKeyState keys;
    FakeTransportView view;
    FakeHost host;
    QTimer clock;
    Transport transport{{state, fields, playlists, keys, view, host, clock}};
    FakeMprisWindow window;
    MprisPlayer player{transport, fields, window};
    QSignalSpy changes{&player, &MprisPlayer::propertiesChanged};

    void SetUp() override {
        window.transport = &transport;
        for (const QString& name : {"one two.mp3", "b.mp3", "c.mp3"})
            playlists.at(Playlists::kA).append(name, "/music/" + name);
    }
    // The announcements so far, each as its names joined, then forgotten.
    QStringList takeChanges() {
        QStringList out;
        for (const QList<QVariant>& signal : changes)
            out << signal.at(0).toStringList().join(u'+');
        changes.clear();
        return out;
    }
    QStringList engineLog() { return host.fake.takeLog(); }
};

} // namespace

TEST_F(MprisPlayerTest, PlayPauseFollowsTheButtonsAndAnnouncesOnlyRealChanges) {
    EXPECT_EQ(player.playbackStatus(), "Stopped");
    EXPECT_EQ(player.metadata().trackId, MprisPlayer::kNoTrack);

    player.PlayPause(); // stopped: Play
    EXPECT_EQ(player.playbackStatus(), "Playing");
    EXPECT_EQ(host.fake.media, "/music/one two.mp3");
    EXPECT_EQ(takeChanges(), QStringList{"PlaybackStatus+Metadata"});

    engineLog();
    player.PlayPause(); // playing: Pause
    EXPECT_EQ(player.playbackStatus(), "Paused");
    EXPECT_TRUE(view.pausedIndicator);
    EXPECT_EQ(engineLog(), QStringList{"pause"});
    player.Pause(); // already paused: nothing
    EXPECT_EQ(engineLog(), QStringList{});
    player.Play(); // paused: resumes
    EXPECT_EQ(engineLog(), QStringList{"play"});
    EXPECT_EQ(player.playbackStatus(), "Playing");
    player.Play(); // playing: nothing, the track does not start again
    EXPECT_EQ(engineLog(), QStringList{});
    player.PlayPause();
    player.PlayPause(); // pause, then resume
    EXPECT_EQ(engineLog(), (QStringList{"pause", "play"}));
    EXPECT_EQ(takeChanges(),
              (QStringList{"PlaybackStatus", "PlaybackStatus", "PlaybackStatus", "PlaybackStatus"}));

    player.Stop();
    EXPECT_EQ(player.playbackStatus(), "Stopped");
    EXPECT_EQ(player.metadata().trackId, MprisPlayer::kNoTrack);
    EXPECT_TRUE(player.metadata().title.isEmpty());
    EXPECT_EQ(view.title, "KIVO PLAYER!");
    EXPECT_EQ(takeChanges(), QStringList{"PlaybackStatus+Metadata"});
    player.Pause(); // stopped: nothing to pause
    EXPECT_EQ(player.playbackStatus(), "Stopped");
    EXPECT_TRUE(takeChanges().isEmpty());
}

TEST_F(MprisPlayerTest, MetadataNamesTheTrackAsTheWindowDoes) {
    player.Play();
    MprisMetadata data = player.metadata();
    EXPECT_EQ(data.title, "one two.mp3");
    EXPECT_EQ(data.url, "file:///music/one%20two.mp3");
    EXPECT_EQ(data.lengthMicros, 0); // not known yet
    EXPECT_TRUE(data.trackId.startsWith("/org/kivoplayer/track/"));
    takeChanges();

    host.fake.reportDuration(83.25);
    EXPECT_EQ(player.metadata().lengthMicros, 83'250'000);
    EXPECT_EQ(player.metadata().trackId, data.trackId);
    EXPECT_EQ(takeChanges(), QStringList{"Metadata"});

    // The next track, from Next (S&kip) or from its natural end, has its own id.
    player.Next();
    EXPECT_EQ(entryNames(playlists.at(Playlists::kA)), (QStringList{"b.mp3", "c.mp3"}));
    const MprisMetadata next = player.metadata();
    EXPECT_EQ(next.title, "b.mp3");
    EXPECT_NE(next.trackId, data.trackId);
    EXPECT_EQ(takeChanges(), QStringList{"Metadata"});
    host.fake.finish();
    EXPECT_EQ(player.metadata().title, "c.mp3");
    EXPECT_NE(player.metadata().trackId, next.trackId);
    EXPECT_EQ(takeChanges(), QStringList{"Metadata"});
    host.fake.finish(); // the queue has played down
    EXPECT_EQ(player.playbackStatus(), "Stopped");
    EXPECT_EQ(takeChanges(), QStringList{"PlaybackStatus+Metadata"});
}

TEST_F(MprisPlayerTest, NextFromPauseIsAnnouncedPlayingAtOnce) {
    player.Play();
    player.Pause();
    takeChanges();
    player.Next();
    EXPECT_EQ(player.playbackStatus(), "Playing");
    EXPECT_FALSE(view.pausedIndicator);
    // One announcement: never the new track shown paused on the way.
    EXPECT_EQ(takeChanges(), QStringList{"PlaybackStatus+Metadata"});
    player.Next();
    player.Next();
    player.Next(); // nothing left: Next of a stopped player does nothing
    EXPECT_EQ(player.playbackStatus(), "Stopped");
    EXPECT_TRUE(playlists.at(Playlists::kA).isEmpty());
    engineLog();
    player.Next();
    EXPECT_EQ(engineLog(), QStringList{});
}

TEST_F(MprisPlayerTest, PreviousStartsTheTrackAgainAsBackDoes) {
    player.Previous(); // stopped: nothing
    EXPECT_EQ(engineLog(), QStringList{});
    player.Play();
    const MprisMetadata before = player.metadata();
    takeChanges();
    engineLog();
    player.Previous();
    EXPECT_EQ(engineLog(), (QStringList{"stop", "start:0", "play"}));
    EXPECT_EQ(player.metadata(), before);
    EXPECT_TRUE(takeChanges().isEmpty());
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 3);
}

TEST_F(MprisPlayerTest, VolumeIsTheSlidersPlace) {
    EXPECT_EQ(player.volume(), 1.0);
    player.setVolume(0.5);
    EXPECT_EQ(window.sliderMoves, QList<int>{-2500});
    EXPECT_EQ(fields.volume, -2500);
    EXPECT_EQ(player.volume(), 0.5);
    EXPECT_EQ(takeChanges(), QStringList{"Volume"});

    player.setVolume(-3);
    player.setVolume(7);
    player.setVolume(std::numeric_limits<double>::quiet_NaN());
    player.setVolume(1.0); // already there: the slider is not moved
    EXPECT_EQ(window.sliderMoves, (QList<int>{-2500, -5000, 0}));
    EXPECT_EQ(player.volume(), 1.0);

    // Moved by hand, the slider is announced too, and the engine hears it.
    player.Play();
    takeChanges();
    transport.hsVolume_Change(-1250);
    EXPECT_EQ(player.volume(), 0.75);
    EXPECT_EQ(host.fake.volume, -1250);
    EXPECT_EQ(takeChanges(), QStringList{"Volume"});
}

TEST_F(MprisPlayerTest, RaiseAndQuitGoToTheWindow) {
    player.Raise();
    player.Quit();
    EXPECT_EQ(window.raises, 1);
    EXPECT_EQ(window.exits, 1);
    EXPECT_EQ(player.playbackStatus(), "Stopped");
}

TEST_F(MprisPlayerTest, AFileOfTheBrowserPlaysUnderItsName) {
    fields.nameBoxFile = "/music/from browser.ogg";
    view.nameBox = "from browser.ogg";
    transport.CmdSmallPlay_Click();
    EXPECT_EQ(player.playbackStatus(), "Playing");
    EXPECT_EQ(player.metadata().title, "from browser.ogg");
    EXPECT_EQ(player.metadata().url, "file:///music/from%20browser.ogg");
    EXPECT_EQ(takeChanges(), QStringList{"PlaybackStatus+Metadata"});
    transport.CMDSmallStop_Click();
    EXPECT_EQ(player.playbackStatus(), "Stopped");
}

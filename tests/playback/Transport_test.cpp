// The transport's scenarios: lists, clicks and track ends, then the lists, the engine and the window.
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "mpris/MprisPlayer.h"
#include "playback/NextEntry.h"
#include "playback/TimeConvert.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/QtPrint.h"
#include "support/TransportFakes.h"
#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace {

// The real transport on fakes, with the device tab present; random choices take `draws` (then 0).
struct TransportTest : ::testing::Test {
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    FakeKeyState keys;
    FakeTransportView view;
    FakeHost host;
    QTimer clock;
    std::vector<double> draws;
    bool random = false;
    Transport transport{{state, fields, playlists, keys, view, host, clock, [this] {
                             return draws.empty() ? 0.0 : std::exchange(draws, {}).front();
                         }}};

    TransportTest() {
        state.videoList = u"*.avi;*.mpg;*.mpeg"_s;
        state.gapless = false;
        playlists.setTabCount(3);
    }
    // Entries named as given, each playing "/m/<name>".
    void fill(int playlist, const QStringList& names) {
        for (const QString& name : names)
            playlists.at(playlist).append(name, name.isEmpty() ? QString() : "/m/" + name);
    }
    QStringList names(int playlist) const { return entryNames(playlists.at(playlist)); }
    void nameBox(int playlist, int position) {
        view.nameBox = playlists.at(playlist).name(position);
        fields.nameBoxEntry = playlists.at(playlist).id(position);
    }
};

enum State { Stopped, Playing, Paused };

struct Scenario {
    const char* name;
    const char* lists; // "A|B|device", names split by spaces; "_" a name left empty, "+" a checked entry
    const char* steps; // words of kSteps (a number after a word is its argument): set-up, clicks, ends
    const char* left;  // the lists afterwards, the shown one marked "*" (A when none is)
    const char* media; // the engine's last file: an entry's name or a path; "": the engine never started
    State state;
    int closes = 0;
    const char* lastStep = nullptr; // what the last step asked of the engine
    const char* more = "";          // further readings, "name=value" (see the readings below)
};

using T = TransportTest;
using Step = std::function<void(T&, double)>;
const std::map<QString, Step> kSteps = [] {
    std::map<QString, Step> steps;
    auto add = [&steps](const char* word, Step step) {
        steps[word] = std::move(step);
    };
    add("play", [](T& t, double) { t.transport.CmdPLAY_Click(); });
    add("stop", [](T& t, double) { t.transport.CmdSTOP_Click(); });
    add("pause", [](T& t, double) { t.transport.CmdPause_Click(); });
    add("skip", [](T& t, double) { t.transport.cmdSkip_Click(); });
    add("back", [](T& t, double) { t.transport.CmdPreSkip_Click(); });
    add("small", [](T& t, double) { t.transport.CmdSmallPlay_Click(); });
    add("smallstop", [](T& t, double) { t.transport.CMDSmallStop_Click(); });
    add("dbl", [](T& t, double n) { t.transport.lstName_DblClick(int(n)); });
    // The natural end; what it plays must be what was foreseen for a gapless end.
    add("end", [](T& t, double) {
        const double draw = t.draws.empty() ? 0.0 : t.draws.front();
        const NextEntry next =
            nextAfterEnd(t.playlists, t.state, t.transport.track().path, t.random, [draw] { return draw; });
        t.host.fake.finish();
        if (next.entry != 0) {
            EXPECT_EQ(t.host.fake.media, next.path);
        }
    });
    // Gapless playback: on, the event loop's turn, the engine going on with the next file, an entry deleted.
    add("gapless", [](T& t, double) { t.state.gapless = true; });
    add("settle", [](T&, double) { QCoreApplication::processEvents(); });
    add("into", [](T& t, double) { t.host.fake.finishIntoNext(); });
    add("del", [](T& t, double n) { t.playlists.at(0).removeAt(int(n)); });
    add("check", [](T& t, double n) { t.playlists.at(0).setChecked(int(n), true); });
    // A mouse-down on the time bar, half-way.
    add("right", [](T& t, double) { t.transport.Pictimer_MouseDown(Qt::RightButton, 3000); });
    // The time bar's keys: a jump ahead or back by n seconds.
    add("ahead", [](T& t, double n) { t.transport.jumpBy(n); });
    add("rewind", [](T& t, double n) { t.transport.jumpBy(-n); });
    add("left", [](T& t, double) { t.transport.Pictimer_MouseDown(Qt::LeftButton, 3000); });
    add("volume", [](T& t, double) { t.transport.hsVolume_Change(-2500); });
    add("showdevice", [](T& t, double) { t.playlists.setShown(Playlists::kDevice); });
    add("showa", [](T& t, double) { t.playlists.setShown(Playlists::kA); });
    add("draw", [](T& t, double n) { t.draws.push_back(n); });
    add("random", [](T& t, double) { t.transport.setRandom(t.random = true); });
    add("showb", [](T& t, double) { t.playlists.setShown(Playlists::kB); });
    add("close", [](T& t, double) { t.state.closeOnFinish = true; });
    add("devicetab", [](T& t, double) { t.state.deviceTab = true; });
    add("ignoreend", [](T& t, double) { t.state.ignoreEnd = true; });
    add("ctrl", [](T& t, double) { t.keys.ctrl = true; });
    add("busy", [](T& t, double n) { t.playlists.at(2).setBusy(t.playlists.at(2).id(int(n))); });
    // The name box: an entry of A or B, a browser file, an entry gone from every list, or blank.
    add("boxA", [](T& t, double n) { t.nameBox(Playlists::kA, int(n)); });
    add("boxB", [](T& t, double n) { t.nameBox(Playlists::kB, int(n)); });
    add("boxfile", [](T& t, double) { t.view.nameBox = "song.wav", t.fields.nameBoxFile = "/x/song.wav"; });
    add("boxgone", [](T& t, double) { t.view.nameBox = "gone", t.fields.nameBoxEntry = 999999; });
    add("boxblank", [](T& t, double) { t.fields.nameBoxEntry = t.playlists.at(0).id(0); });
    // An edit that lost track of the playing position; the playing entry replaced by others.
    add("lose", [](T& t, double) { t.state.currentEntry = 2; });
    // The clock: the engine's position, a tick, the time shown as remaining, the length unknown.
    add("at", [](T& t, double n) { t.host.fake.position = n; });
    add("tick", [](T& t, double) { t.transport.tmrTime_Timer(); });
    add("remaining", [](T& t, double) { t.fields.elapsedMode = false; });
    add("nolength", [](T& t, double) { t.fields.trackLength = 0; });
    add("renew", [](T& t, double) { t.playlists.at(0).clear(), t.fill(0, {"n0", "n1"}); });
    return steps;
}();

class TransportScenario : public TransportTest, public ::testing::WithParamInterface<Scenario> {};

TEST_P(TransportScenario, LeavesTheListsAndTheWindowAsExpected) {
    const Scenario& s = GetParam();
    host.fake.lengthOnSetMedia = 100;
    const QStringList start = QString(s.lists).split('|'), left = QString(s.left).split('|');
    for (int i = 0; i < start.size(); ++i)
        for (const QString& name : start[i].split(' ', Qt::SkipEmptyParts)) {
            fill(i, {QString(name).remove(QRegularExpression("[_+]"))});
            playlists.at(i).setChecked(playlists.at(i).count() - 1, name.endsWith('+'));
        }
    for (const QString& word : QString(s.steps).split(' ')) {
        const QRegularExpressionMatch match = QRegularExpression("^([a-zA-Z]+)([0-9.]*)$").match(word);
        host.fake.takeLog();
        kSteps.at(match.captured(1))(*this, match.captured(2).toDouble());
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(names(i), QString(left.value(i)).remove('*').split(' ', Qt::SkipEmptyParts)) << i;
    EXPECT_EQ(playlists.shownIndex(),
              std::max<int>(Playlists::kA, left.indexOf(QRegularExpression("\\*.*"))));
    const QString media = QString(s.media).isEmpty() || *s.media == '/' ? s.media : "/m/" + QString(s.media);
    EXPECT_EQ(host.isStarted ? host.fake.media : u"-"_s, media.isEmpty() ? u"-"_s : media);
    EXPECT_EQ(QList<bool>({transport.playing(), transport.paused(), view.pausedIndicator}),
              QList<bool>({s.state != Stopped, s.state == Paused, s.state == Paused}));
    EXPECT_EQ(view.closes, s.closes);
    EXPECT_EQ(host.fake.log.join(' '), s.lastStep ? QString(s.lastStep) : host.fake.log.join(' '));
    const QString now = QString::asprintf(
        "marker=%g entry=%d count=%d volume=%d slider=%d time=%s pictureplay=%d namepanel=%d smallplay=%d",
        view.markerX, state.currentEntry, view.count, host.fake.volume, fields.volume,
        qUtf8Printable(view.time), view.picturePlayShown, view.namePanelShown, view.smallPlayShown);
    for (const QString& reading : QString(s.more).split(' ', Qt::SkipEmptyParts))
        EXPECT_TRUE(now.split(' ').contains(reading)) << reading.toStdString() << " in " << now.toStdString();
    // The window, and what the desktop is told, show what plays.
    EXPECT_EQ(QList<bool>({view.playShown, view.clearAllEnabled, !clock.isActive()}),
              QList<bool>(3, s.state == Stopped));
    EXPECT_EQ(transport.track().path, s.state == Stopped ? QString() : host.fake.media);
    if (s.state != Stopped) {
        EXPECT_EQ(view.title, QFileInfo(host.fake.media).fileName());
        EXPECT_EQ(transport.track().title, view.title);
        EXPECT_EQ(host.fake.playing, s.state == Playing);
    } else if (host.isStarted) {
        EXPECT_TRUE(view.title == "KIVO PLAYER!" && view.markerX == 0);
    }
}

const char* const kSilence = "/tmp/silence.wav";

const Scenario kScenarios[] = {
    {"APlaylistPlaysDownAndTheWindowCloses", "e0 e1", "close play end end end", "", kSilence, Stopped, 1},
    {"NoClosingWithTheDeviceTab", "e0", "close devicetab play end", "", kSilence, Stopped},
    {"AnEmptyDeviceListIsNeverLeft", "|b0", "showdevice play", "|b0|*", kSilence, Stopped},
    {"CheckedEntriesFirst", "e0 e1 e2+ e3 e4+", "play end end", "e0 e1 e3", "e0", Playing},
    // Among the checked: index draw * (checked - 1) to the nearest, halves to even.
    {"RandomHalfDown", "e0 e1+ e2+ e3+ e4+ e5+", "random draw0.125 play", "e0 e1 e2 e3 e4 e5", "e1", Playing},
    {"RandomHalfUp", "e0 e1+ e2+ e3+ e4+ e5+", "random draw0.375 play", "e0 e1 e2 e3 e4 e5", "e3", Playing},
    {"RandomWithNothingChecked", "e0 e1 e2", "random draw0.99 play", "e0 e1 e2", "e2", Playing},
    {"NamelessEntriesAreDropped", "a _+", "play", "a", "a", Playing},
    {"OnlyNamelessEntries", "_ _", "play", "", kSilence, Stopped},
    {"NothingBeforePlay", "e0", "pause skip back", "e0", "", Stopped},
    {"Pause", "e0", "play pause", "e0", "e0", Paused, 0, "pause"},
    {"StopClearsThePause", "e0", "play pause stop", "e0", kSilence, Stopped},
    {"BackRestarts", "e0 e1", "play pause back", "e0 e1", "e0", Playing, 0, "stop start:0 play", "marker=1"},
    {"AnIgnoredEndOnlyClearsTheFlag", "e0 e1", "ignoreend play end end", "e1", "e1", Playing},
    {"RightSeeks", "e0", "play pause right", "e0", "e0", Playing, 0, "stop position:50 play", "marker=3000"},
    {"KeysJumpWithinTheTrack", "e0", "play at40 pause ahead5", "e0", "e0", Playing, 0,
     "stop position:45 play", "marker=2700"},
    {"KeysStopAtTheEnds", "e0", "play at98 ahead5", "e0", "e0", Playing, 0, "stop position:100 play"},
    {"KeysStopAtTheStart", "e0", "play at3 rewind5", "e0", "e0", Playing, 0, "stop position:0 play"},
    {"KeysJumpOnlyWhilePlaying", "e0", "play stop ahead5", "e0", kSilence, Stopped, 0, ""},
    {"LeftDoesNotSeek", "e0", "play left", "e0", "e0", Playing, 0, ""},
    {"ADeviceTrackPlaysOnce", "||d0 d1", "showdevice play end", "||*d0 d1", kSilence, Stopped},
    {"SkipTakesOutOfTheDeviceList", "||d0 d1", "showdevice play skip", "||*d1", "d1", Playing},
    {"ButNotTheEntryBeingCopied", "||d0 d1", "showdevice busy0 play skip", "||*d0 d1", "d0", Playing},
    {"AnEndWhileTheDeviceTabIsShown", "e0 e1", "play showdevice end", "e1||*", kSilence, Stopped},
    {"ADeviceTrackEndingBehindTabAStops", "e0||d0", "showdevice play showa end", "*e0||d0", kSilence,
     Stopped},
    {"SmallPlayFromB", "a0|b0 b1", "boxB1 small", "a0|b0 b1", "b1", Playing, 0, {}, "entry=1 pictureplay=1"},
    {"AfterSmallPlayTheShownListGoesOn", "a0|b0 b1", "boxB1 small end", "a0|b0", "a0", Playing},
    {"SmallPlayOfABrowserFile", "a0", "boxfile small", "a0", "/x/song.wav", Playing},
    {"SkippingABrowserFileTakesNoEntry", "a0", "boxfile small skip", "a0", "a0", Playing},
    {"AnEntryThatLeftPlaysNot", "a0", "boxgone small", "a0", "", Stopped},
    {"AnEmptyNameBoxPlaysNot", "a0", "boxblank small", "a0", "", Stopped},
    {"SmallStop", "a0 a1", "boxA1 small smallstop", "a0 a1", kSilence, Stopped, 0, nullptr, "smallplay=1"},
    {"CtrlDblClickKeepsIt", "e0 e1 e2", "boxA1 ctrl small dbl1 dbl0", "e1 e2", "e1", Playing, 0, nullptr,
     "entry=0 count=2"},
    {"DoubleClickPlaysTheNameBox", "e0 e1", "boxA1 dbl0", "e0 e1", "e1", Playing, 0, nullptr, "namepanel=0"},
    {"OnlyTheEntryThatPlayedLeaves", "e0 e1 e2", "play lose skip", "e1 e2", "e1", Playing},
    {"AnEntryGoneWhilePlayingLeavesNothing", "e0", "play renew end", "n0 n1", "n0", Playing},
    {"VolumeAndStopBeforePlayStartNoEngine", "", "volume stop", "", "", Stopped, 0, nullptr, "slider=-2500"},
    {"ElapsedTime", "e0", "play at40.35 tick", "e0", "e0", Playing, 0, nullptr, "time=0:40 marker=2421"},
    {"RemainingTime", "e0", "remaining play at0.0001 tick", "e0", "e0", Playing, 0, nullptr, "time=1:40"},
    {"NoLengthNoMarker", "e0", "play at40 nolength tick", "e0", "e0", Playing, 0, nullptr, "marker=0"},
    {"StopKeepsTheTimeShown", "e0", "play at40 tick stop", "e0", kSilence, Stopped, 0, nullptr, "time=0:40"},
    {"PlayHandsTheVolumeOver", "e0", "volume play", "e0", "e0", Playing, 0, nullptr, "volume=-2500"},
    {"TheVolumeReachesAPlayingEngine", "e0", "play volume", "e0", "e0", Playing, 0, "volume:-2500"},
    {"RandomAfterAnEnd", "e0 e1 e2 e3 e4", "random play draw0.5 end", "e1 e2 e3 e4", "e3", Playing},
    {"TheShownListGoesOn", "a0 a1|b0 b1", "play showb end", "a1|*b0 b1", "b0", Playing},
    {"AVideoIsNotForeseen", "a0 a1.avi a2", "play end", "a1.avi a2", "a1.avi", Playing},
    // Gapless: the next file is handed over ahead and again after each change; at the end nothing reloads.
    {"GaplessHandsTheNextOver", "e0 e1 e2", "gapless play settle", "e0 e1 e2", "e0", Playing, 0,
     "next:/m/e1"},
    {"GaplessLoadsNothingAtTheEnd", "e0 e1 e2", "gapless play settle into", "e1 e2", "e1", Playing, 0,
     "volume:0", "entry=0 count=2"},
    {"GaplessThenTheFollowingOne", "e0 e1 e2", "gapless play settle into settle", "e1 e2", "e1", Playing, 0,
     "next:/m/e2"},
    {"GaplessFollowsAnEdit", "e0 e1 e2", "gapless play settle del1 settle", "e0 e2", "e0", Playing, 0,
     "next:/m/e2"},
    {"GaplessFollowsACheck", "e0 e1 e2", "gapless play settle check2 settle", "e0 e1 e2", "e0", Playing, 0,
     "next:/m/e2"},
    {"GaplessFollowsRandom", "e0 e1 e2 e3", "gapless play settle draw0.9 random settle", "e0 e1 e2 e3", "e0",
     Playing, 0, "next:/m/e3"},
    {"GaplessLastEntryGivesNone", "e0 e1", "gapless play settle del1 settle", "e0", "e0", Playing, 0,
     "next:"},
    {"GaplessAStaleNextIsReplaced", "e0 e1 e2", "gapless play settle del1 into", "e2", "e2", Playing, 0,
     "volume:0 setMedia:/m/e2"},
    {"GaplessRandomDrawsOnce", "e0 e1 e2 e3", "gapless random play settle draw0.9 into", "e1 e2 e3", "e1",
     Playing},
    {"GaplessSkipActsOnWhatIsHeard", "e0 e1 e2", "gapless play settle into skip", "e2", "e2", Playing},
    {"GaplessOff", "e0 e1", "play settle", "e0 e1", "e0", Playing, 0, ""},
};
INSTANTIATE_TEST_SUITE_P(Scenarios, TransportScenario, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TransportTest, TheVideoWindowFollowsTheFileKindAndIsPreparedOnceAFewTracksAhead) {
    fill(Playlists::kA, QStringList(25, "song.mp3") << QStringList{"clip.AVI", "song.mp3", "noext"});
    state.videoOnTop = true, host.fake.sizeOnSetMedia = QSize(320, 240);
    transport.CmdPLAY_Click();
    EXPECT_EQ(host.videoPreparations, 0); // out of reach: audio users load no graphics driver
    for (int i = 0; i < 25; ++i)
        host.fake.finish();
    EXPECT_TRUE(host.videoPreparations == 1 && host.videoScreen.shown && host.videoScreen.onTop);
    EXPECT_EQ(host.videoScreen.fitted, QSize(320, 240));
    host.fake.reportVideoSize(QSize(640, 480));
    EXPECT_EQ(host.videoScreen.fitted, QSize(640, 480));
    host.fake.finish();
    EXPECT_TRUE(!host.videoScreen.shown && !host.videoScreen.onTop && view.mainOnTopPresses == 1);
    host.fake.finish();
    EXPECT_FALSE(host.videoScreen.shown); // no "." at all: audio
    // An extension found anywhere in the list is video; a dot in a folder's name is no extension.
    EXPECT_TRUE(isVideoFile("/v/x.mpe", state.videoList) && isVideoFile("/v/x.av", state.videoList) &&
                !isVideoFile("/v.d/noext", state.videoList));
    state.videoOnTop = false; // the show-screen button puts the window on top whenever it shows it
    transport.cmdShowScreen_Click();
    EXPECT_TRUE(host.videoScreen.shown && host.videoScreen.onTop);
    transport.cmdShowScreen_Click();
    EXPECT_FALSE(host.videoScreen.shown);
    fill(Playlists::kA, {"next.mpg"});
    host.fake.finish();
    EXPECT_EQ(host.videoPreparations, 1);
}

struct FakeMprisWindow : MprisWindow {
    QList<int> sliderMoves;
    void raiseWindow() override {}
    void exitProgram() override {}
    void setVolumeSlider(int value) override { sliderMoves << value; }
    void openPlaylist(const QString&) override {}
};

// The media calls' numbers (the volume is the slider's place, 0..1); the calls are MprisBus_test's.
TEST_F(TransportTest, TheMediaCallsTakeTheirNumbersIntoRange) {
    FakeMprisWindow window;
    MprisPlayer player(transport, fields, window);
    fields.volume = -9000;
    EXPECT_EQ(player.volume(), 0);
    for (double volume : {0.5, -3.0, 7.0, double(NAN)})
        player.setVolume(volume);
    EXPECT_EQ(window.sliderMoves, (QList<int>{-2500, -5000, 0}));
    fill(Playlists::kA, {"a.mp3"});
    player.Play();
    // Length and position in microseconds: nothing known, or nothing sensible, is 0.
    const std::pair<double, qint64> cases[] = {
        {83.25, 83'250'000}, {-2, 0}, {NAN, 0}, {INFINITY, 0}, {1e300, 1'000'000'000'000'000'000}};
    for (const auto& [seconds, micros] : cases) {
        host.fake.reportDuration(seconds);
        host.fake.position = seconds;
        EXPECT_EQ(std::pair(player.metadata().lengthMicros, player.positionMicros()),
                  std::pair(micros, micros));
    }
}

// The clock's text: minutes and seconds, to the nearest, halves to even.
TEST(TimeAndColours, TheClockTextAndTheColourShow) {
    const std::pair<double, const char*> cases[] = {
        {9, "0:09"},     {10, "0:10"},  {59.4, "0:59"},       {59.5, "1:00"},       {60.5, "1:00"},
        {3725, "62:05"}, {-3, "0:0-3"}, {NAN, "--:--:--Err"}, {1e16, "--:--:--Err"}};
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(TimeConvert(seconds), text) << seconds;
    // The colour show: steps turn just past their bounds, the marker takes the opposite colour.
    AppState s;
    s.red = 250;
    ColourShow show;
    const ColourShow::Colours c = show.tick(s, false);
    EXPECT_EQ(QList({c.panel, c.marker, c.lists}), QList<QColor>({{253, 5, 7}, {7, 255, 255}, Qt::white}));
    show.tick(s, false);
    EXPECT_EQ(s.red, 256); // past 255 by up to one step, then back
    EXPECT_EQ(show.tick(s, false).panel.red(), 253);
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE((show.tick(s, false), s.red >= 0 && s.red <= 258 && s.blue <= 262)) << i;
    // Random colours paint the lists too; 127.5 is 128, to the nearest even.
    const ColourShow::Colours r = ColourShow([] { return 0.5; }).tick(s, true);
    EXPECT_TRUE(s.red == 128 && r.lists == r.marker && r.marker == QColor(132, 132, 136));
}

} // namespace

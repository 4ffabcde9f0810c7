#include "platform/MpvApi.h"
#include "platform/MpvPlayer.h"
#include "support/TempDir.h"
#include "support/WaitForStart.h"
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QTimer>
#include <cmath>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

namespace {

bool engineIdle(const MpvPlayer& player) {
    if (!player.handle())
        return true;
    int idle = 0;
    player.api()->get_property(player.handle(), "idle-active", MPV_FORMAT_FLAG, &idle);
    return idle != 0;
}

// Waits until mpv has nothing loaded and every event it sent has been handled.
void settle(MpvPlayer& player) {
    ASSERT_TRUE(waitUntil([&] { return engineIdle(player); }));
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

void run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    ASSERT_TRUE(process.waitForFinished(60000)) << program.toStdString() << " did not finish";
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
}

// Test media, each made on first use in this run's own folder (sox for tones, ffmpeg for mp3 and video).
class Clips {
public:
    QString a() { return tone("a.wav", "0.3"); }
    QString b() { return made("b tone.mp3", "ffmpeg", {"-f", "lavfi", "-i", "sine=d=0.3"}); }
    QString c() { return tone("c.wav", "0.3"); }
    QString longTone() { return tone("long.wav", "30"); }
    QString clip() { return tone("clip.wav", "1.5"); }
    QString longMp3() { return made("long tone.mp3", "ffmpeg", {"-f", "lavfi", "-i", "sine=d=20"}); }
    QString video() { // 64x48, 20 s
        return made("clip.avi", "ffmpeg",
                    {"-f", "lavfi", "-i", "testsrc=d=20:s=64x48:r=2", "-f", "lavfi", "-i", "sine=d=20",
                     "-shortest", "-c:v", "mjpeg"});
    }
    QString text() { return dir.write("notes.mp3", "These are not the sounds you are looking for.\n"); }
    QString playlist() { return dir.write("list.m3u", a().toUtf8() + "\n"); }
    QString fifo() {
        const QString path = dir.file("pipe.mp3");
        if (!QFileInfo::exists(path))
            ::mkfifo(QFile::encodeName(path).constData(), 0600);
        return path;
    }
    QString file(const QString& name) const { return dir.file(name); }
    QString folder() const { return dir.path(); }

private:
    QString tone(const QString& name, const QString& seconds) {
        const QString path = dir.file(name);
        if (!QFileInfo::exists(path))
            run("sox", {"-n", "-r", "8000", "-b", "16", path, "synth", seconds, "sine", "440"});
        return path;
    }
    QString made(const QString& name, const QString& program, const QStringList& input) {
        const QString path = dir.file(name);
        if (!QFileInfo::exists(path))
            run(program, QStringList{"-loglevel", "error", "-y"} + input + QStringList{path});
        return path;
    }
    TempDir dir;
};

Clips& clips() {
    static Clips made;
    return made;
}

std::unique_ptr<MpvPlayer> makePlayer(bool untimed) {
    MpvPlayer::Options options;
    options.ao = QStringLiteral("null");
    options.vo = QStringLiteral("null");
    options.untimed = untimed;
    auto player = std::make_unique<MpvPlayer>(options);
    EXPECT_TRUE(waitForStart(*player));
    EXPECT_TRUE(player->isReady()) << player->lastError().toStdString();
    return player;
}

// Every endOfPlayback, in order.
struct Ends {
    std::vector<int> reasons;
    explicit Ends(MediaPlayer& player) {
        QObject::connect(&player, &MediaPlayer::endOfPlayback,
                         [this](int reason) { reasons.push_back(reason); });
    }
    bool waitFor(std::size_t count) {
        return waitUntil([&] { return reasons.size() >= count; });
    }
};

using Reasons = std::vector<int>;
const Reasons oneFinished{MediaPlayer::Finished};
const Reasons oneFailed{MediaPlayer::Failed};

TEST(MpvPlayer, QueueOfClipsPlaysToTheEndOneAfterAnother) {
    auto player = makePlayer(true);
    std::deque<QString> queue{clips().a(), clips().b(), clips().c()};
    Reasons reasons;
    QStringList played;
    QObject::connect(player.get(), &MediaPlayer::endOfPlayback, [&](int reason) {
        reasons.push_back(reason);
        played << queue.front();
        queue.pop_front();
        if (!queue.empty())
            player->setMedia(queue.front());
    });
    player->setMedia(queue.front());
    ASSERT_TRUE(waitUntil([&] { return queue.empty(); }));
    settle(*player);
    EXPECT_EQ(reasons, Reasons(3, MediaPlayer::Finished));
    EXPECT_EQ(played, (QStringList{clips().a(), clips().b(), clips().c()}));
}

TEST(MpvPlayer, OnlyTheLoadedMediaReportsItsEnd) {
    auto player = makePlayer(false);
    Ends ends(*player);
    // Made before anything plays: making media takes time.
    const QString a = clips().a(), c = clips().c(), longTone = clips().longTone();

    // The first clip ends inside mpv while no events are handled; the long file that replaces it must not
    // be taken for ended.
    player->setMedia(a);
    QElapsedTimer guard;
    guard.start();
    while (!engineIdle(*player) && guard.elapsed() < 10000)
        QThread::msleep(2);
    bool longToneLoaded = false;
    QObject::connect(player.get(), &MediaPlayer::durationChanged, [&](double) { longToneLoaded = true; });
    player->setMedia(longTone);
    ASSERT_TRUE(waitUntil([&] { return longToneLoaded; }));
    EXPECT_TRUE(ends.reasons.empty());

    // A pause carries over in mpv; a new file must start anyway.
    player->pause();
    player->setMedia(c);
    ASSERT_TRUE(ends.waitFor(1));
    settle(*player);
    EXPECT_EQ(ends.reasons, oneFinished);
}

TEST(MpvPlayer, StopAndReplacingNeverReportAnEnd) {
    auto player = makePlayer(false);
    Ends ends(*player);
    player->setMedia(clips().longTone());
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.05; }));
    player->stop();
    player->setMedia(clips().longTone());
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.05; }));
    player->setMedia(clips().a());
    ASSERT_TRUE(ends.waitFor(1));
    settle(*player);
    EXPECT_EQ(ends.reasons, oneFinished);
}

TEST(MpvPlayer, MediaThatCannotBePlayedEndsAsFailedSoAQueueGoesOn) {
    auto player = makePlayer(true);
    Ends ends(*player);
    const QStringList unplayable{
        clips().file("missing.mp3"), clips().text(), clips().folder(), QString(), clips().fifo(),
        clips().playlist()};
    for (const QString& path : unplayable) {
        SCOPED_TRACE(path.toStdString());
        ends.reasons.clear();
        player->setMedia(path);
        EXPECT_TRUE(ends.reasons.empty()) << "reported from inside setMedia";
        ASSERT_TRUE(ends.waitFor(1));
        settle(*player);
        EXPECT_EQ(ends.reasons, oneFailed);
    }

    // A failure not yet reported belongs to the replaced path and is dropped with it.
    ends.reasons.clear();
    player->setMedia(clips().folder());
    player->setMedia(clips().a());
    ASSERT_TRUE(ends.waitFor(1));
    settle(*player);
    EXPECT_EQ(ends.reasons, oneFinished);
}

TEST(MpvPlayer, PauseHoldsThePositionAndPlayResumes) {
    auto player = makePlayer(false);
    Ends ends(*player);
    player->setMedia(clips().longTone());
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.1; }));
    player->pause();
    const double paused = player->currentPosition();
    waitUntil([] { return false; }, 150);
    EXPECT_NEAR(player->currentPosition(), paused, 0.05);
    player->play();
    EXPECT_TRUE(waitUntil([&] { return player->currentPosition() > paused + 0.1; }));
    EXPECT_TRUE(ends.reasons.empty());
}

TEST(MpvPlayer, SeekAndBackGoOnFromTheNewPosition) {
    auto player = makePlayer(false);
    Ends ends(*player);
    player->setMedia(clips().longTone());
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.05; }));

    // Seek: stop, set the position, play.
    player->stop();
    player->setCurrentPosition(20);
    player->play();
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 20.05; }));
    EXPECT_LT(player->currentPosition(), 25);

    // Back: stop, start position 0, play.
    player->stop();
    player->setStartPosition(0);
    player->play();
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.05; }));
    EXPECT_LT(player->currentPosition(), 5);

    // A plain stop and play goes on where it stopped.
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.2; }));
    player->stop();
    const double stopped = player->currentPosition();
    player->play();
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > stopped + 0.05; }));
    EXPECT_LT(player->currentPosition(), stopped + 5);
    EXPECT_TRUE(ends.reasons.empty());
}

TEST(MpvPlayer, PlayAfterTheEndStartsTheMediaAgain) {
    auto player = makePlayer(true);
    Ends ends(*player);
    player->setMedia(clips().a());
    ASSERT_TRUE(ends.waitFor(1));
    player->play();
    ASSERT_TRUE(ends.waitFor(2));
    settle(*player);
    EXPECT_EQ(ends.reasons, Reasons(2, MediaPlayer::Finished));
}

TEST(MpvPlayer, DurationAndVideoSizeBecomeKnownAfterSetMedia) {
    // Long files played in real time: each is still open when its events are handled, however busy the
    // machine is.
    auto player = makePlayer(false);
    std::vector<double> durations;
    std::vector<QSize> sizes;
    QObject::connect(player.get(), &MediaPlayer::durationChanged, [&](double s) { durations.push_back(s); });
    QObject::connect(player.get(), &MediaPlayer::videoSizeChanged, [&](QSize s) { sizes.push_back(s); });
    const QString tone = clips().longTone(), video = clips().video(), mp3 = clips().longMp3();

    player->setMedia(tone);
    EXPECT_EQ(player->duration(), 0);
    ASSERT_TRUE(waitUntil([&] { return durations.size() == 1; }));
    EXPECT_NEAR(durations[0], 30, 0.01);
    EXPECT_EQ(player->duration(), durations[0]);

    player->setMedia(video);
    EXPECT_EQ(player->duration(), 0);
    ASSERT_TRUE(waitUntil([&] { return durations.size() == 2 && !sizes.empty(); }));
    EXPECT_NEAR(durations[1], 20, 0.6);
    EXPECT_EQ(sizes, std::vector<QSize>{QSize(64, 48)});
    EXPECT_EQ(player->videoSize(), QSize(64, 48));

    // Audio after video: the previous file's size and length are gone at once, and no size comes.
    player->setMedia(mp3);
    EXPECT_TRUE(player->videoSize().isEmpty());
    EXPECT_EQ(player->duration(), 0);
    ASSERT_TRUE(waitUntil([&] { return durations.size() == 3; }));
    EXPECT_NEAR(player->duration(), 20, 0.1);
    ASSERT_TRUE(
        waitUntil([&] { return player->currentPosition() > 0.1; })); // playing: any video would be set up
    EXPECT_TRUE(player->videoSize().isEmpty());
    EXPECT_EQ(sizes.size(), 1u);
}

// In the last half second of a clip played in real time, Back and Pause act on that clip: what the user
// hears is what the player acts on.
TEST(MpvPlayer, BackAndPauseNearTheEndActOnThePlayingClip) {
    auto player = makePlayer(false);
    Ends ends(*player);
    const QString clip = clips().clip();

    // Back: stop, start position 0, play. The clip starts over instead of ending.
    player->setMedia(clip);
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 1.05; }));
    player->stop();
    player->setStartPosition(0);
    player->play();
    EXPECT_LT(player->currentPosition(), 0.5);
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.7 || !ends.reasons.empty(); }));
    EXPECT_TRUE(ends.reasons.empty()) << "the clip ended instead of starting over";
    ASSERT_TRUE(ends.waitFor(1));
    EXPECT_EQ(ends.reasons, oneFinished);

    // Pause holds the clip; it ends only after Play.
    ends.reasons.clear();
    player->setMedia(clip);
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 1.05; }));
    player->pause();
    const double paused = player->currentPosition();
    waitUntil([] { return false; }, 800);
    EXPECT_TRUE(ends.reasons.empty()) << "the paused clip played out";
    EXPECT_NEAR(player->currentPosition(), paused, 0.25);
    player->play();
    ASSERT_TRUE(ends.waitFor(1));
    EXPECT_EQ(ends.reasons, oneFinished);

    // Stop late in a clip, the silent clip in its place, then the next clip: only the last clip's end.
    ends.reasons.clear();
    player->setMedia(clip);
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 1.05; }));
    player->stop();
    player->setMedia(clips().a());
    player->setMedia(clip);
    EXPECT_EQ(player->currentPosition(), 0);
    ASSERT_TRUE(ends.waitFor(1));
    settle(*player);
    EXPECT_EQ(ends.reasons, oneFinished);
}

TEST(MpvPlayer, CallsMadeWhileTheEngineStartsAreCarriedOutInOrder) {
    const QString tone = clips().longTone();
    MpvPlayer::Options options;
    options.ao = QStringLiteral("null");
    options.vo = QStringLiteral("null");
    MpvPlayer player(options);
    Ends ends(player);
    bool started = false;
    QObject::connect(&player, &MpvPlayer::started, [&] { started = true; });
    ASSERT_TRUE(player.isStarting());
    // Seek: stop, position, play, all before the engine runs.
    player.setMedia(tone);
    player.setVolume(-600);
    player.stop();
    player.setCurrentPosition(25);
    player.play();
    EXPECT_EQ(player.currentPosition(), 0);
    ASSERT_TRUE(waitUntil([&] { return started; }, 20000));
    EXPECT_TRUE(player.isReady());
    ASSERT_TRUE(waitUntil([&] { return player.currentPosition() > 25.05; }));
    EXPECT_LT(player.currentPosition(), 29);
    EXPECT_TRUE(ends.reasons.empty());
}

TEST(MpvVolume, HundredthsOfDbMapOntoMpvsCubicVolume) {
    EXPECT_DOUBLE_EQ(MpvPlayer::mpvVolume(0), 100);
    for (int level : {-5000, -2500, -600, -50}) {
        const double gain = std::pow(MpvPlayer::mpvVolume(level) / 100, 3);
        EXPECT_NEAR(20 * std::log10(gain), level / 100.0, 1e-9) << level;
    }
    // Outside the slider's range: the nearest end.
    EXPECT_DOUBLE_EQ(MpvPlayer::mpvVolume(250), 100);
    EXPECT_DOUBLE_EQ(MpvPlayer::mpvVolume(-9000), MpvPlayer::mpvVolume(-5000));

    // The volume reaches mpv after the call has returned.
    auto player = makePlayer(true);
    player->setVolume(-2500);
    double volume = 0;
    waitUntil([&] {
        player->api()->get_property(player->handle(), "volume", MPV_FORMAT_DOUBLE, &volume);
        return std::abs(volume - MpvPlayer::mpvVolume(-2500)) < 1e-4; // mpv keeps a float
    });
    EXPECT_NEAR(volume, MpvPlayer::mpvVolume(-2500), 1e-4);
}

TEST(MpvPlayerWithoutEngine, IsASilentPlayerThatExplainsWhy) {
    MpvPlayer::Options options;
    options.library = QStringLiteral("/nonexistent/libmpv-kivo-test.so");
    MpvPlayer player(options);
    Ends ends(player);
    ASSERT_TRUE(waitForStart(player));
    EXPECT_FALSE(player.isReady());
    EXPECT_FALSE(player.lastError().isEmpty());
    EXPECT_EQ(player.handle(), nullptr);

    player.setMedia(clips().a());
    player.setVolume(-100);
    player.setCurrentPosition(3);
    player.setStartPosition(0);
    player.play();
    player.pause();
    player.stop();
    waitUntil([] { return false; }, 50);
    // No end is reported: a queue must not be emptied by an engine that never ran.
    EXPECT_TRUE(ends.reasons.empty());
    EXPECT_EQ(player.duration(), 0);
    EXPECT_EQ(player.currentPosition(), 0);
    EXPECT_TRUE(player.videoSize().isEmpty());
}

} // namespace

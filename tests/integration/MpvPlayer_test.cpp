// The player on the real engine (null audio and video), clips made for the run; waits are for its events.
#include "platform/MpvApi.h"
#include "platform/MpvPlayer.h"
#include "platform/SilentClip.h"
#include "support/TempDir.h"
#include "support/WaitUntil.h"
#include <QFile>
#include <QProcess>
#include <QThread>
#include <arpa/inet.h>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/fanotify.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Reasons = std::vector<int>;
const Reasons kFinished{MediaPlayer::Finished}, kFailed{MediaPlayer::Failed};

// The clips, made by ffmpeg once for the run.
struct Clips {
    TempDir dir;
    QString make(const char* name, const QString& input, const QStringList& more = {}) {
        QProcess::execute("ffmpeg", QStringList{"-loglevel", "error", "-f", "lavfi", "-i", input} + more +
                                        QStringList{dir.file(name)});
        return dir.file(name);
    }
    const QString a = make("a.wav", "sine=d=0.3");
    // The lowest rates files use: old sound files, telephony.
    const QString lowRates[2] = {make("5512.wav", "sine=d=0.3:sample_rate=5512"),
                                 make("8000.mp3", "sine=d=0.3:sample_rate=8000")};
    const QString video = make("clip.avi", "testsrc=d=20:s=64x48:r=2", {"-c:v", "mjpeg"});
    // Two halves of one tone, cut at a sample.
    const QString first = make("first.wav", "sine=f=440:d=1", {"-af", "atrim=end_sample=22050"});
    const QString second = make("second.wav", "sine=f=440:d=1", {"-af", "atrim=start_sample=22050"});
    const QString plain = make("plain.flac", "sine=d=1"); // mpv takes a gain only with its peak:
    const QString tagged =
        make("tagged.flac", "sine=d=1",
             {"-metadata", "REPLAYGAIN_TRACK_GAIN=-6 dB", "-metadata", "REPLAYGAIN_TRACK_PEAK=.2",
              "-metadata", "REPLAYGAIN_ALBUM_GAIN=-2 dB", "-metadata", "REPLAYGAIN_ALBUM_PEAK=.2"});
};
const Clips& clips() {
    static const Clips made;
    return made;
}

// A player on the real engine (which starts on a thread of its own), and every end it reported, in order.
class MpvPlayerTest : public ::testing::Test {
protected:
    std::unique_ptr<MpvPlayer> player;
    Reasons ends;

    void make(bool untimed, const QString& library = {}, const QString& ao = "null") {
        player = std::make_unique<MpvPlayer>(MpvPlayer::Options{ao, "null", untimed, library});
        QObject::connect(player.get(), &MediaPlayer::endOfPlayback, [this](int r) { ends.push_back(r); });
    }
    void start(bool untimed, const QString& library = {}) {
        make(untimed, library);
        ASSERT_TRUE(waitForStart());
        ASSERT_TRUE(player->isReady()) << player->lastError().toStdString();
    }
    template <typename T> T get(const char* name, mpv_format format) const { // one of mpv's properties
        T value{};
        player->api()->get_property(player->handle(), name, format, &value);
        return value;
    }
    bool idle() const { return get<int>("idle-active", MPV_FORMAT_FLAG); }
    // The ends reported once `count` came and the engine has nothing loaded: these must be all.
    Reasons ended(std::size_t count = 1) {
        EXPECT_TRUE(waitUntil([&] { return ends.size() >= count && idle(); }, 15000)) << "the queue stalled";
        QCoreApplication::processEvents();
        return std::exchange(ends, {});
    }
    bool waitForStart() {
        return waitUntil([&] { return !player->isStarting(); }, 20000);
    }
    bool waitForPosition(double seconds) {
        return waitUntil([&] { return player->currentPosition() > seconds; });
    }
};

TEST_F(MpvPlayerTest, OnlyTheLoadedMediaEndsWhatCannotPlayFailsAndSeekAndBackActOnThePlayingClip) {
    start(false);
    // The first clip ends inside mpv while no events are handled; the file that replaces it is not ended.
    player->setMedia(clips().a);
    for (int i = 0; i < 5000 && !idle(); ++i)
        QThread::msleep(2);
    player->setMedia(clips().video);
    ASSERT_TRUE(waitUntil([&] { return player->duration() > 19.4 && player->videoSize() == QSize(64, 48); }));
    EXPECT_TRUE(ends.empty());
    // A pause carries over in mpv; a new file must start anyway, with nothing of the previous one.
    player->pause();
    ASSERT_TRUE(waitUntil([&] { return get<int>("pause", MPV_FORMAT_FLAG); }));
    player->setMedia(clips().a);
    EXPECT_TRUE(player->duration() == 0 && player->videoSize().isEmpty());
    EXPECT_EQ(ended(), kFinished);
    player->play(); // after its end, Play starts the file again
    EXPECT_EQ(ended(), kFinished);
    for (const QString& low : clips().lowRates) {
        player->setMedia(low);
        EXPECT_EQ(ended(), kFinished) << low.toStdString();
    }
    // The silent clip is written once, and again when it was removed.
    const QString silent = silentClipPath();
    ASSERT_TRUE(silentClipPath() == silent && QFile::remove(silent));
    player->setMedia(silentClipPath());
    EXPECT_EQ(ended(), kFinished);
    // Failures end too, so that a queue goes on.
    TempDir dir;
    const QString fifo = dir.file("pipe.mp3"), text = dir.write("notes.mp3", "Not a sound.\n");
    ::mkfifo(QFile::encodeName(fifo).constData(), 0600);
    for (const QString& path : {dir.file("missing.mp3"), text, dir.path(), QString(), fifo}) {
        player->setMedia(path);
        EXPECT_TRUE(ends.empty()) << "reported from inside setMedia";
        EXPECT_EQ(ended(), kFailed) << path.toStdString();
    }
    // A failure not yet reported belongs to the replaced path and goes with it.
    player->setMedia(dir.path()), player->setMedia(clips().a);
    EXPECT_EQ(ended(), kFinished);
    // Seek, and in the last second of a clip Back acts on that clip (held there so that it cannot end first).
    player->setMedia(clips().video);
    ASSERT_TRUE(waitForPosition(0.05));
    player->stop(), player->setCurrentPosition(15), player->play(); // Seek: stop, position, play
    EXPECT_EQ(player->currentPosition(), 15);
    ASSERT_TRUE(waitForPosition(15.05));
    player->stop(), player->setCurrentPosition(19.6);
    ASSERT_TRUE(waitUntil([&] { return get<double>("time-pos", MPV_FORMAT_DOUBLE) > 19; }));
    player->stop(), player->setStartPosition(0), player->play(); // Back: stop, start position 0, play
    EXPECT_LT(player->currentPosition(), 0.5);
    ASSERT_TRUE(waitUntil([&] { return player->currentPosition() > 0.7 || !ends.empty(); }));
    EXPECT_TRUE(ends.empty() && player->currentPosition() < 5) << "the clip did not start over";
}

// End reasons other than a plain end and a broken file are hard to bring about (a redirect needs a playlist,
// which the player never opens): the engine's end of a clip, with its reason rewritten on the way.
struct Rewrite {
    static inline decltype(MpvApi::wait_event) waitEvent;
    static inline decltype(MpvApi::command_async) commandAsync;
    static inline int reason = -1; // -1 once done
    static inline QStringList commands;
    static mpv_event* rewrite(mpv_handle* handle, double timeout) {
        mpv_event* event = waitEvent(handle, timeout);
        if (event->event_id == MPV_EVENT_END_FILE && reason >= 0)
            static_cast<mpv_event_end_file*>(event->data)->reason =
                mpv_end_file_reason(std::exchange(reason, -1));
        return event;
    }
    static int record(mpv_handle* handle, uint64_t reply, const char** args) {
        commands << args[0];
        return commandAsync(handle, reply, args);
    }
};

TEST_F(MpvPlayerTest, ARedirectOrAnErrorIsAFailedFileStopOrQuitNoEndAndCraftedFilesAreNotFollowed) {
    // Loaded under a name of its own, the library's functions are this test's alone to replace.
    start(true, "libmpv.so.2");
    auto* api = const_cast<MpvApi*>(player->api());
    if (api->wait_event != &Rewrite::rewrite) { // once a run
        Rewrite::waitEvent = std::exchange(api->wait_event, &Rewrite::rewrite);
        Rewrite::commandAsync = std::exchange(api->command_async, &Rewrite::record);
    }
    const std::pair<int, Reasons> cases[] = {
        {MPV_END_FILE_REASON_EOF, kFinished},    {MPV_END_FILE_REASON_ERROR, kFailed},
        {MPV_END_FILE_REASON_REDIRECT, kFailed}, {MPV_END_FILE_REASON_STOP, {}},
        {MPV_END_FILE_REASON_QUIT, {}},          {99, {}}};
    for (const auto& [reason, expected] : cases) {
        Rewrite::reason = reason;
        player->setMedia(clips().a);
        Rewrite::commands.clear();
        ASSERT_TRUE(waitUntil([] { return Rewrite::reason < 0; }));
        EXPECT_EQ(ended(0), expected) << reason;
        // A redirect would go on with the files a playlist names: the player stops it.
        EXPECT_EQ(Rewrite::commands.contains("stop"), reason == MPV_END_FILE_REASON_REDIRECT) << reason;
    }
    // Files naming other files or addresses, under media names: none is followed to the network or another
    // file, none hangs or crashes the engine, each fails so that a queue goes on; none may reach this port.
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
    socklen_t size = sizeof address;
    ::bind(server, reinterpret_cast<sockaddr*>(&address), size);
    ::listen(server, 64);
    ::getsockname(server, reinterpret_cast<sockaddr*>(&address), &size);
    ASSERT_NE(address.sin_port, 0);
    TempDir dir;
    const QByteArray web = "http://127.0.0.1:" + QByteArray::number(ntohs(address.sin_port)) + "/x";
    const QByteArray pipe = QFile::encodeName(dir.file("pipe.wav")),
                     self = QFile::encodeName(dir.file("self.mp3"));
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);
    const QByteArray tone = QFile::encodeName(clips().a);
    const std::pair<const char*, QByteArray> crafted[] = {
        {"edl.mp3", "# mpv EDL v0\n" + web + ".wav\n"},
        {"edl-local.mp3", "# mpv EDL v0\n" + tone + ",0,0.1\n"},
        {"edl-pipe.mp3", "# mpv EDL v0\n" + pipe + "\n"},
        {"self.mp3", "# mpv EDL v0\n" + self + "\n"},
        {"list.mp3", "#EXTM3U\n#EXTINF:1,song\n" + web + ".mp3\n"},
        {"plain-list.avi", web + ".avi\n" + tone + "\n"},
        {"hls.mp3", "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n" + web +
                        "0.ts\n#EXTINF:2.0,\n" + tone + "\n#EXT-X-ENDLIST\n"},
        {"hls-local.mpg", "#EXTM3U\n#EXT-X-TARGETDURATION:2\n#EXTINF:2.0,\n" + tone + "\n#EXT-X-ENDLIST\n"},
        {"dash.mp3", "<?xml version=\"1.0\"?>\n<MPD xmlns=\"urn:mpeg:dash:schema:mpd:2011\" type=\"static\" "
                     "mediaPresentationDuration=\"PT2S\" minBufferTime=\"PT1S\"><BaseURL>" +
                         web +
                         "/</BaseURL><Period><AdaptationSet mimeType=\"audio/mp4\"><Representation id=\"1\" "
                         "bandwidth=\"1000\" codecs=\"mp4a.40.2\"><BaseURL>a.mp4</BaseURL></Representation>"
                         "</AdaptationSet></Period></MPD>\n"},
        {"pls.wav", "[playlist]\nFile1=" + web + ".wav\nNumberOfEntries=1\n"},
        {"concat.mp3", "ffconcat version 1.0\nfile '" + web + ".wav'\nfile '" + tone + "'\n"},
        {"a.wav", {}}, // the engine still plays what it is given
    };
    for (const auto& [name, text] : crafted) {
        player->setMedia(text.isEmpty() ? clips().a : dir.write(name, text));
        EXPECT_EQ(ended(), text.isEmpty() ? kFinished : kFailed) << name;
    }
    EXPECT_LT(::accept(server, nullptr, nullptr), 0) << "a crafted file reached the network";
    ::close(server);
}

// A file whose opening never returns (as on a hung network mount; here the open waits for a permission this
// test never gives): the next file plays all the same, and the player's end does not wait for the engine.
TEST_F(MpvPlayerTest, AFileThatNeverOpensHoldsUpNeitherTheNextFileNorTheEnd) {
    const int holder = ::fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC | FAN_NONBLOCK, O_RDONLY);
    if (holder < 0)
        GTEST_SKIP() << "holding an open needs fanotify and CAP_SYS_ADMIN";
    const std::shared_ptr<void> release(nullptr, [holder](void*) { ::close(holder); });
    TempDir dir;
    const QString stuck = dir.write("stuck.wav", "never read");
    ASSERT_EQ(::fanotify_mark(holder, FAN_MARK_ADD, FAN_OPEN_PERM, AT_FDCWD, QFile::encodeName(stuck)), 0);
    fanotify_event_metadata ev{}; // the engine has begun to open the file
    const auto opening = [&] {
        return ::read(holder, &ev, sizeof ev) == sizeof ev && !::close(ev.fd);
    };
    start(true);
    player->setVolume(-2500);
    player->setMedia(stuck);
    ASSERT_TRUE(waitUntil(opening));
    player->setMedia(clips().a);
    ASSERT_EQ(ended(), kFinished);
    EXPECT_NEAR(get<double>("volume", MPV_FORMAT_DOUBLE), 38.3119, 1e-4);
    player->setMedia(stuck);
    ASSERT_TRUE(waitUntil(opening));
    player.reset(); // returns while the open still waits
}

TEST_F(MpvPlayerTest, CallsMadeWhileTheEngineStartsAreCarriedOutInOrderAndWithoutItNothingEnds) {
    make(false);
    ASSERT_TRUE(player->isStarting());
    player->setMedia(clips().video), player->setVolume(-2500);
    player->stop(), player->setCurrentPosition(15), player->play(); // Seek: stop, position, play
    EXPECT_EQ(player->currentPosition(), 0);
    ASSERT_TRUE(waitForStart());
    ASSERT_TRUE(waitForPosition(15.05));
    EXPECT_LT(player->currentPosition(), 19);
    EXPECT_NEAR(get<double>("volume", MPV_FORMAT_DOUBLE), 38.3119, 1e-4); // mpv's gain is (volume / 100)^3
    // Outside the slider's range: its nearest end.
    EXPECT_TRUE(MpvPlayer::mpvVolume(250) == 100 && std::abs(MpvPlayer::mpvVolume(-9000) - 14.678) < 1e-4);
    // Without the engine: a silent player that says why and never empties a queue.
    make(false, "/nonexistent/libmpv-kivo-test.so");
    ASSERT_TRUE(waitForStart());
    EXPECT_FALSE(player->isReady() || player->lastError().isEmpty());
    player->setMedia(clips().a), player->setVolume(-100), player->setCurrentPosition(3);
    player->play(), player->pause(), player->stop();
    QCoreApplication::processEvents();
    EXPECT_TRUE(ends.empty());
    EXPECT_EQ(player->duration() + player->currentPosition(), 0);
}

// What the engine writes to a file for `play`, as 16-bit mono samples.
std::vector<qint16> output(std::unique_ptr<MpvPlayer>& player, const std::function<void()>& play) {
    const QString out = clips().dir.file("out.wav"), raw = clips().dir.file("out.raw");
    player->api()->set_property_string(player->handle(), "ao-pcm-file", out.toUtf8().constData());
    play();
    player.reset(); // the output file is complete once the engine has ended
    QProcess::execute("sox", {out, "-t", "s16", "-c", "1", raw});
    QFile file(raw);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    std::vector<qint16> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.constData(), samples.size() * 2);
    return samples;
}

// Two halves of one tone in a row: the output has no pause at the joint (no run of silence over 2 ms between
// the first and the last sound) and no click (no step between samples larger than the tone's own).
TEST_F(MpvPlayerTest, TheNextFileFollowsWithoutAGapOrAClick) {
    make(true, {}, "pcm");
    int advances = 0;
    QObject::connect(player.get(), &MediaPlayer::advanced, [&] { ++advances; });
    ASSERT_TRUE(waitForStart() && player->isReady());
    const std::vector<qint16> s = output(player, [&] {
        player->setMedia(clips().first);
        player->setNext(clips().a); // a changed choice replaces the one before
        player->setNext(clips().second);
        EXPECT_EQ(ended(), kFinished);
    });
    EXPECT_EQ(advances, 1);
    auto loud = [](qint16 v) {
        return std::abs(v) > 300;
    };
    const auto begin = std::find_if(s.begin(), s.end(), loud),
               end = std::find_if(s.rbegin(), s.rend(), loud).base();
    ASSERT_NEAR(end - begin, 44100, 100) << "both halves are heard, and nothing else";
    int quiet = 0, longestQuiet = 0, ownStep = 0, largestStep = 0;
    for (auto i = begin; i + 1 < end; ++i) {
        quiet = std::abs(*i) < 30 ? quiet + 1 : 0;
        longestQuiet = std::max(longestQuiet, quiet);
        (i - begin < 20000 ? ownStep : largestStep) =
            std::max(i - begin < 20000 ? ownStep : largestStep, std::abs(i[1] - i[0]));
    }
    EXPECT_LE(longestQuiet, 88) << "samples of silence at 44.1 kHz";
    EXPECT_LE(largestStep, ownStep * 11 / 10);
}

// By the level (RMS, by sox) of what the engine writes, a file tagged -6 dB plays 6 dB below it untagged.
TEST_F(MpvPlayerTest, ReplayGainPlaysATaggedFileAtItsCorrectedLevel) {
    auto level = [&](const QString& file, ReplayGain gain) {
        make(true, {}, "pcm");
        player->setReplayGain(gain);
        EXPECT_TRUE(waitForStart() && player->isReady());
        const std::vector<qint16> s = output(player, [&] {
            player->setMedia(file);
            EXPECT_EQ(ended(), kFinished);
        });
        double sum = 0;
        for (qint16 v : s)
            sum += double(v) * v;
        return 10 * std::log10(sum / std::max<size_t>(1, s.size()) / (32768.0 * 32768.0));
    };
    const double plain = level(clips().plain, {});
    EXPECT_NEAR(level(clips().tagged, {ReplayGain::Track, 0}) - plain, -6, 0.5);
    EXPECT_NEAR(level(clips().tagged, {ReplayGain::Album, 1}) - plain, -1, 0.5);
    EXPECT_NEAR(level(clips().tagged, {ReplayGain::Off, 0}) - plain, 0, 0.5);
}

} // namespace

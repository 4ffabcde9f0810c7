#include "platform/MpvPlayer.h"
#include "platform/MpvApi.h"
#include "platform/MpvPlayerTeardown.h"
#include "platform/MpvReplies.h"
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <QtDebug>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstring>
#include <vector>

using namespace MpvReplies;

namespace {
// mpv closes a file within milliseconds: one still open after this long is taken for hung (a merely slow
// one costs a new engine, nothing else).
constexpr std::chrono::milliseconds closeBound(2000);
// What the player's destruction (at the program's end, after the saves) grants the engine.
constexpr std::chrono::milliseconds teardownBound(2000);
} // namespace

MpvPlayer::Options MpvPlayer::Options::fromEnvironment() {
    Options options;
    options.ao = qEnvironmentVariable("KIVO_MPV_AO");
    options.vo = qEnvironmentVariable("KIVO_MPV_VO");
    options.untimed = qEnvironmentVariable("KIVO_MPV_UNTIMED") == QLatin1String("1");
    options.library = qEnvironmentVariable("KIVO_MPV_LIBRARY");
    return options;
}

MpvPlayer::MpvPlayer(QObject* parent) : MpvPlayer(Options::fromEnvironment(), parent) {}

MpvPlayer::MpvPlayer(const Options& options, QObject* parent)
    : MediaPlayer(parent), options_(options), closeWatch_(new QTimer(this)) {
    // mpv refuses to start when numbers are written with a decimal comma; Qt does not rely on LC_NUMERIC.
    std::setlocale(LC_NUMERIC, "C");
    closeWatch_->setSingleShot(true);
    closeWatch_->setInterval(closeBound);
    connect(closeWatch_, &QTimer::timeout, this, &MpvPlayer::checkClose);
    startEngine();
}

void MpvPlayer::startEngine() {
    starting_ = true;
    starter_ = std::thread([this] {
        start(options_);
        QMetaObject::invokeMethod(this, &MpvPlayer::finishStart, Qt::QueuedConnection);
    });
}

void MpvPlayer::finishStart() {
    if (!starting_)
        return;
    starter_.join();
    starting_ = false;
    if (handle_)
        api_->set_wakeup_callback(handle_, &MpvPlayer::onWakeup, this);
    QPointer<MpvPlayer> alive(this);
    const std::vector<std::function<void()>> calls = std::move(pending_);
    pending_.clear();
    for (const auto& call : calls) {
        call();
        if (!alive)
            return;
    }
    emit started();
}

bool MpvPlayer::deferWhileStarting(std::function<void()> call) {
    if (!starting_)
        return false;
    pending_.push_back(std::move(call));
    return true;
}

MpvPlayer::~MpvPlayer() {
    if (starter_.joinable())
        starter_.join();
    starting_ = false;
    emit aboutToShutDown();
    if (handle_) {
        // No wakeup may reach this object once destruction has begun.
        api_->set_wakeup_callback(handle_, nullptr, nullptr);
        if (!destroyMpvWithin(api_, std::exchange(handle_, nullptr), teardownBound))
            qWarning("mpv did not end in time; it is left behind");
    }
}

void MpvPlayer::watchClose() {
    closeWatch_->start();
}

void MpvPlayer::checkClose() {
    // What mpv has answered meanwhile counts, even when this thread was too busy to take it in.
    QPointer<MpvPlayer> alive(this);
    drainEvents();
    if (alive && engineBehind())
        replaceEngine();
}

// mpv answers a command at once and starts the next file as soon as the previous one is closed: a command
// still unanswered, or a file still open that is no longer the loaded media, means its core hangs.
bool MpvPlayer::engineBehind() const {
    return !starting_ && handle_ && (loadsUnanswered_ > 0 || (open_ != 0 && open_ != current_));
}

void MpvPlayer::replaceEngine() {
    qWarning("mpv hangs on closing a file; going on with a new engine");
    emit aboutToShutDown(); // render contexts belong to the engine left behind
    api_->set_wakeup_callback(handle_, nullptr, nullptr);
    destroyMpvWithin(api_, std::exchange(handle_, nullptr), {});
    active_ = open_ = current_ = 0;
    loadsUnanswered_ = 0;
    positionAsked_ = false;
    if (starter_.joinable())
        starter_.join(); // long done: finishStart joined it
    pending_.push_back([this] { takeOver(); });
    startEngine();
}

void MpvPlayer::takeOver() {
    if (!handle_)
        return;
    if (volume_) {
        double volume = *volume_;
        api_->set_property_async(handle_, 0, "volume", MPV_FORMAT_DOUBLE, &volume);
    }
    applyReplayGain();
    setPaused(paused_);
    if (generation_ == 0 || ended_)
        return;
    // The loaded media opens again on the new engine, where it was asked to start, and the next file after
    // it.
    const double at = seekTarget_.value_or(0);
    const std::optional<double> startAt = startAt_;
    const QString next = nextPath_;
    reset();
    startAt_ = startAt;
    load(at);
    setNext(next);
}

void MpvPlayer::start(const Options& options) {
    api_ = loadMpvApi(options.library, &error_);
    if (!api_)
        return;
    handle_ = api_->create();
    if (!handle_) {
        error_ = QStringLiteral("The playback engine mpv could not be created.");
        return;
    }
    // Nothing from the user's mpv set-up, no scripts (the built-in ones included), no network look-ups, no
    // keys or on-screen controls.
    setOption("config", QStringLiteral("no"));
    setOption("load-scripts", QStringLiteral("no"));
    setOption("ytdl", QStringLiteral("no"));
    setOption("osc", QStringLiteral("no"));
    setOption("load-stats-overlay", QStringLiteral("no"));
    setOption("load-osd-console", QStringLiteral("no"));
    setOption("load-auto-profiles", QStringLiteral("no"));
    setOption("input-default-bindings", QStringLiteral("no"));
    setOption("input-vo-keyboard", QStringLiteral("no"));
    setOption("osd-level", QStringLiteral("0"));
    setOption("terminal", QStringLiteral("no"));
    setOption("idle", QStringLiteral("yes"));
    // The player opens the one file it was handed: never what a file names inside it (playlists, EDL
    // files, streaming manifests, addresses), so a crafted file fails instead of fetching or recursing.
    setOption("access-references", QStringLiteral("no"));
    setOption("demuxer-lavf-o", QStringLiteral("protocol_whitelist=none"));
    // A machine without a sound device still plays through its queue; the null output keeps mpv's own
    // pacing and buffer, which buffers as little as a sound card does, but takes its samples in larger
    // bursts than its default of a few milliseconds: nobody listens, and each burst wakes two threads.
    // The buffer must hold one burst at the lowest rate files use (5,512 Hz: 4,096 samples are 0.743 s), or
    // the output refuses the file.
    setOption("audio-fallback-to-null", QStringLiteral("yes"));
    setOption("ao-null-outburst", QStringLiteral("4096"));
    setOption("ao-null-buffer", QStringLiteral("0.75"));
    // Cover art inside an audio file is not video.
    setOption("audio-display", QStringLiteral("no"));
    // Decoding is done in software: no probing of hardware decoders when video is drawn.
    setOption("gpu-hwdec-interop", QStringLiteral("no"));
    // The next file of the queue is opened ahead and its audio joins the end of the last one where the
    // two have the same format.
    setOption("prefetch-playlist", QStringLiteral("yes"));
    setOption("gapless-audio", QStringLiteral("weak"));
    // A ReplayGain correction is lowered where it would make a file's peaks clip.
    setOption("replaygain-clip", QStringLiteral("no"));
    if (!options.ao.isEmpty())
        setOption("ao", options.ao);
    forcedVo_ = options.vo;
    setOption("vo", forcedVo_.isEmpty() ? QStringLiteral("null") : forcedVo_);
    if (options.untimed) {
        setOption("ao-null-untimed", QStringLiteral("yes"));
        setOption("untimed", QStringLiteral("yes"));
    }
    const int rc = api_->initialize(handle_);
    if (rc < 0) {
        error_ = QStringLiteral("The playback engine mpv could not be started: %1")
                     .arg(QString::fromUtf8(api_->error_string(rc)));
        api_->terminate_destroy(handle_);
        handle_ = nullptr;
        return;
    }
    api_->observe_property(handle_, tag(Reply::Duration), "duration", MPV_FORMAT_DOUBLE);
    api_->observe_property(handle_, tag(Reply::Width), "dwidth", MPV_FORMAT_INT64);
    api_->observe_property(handle_, tag(Reply::Height), "dheight", MPV_FORMAT_INT64);
}

void MpvPlayer::setOption(const char* name, const QString& value) {
    const int rc = api_->set_option_string(handle_, name, value.toUtf8().constData());
    if (rc < 0)
        qWarning("mpv option %s=%s: %s", name, qPrintable(value), api_->error_string(rc));
}

// Every command and property write is queued to mpv's core and answered through the event queue: the core
// may be busy for a while (draining the last of a track's audio, opening a file), and the window must not
// wait for it. mpv carries out queued requests in the order they were made.
void MpvPlayer::command(std::initializer_list<const char*> args, std::uint64_t reply) {
    std::vector<const char*> argv(args);
    argv.push_back(nullptr);
    api_->command_async(handle_, reply, argv.data());
}

void MpvPlayer::setPaused(bool paused) {
    paused_ = paused;
    int flag = paused ? 1 : 0;
    api_->set_property_async(handle_, 0, "pause", MPV_FORMAT_FLAG, &flag);
    updateRunning();
}

void MpvPlayer::updateRunning() {
    position_.setRunning(fileLoaded_ && !paused_ && !seekTarget_ && !ended_);
}

// Playback states (all on the user-interface thread):
// - setMedia hands the file to mpv; mpv's reply names the playlist entry it made for it (current_). Events
//   arrive later and in order; an event counts only when it is about current_, so the end of a replaced
//   file, even one that ended just before it was replaced, is never reported.
// - stop() is pause(): the file stays open at its position. play() applies a start position set in between
//   (a seek) and unpauses. setCurrentPosition() seeks at once, also while stopped.
// - After the media has ended mpv has closed it; play() then opens the same file again.
// - A path that is not a regular file (empty, missing, a folder, a device) is not handed over; it ends as a
//   failed file, reported from the event loop.
void MpvPlayer::setMedia(const QString& path) {
    if (deferWhileStarting([this, path] { setMedia(path); }))
        return;
    path_ = path;
    forgetNext(); // "loadfile replace" empties mpv's playlist
    reset();
    if (!handle_)
        return;
    setPaused(false);
    load(0);
}

void MpvPlayer::reset() {
    ++generation_;
    current_ = 0;
    loadPending_ = false;
    ended_ = false;
    fileLoaded_ = false;
    startAt_.reset();
    deferredSeek_.reset();
    seekTarget_.reset();
    position_.set(0);
    updateRunning();
    duration_ = 0;
    videoSize_ = QSize();
    displayWidth_ = 0;
    displayHeight_ = 0;
    tags_ = {};
}

void MpvPlayer::load(double startAt) {
    // Both the loadfile and the stop below close the file mpv has open.
    watchClose();
    const QFileInfo info(path_);
    // Only regular files are handed over: mpv would play a folder as a playlist and could wait for ever on a
    // pipe or device; a missing file fails here as it would in mpv.
    if (path_.isEmpty() || !info.isFile()) {
        command({"stop"});
        failLater();
        return;
    }
    // An absolute path is always a plain file to mpv, never a URL or one of its own protocols.
    const QByteArray file = QFile::encodeName(info.absoluteFilePath());
    command({"loadfile", file.constData(), "replace"}, tag(Reply::Load, generation_));
    loadPending_ = true;
    ++loadsUnanswered_;
    if (startAt > 0) {
        deferredSeek_ = startAt;
        seekTarget_ = startAt;
    }
}

// Gapless playback: mpv's playlist holds the loaded media and at most one file after it. mpv goes on with
// that file by itself at the natural end of the loaded media (and opens it a little before); a new choice
// first clears the playlist but for the entry playing.
void MpvPlayer::setNext(const QString& path) {
    if (deferWhileStarting([this, path] { setNext(path); }))
        return;
    if (path == nextPath_ && (next_ != 0 || path.isEmpty()))
        return;
    forgetNext();
    nextPath_ = path;
    if (handle_)
        queueNext();
}

void MpvPlayer::forgetNext() {
    nextPath_.clear();
    next_ = 0;
    ++nextCount_;
}

void MpvPlayer::queueNext() {
    command({"playlist-clear"});
    // Only a regular file follows (as for setMedia); anything else is left to the ordinary end of the track.
    const QFileInfo info(nextPath_);
    if (nextPath_.isEmpty() || generation_ == 0 || ended_ || !info.isFile())
        return;
    const QByteArray file = QFile::encodeName(info.absoluteFilePath());
    command({"loadfile", file.constData(), "append"}, tag(Reply::LoadNext, nextCount_));
}

bool MpvPlayer::advance() {
    const std::int64_t next = next_;
    path_ = nextPath_;
    forgetNext();
    const bool paused = paused_;
    reset();
    paused_ = paused;
    current_ = next;
    QPointer<MpvPlayer> alive(this);
    emit advanced();
    return !alive.isNull();
}

void MpvPlayer::failLater() {
    const quint64 generation = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, generation] {
            if (generation != generation_ || ended_)
                return;
            ended_ = true;
            emit endOfPlayback(Failed);
        },
        Qt::QueuedConnection);
}

void MpvPlayer::play() {
    if (deferWhileStarting([this] { play(); }))
        return;
    if (!handle_)
        return;
    const std::optional<double> start = startAt_;
    startAt_.reset();
    if (ended_) {
        reset();
        setPaused(false);
        load(start.value_or(0));
        return;
    }
    if (start && (current_ != 0 || loadPending_))
        seek(*start);
    setPaused(false);
}

void MpvPlayer::pause() {
    if (deferWhileStarting([this] { pause(); }))
        return;
    if (handle_)
        setPaused(true);
}

void MpvPlayer::stop() {
    if (deferWhileStarting([this] { stop(); }))
        return;
    if (handle_)
        setPaused(true);
}

void MpvPlayer::seek(double seconds) {
    seconds = validPosition(seconds);
    seekTarget_ = seconds;
    updateRunning();
    if (!fileLoaded_) {
        deferredSeek_ = seconds;
        return;
    }
    const QByteArray position = QByteArray::number(seconds, 'f', 3);
    command({"seek", position.constData(), "absolute"}, tag(Reply::Seek, generation_));
}

double MpvPlayer::currentPosition() const {
    if (seekTarget_)
        return *seekTarget_;
    if (starting_ || !handle_ || !isCurrent() || ended_)
        return 0;
    if (!positionAsked_ && fileLoaded_) {
        positionAsked_ = true;
        api_->get_property_async(handle_, tag(Reply::GetTime, generation_), "time-pos", MPV_FORMAT_DOUBLE);
    }
    return position_.at(duration_);
}

void MpvPlayer::setCurrentPosition(double seconds) {
    if (deferWhileStarting([this, seconds] { setCurrentPosition(seconds); }))
        return;
    startAt_.reset();
    if (!handle_)
        return;
    if (ended_) {
        startAt_ = validPosition(seconds);
        return;
    }
    if (current_ != 0 || loadPending_)
        seek(seconds);
}

void MpvPlayer::setStartPosition(double seconds) {
    if (deferWhileStarting([this, seconds] { setStartPosition(seconds); }))
        return;
    startAt_ = validPosition(seconds);
}

double MpvPlayer::mpvVolume(int hundredthsOfDb) {
    const int clamped = std::clamp(hundredthsOfDb, -5000, 0);
    // mpv's volume v gives the gain (v/100)^3, so v = 100 * 10^(dB / 60).
    return 100.0 * std::pow(10.0, clamped / 6000.0);
}

void MpvPlayer::setVolume(int hundredthsOfDb) {
    if (deferWhileStarting([this, hundredthsOfDb] { setVolume(hundredthsOfDb); }))
        return;
    if (!handle_)
        return;
    double volume = mpvVolume(hundredthsOfDb);
    volume_ = volume;
    api_->set_property_async(handle_, 0, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvPlayer::setReplayGain(const ReplayGain& gain) {
    if (deferWhileStarting([this, gain] { setReplayGain(gain); }))
        return;
    replayGain_ = gain;
    applyReplayGain();
}

// mpv takes a change at once, also for the file playing.
void MpvPlayer::applyReplayGain() {
    if (!handle_ || !replayGain_)
        return;
    static const char* const modes[] = {"no", "track", "album"};
    char* mode = const_cast<char*>(modes[replayGain_->mode]);
    api_->set_property_async(handle_, 0, "replaygain", MPV_FORMAT_STRING, &mode);
    double preamp = std::clamp(replayGain_->preampDb, -ReplayGain::kMaxPreampDb, ReplayGain::kMaxPreampDb);
    api_->set_property_async(handle_, 0, "replaygain-preamp", MPV_FORMAT_DOUBLE, &preamp);
}

void MpvPlayer::attachVideoOutput(bool attached) {
    if (deferWhileStarting([this, attached] { attachVideoOutput(attached); }))
        return;
    if (!handle_ || !forcedVo_.isEmpty())
        return;
    char* vo = const_cast<char*>(attached ? "libmpv" : "null");
    api_->set_property_async(handle_, 0, "vo", MPV_FORMAT_STRING, &vo);
}

#include "platform/MpvPlayer.h"
#include "platform/MpvApi.h"
#include "platform/MpvPlayerTeardown.h"
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

namespace {
// What an mpv reply or property event is about: the kind in the top byte, the setMedia generation it belongs
// to in the rest (0 for the properties observed for the player's whole life). Observed properties travel in
// mpv's event queue, so their values arrive even when the file has already been closed by the time the event
// is handled (a very short file).
enum class Reply : std::uint64_t {
    Duration = 1, // observed
    Width,        // observed
    Height,       // observed
    GetTime,      // asked for when the position is read, at most one request at a time
    Load,         // the loadfile command
    Seek,         // a seek command
    GetDuration,  // asked for once the file is open: an unchanged length is not reported as a change
    GetWidth,     // asked for at each video reconfiguration, for the same reason
    GetHeight,
    GetTags, // the file's tags, asked for once it is open
};
constexpr std::uint64_t generationMask = (std::uint64_t(1) << 56) - 1;

// mpv closes a file within milliseconds: one still open after this long is taken for hung (a merely slow
// one costs a new engine, nothing else).
constexpr std::chrono::milliseconds closeBound(2000);
// What the player's destruction (at the program's end, after the saves) grants the engine.
constexpr std::chrono::milliseconds teardownBound(2000);

std::uint64_t tag(Reply kind, quint64 generation = 0) {
    return (static_cast<std::uint64_t>(kind) << 56) | (generation & generationMask);
}
Reply kindOf(std::uint64_t userdata) {
    return static_cast<Reply>(userdata >> 56);
}
quint64 generationOf(std::uint64_t userdata) {
    return userdata & generationMask;
}

// A position as mpv may be given it: not before the start, and a finite number.
double validPosition(double seconds) {
    return std::isfinite(seconds) ? std::max(0.0, seconds) : 0.0;
}
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
    // The loaded media opens again on the new engine, where it was asked to start.
    const double at = seekTarget_.value_or(0);
    const std::optional<double> startAt = startAt_;
    reset();
    startAt_ = startAt;
    load(at);
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
    // pacing, which buffers as little as a sound card does.
    setOption("audio-fallback-to-null", QStringLiteral("yes"));
    // Cover art inside an audio file is not video.
    setOption("audio-display", QStringLiteral("no"));
    // Decoding is done in software: no probing of hardware decoders when video is drawn.
    setOption("gpu-hwdec-interop", QStringLiteral("no"));
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

void MpvPlayer::onWakeup(void* player) {
    // Called on one of mpv's threads: only hand the work to the user-interface thread, once per batch.
    auto* self = static_cast<MpvPlayer*>(player);
    if (!self->drainQueued_.exchange(true))
        QMetaObject::invokeMethod(
            self, [self] { self->drainEvents(); }, Qt::QueuedConnection);
}

void MpvPlayer::drainEvents() {
    drainQueued_.store(false);
    while (!starting_ && handle_) {
        const mpv_event* event = api_->wait_event(handle_, 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        if (!handleEvent(*event))
            return;
    }
}

bool MpvPlayer::updateDuration(double seconds) {
    if (!(seconds > 0) || seconds == duration_)
        return true;
    duration_ = seconds;
    QPointer<MpvPlayer> alive(this);
    emit durationChanged(seconds);
    return !alive.isNull();
}

bool MpvPlayer::updateVideoSize(std::int64_t width, std::int64_t height) {
    displayWidth_ = width;
    displayHeight_ = height;
    if (width <= 0 || height <= 0)
        return true;
    const QSize size(static_cast<int>(std::min<std::int64_t>(width, 1 << 16)),
                     static_cast<int>(std::min<std::int64_t>(height, 1 << 16)));
    if (size == videoSize_)
        return true;
    videoSize_ = size;
    QPointer<MpvPlayer> alive(this);
    emit videoSizeChanged(size);
    return !alive.isNull();
}

bool MpvPlayer::end(int reason) {
    ended_ = true;
    fileLoaded_ = false;
    seekTarget_.reset();
    updateRunning();
    QPointer<MpvPlayer> alive(this);
    emit endOfPlayback(reason);
    return !alive.isNull();
}

bool MpvPlayer::handleLoadReply(const mpv_event& event) {
    loadsUnanswered_ = std::max(0, loadsUnanswered_ - 1);
    if (generationOf(event.reply_userdata) != generation_ || ended_)
        return true;
    loadPending_ = false;
    const auto* reply = static_cast<const mpv_event_command*>(event.data);
    if (event.error >= 0 && reply->result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list* map = reply->result.u.list;
        for (int i = 0; i < map->num; ++i)
            if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 &&
                map->values[i].format == MPV_FORMAT_INT64)
                current_ = map->values[i].u.int64;
    }
    if (current_ != 0)
        return true;
    command({"stop"});
    return end(Failed);
}

bool MpvPlayer::handleReply(const mpv_event& event) {
    const Reply kind = kindOf(event.reply_userdata);
    if (kind == Reply::Load)
        return handleLoadReply(event);
    if (kind == Reply::GetTime)
        positionAsked_ = false;
    if (generationOf(event.reply_userdata) != generation_ || !isCurrent() || ended_)
        return true;
    if (kind == Reply::Seek) {
        if (event.error < 0) {
            seekTarget_.reset();
            updateRunning();
        }
        return true;
    }
    if (event.error < 0 || event.event_id != MPV_EVENT_GET_PROPERTY_REPLY)
        return true;
    return handleValue(event.reply_userdata, *static_cast<const mpv_event_property*>(event.data));
}

bool MpvPlayer::handlePropertyChange(const mpv_event& event) {
    if (!isCurrent() || ended_)
        return true;
    return handleValue(event.reply_userdata, *static_cast<const mpv_event_property*>(event.data));
}

// A value mpv sent, observed or asked for.
bool MpvPlayer::handleValue(std::uint64_t reply, const mpv_event_property& property) {
    const Reply kind = kindOf(reply);
    if (property.format == MPV_FORMAT_DOUBLE) {
        const double value = *static_cast<const double*>(property.data);
        if (kind == Reply::Duration || kind == Reply::GetDuration)
            return updateDuration(value);
        // A position asked for before a seek is out of date.
        if (kind == Reply::GetTime && !seekTarget_)
            position_.set(validPosition(value));
        return true;
    }
    if (kind == Reply::GetTags && property.format == MPV_FORMAT_NODE)
        return updateTags(*static_cast<const mpv_node*>(property.data));
    if (property.format != MPV_FORMAT_INT64)
        return true;
    const std::int64_t value = *static_cast<const std::int64_t*>(property.data);
    if (kind == Reply::Width || kind == Reply::GetWidth)
        return updateVideoSize(value, displayHeight_);
    if (kind == Reply::Height || kind == Reply::GetHeight)
        return updateVideoSize(displayWidth_, value);
    return true;
}

// mpv names the tags as the file spells them ("TITLE" in Vorbis comments, "title" in ID3v2).
bool MpvPlayer::updateTags(const mpv_node& metadata) {
    if (metadata.format != MPV_FORMAT_NODE_MAP)
        return true;
    MediaTags found;
    const mpv_node_list* map = metadata.u.list;
    for (int i = 0; i < map->num; ++i) {
        if (map->values[i].format != MPV_FORMAT_STRING)
            continue;
        const QString key = QString::fromUtf8(map->keys[i]).toLower();
        QString* field = key == u"title"    ? &found.title
                         : key == u"artist" ? &found.artist
                         : key == u"album"  ? &found.album
                                            : nullptr;
        if (field)
            *field = QString::fromUtf8(map->values[i].u.string).trimmed();
    }
    if (found == tags_)
        return true;
    tags_ = found;
    QPointer<MpvPlayer> alive(this);
    emit tagsChanged();
    return !alive.isNull();
}

bool MpvPlayer::handleEndFile(const mpv_event& event) {
    const auto* file = static_cast<const mpv_event_end_file*>(event.data);
    freedMemory_.releaseSoon(); // whatever the reason, mpv has closed a file and freed its buffers
    if (file->playlist_entry_id == open_)
        open_ = 0;
    if (current_ == 0 || file->playlist_entry_id != current_ || ended_)
        return true;
    int reason = Finished;
    switch (file->reason) {
    case MPV_END_FILE_REASON_EOF:
        break;
    case MPV_END_FILE_REASON_ERROR:
        reason = Failed;
        break;
    case MPV_END_FILE_REASON_REDIRECT:
        // A playlist file: mpv would go on with the files it names. It is not played as a list.
        command({"stop"});
        reason = Failed;
        break;
    default:
        return true; // stopped or quitting: never an end of playback
    }
    return end(reason);
}

bool MpvPlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_COMMAND_REPLY:
    case MPV_EVENT_GET_PROPERTY_REPLY:
        return handleReply(event);
    case MPV_EVENT_START_FILE:
        active_ = open_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        return true;
    case MPV_EVENT_FILE_LOADED:
        if (!isCurrent())
            return true;
        fileLoaded_ = true;
        position_.set(0);
        updateRunning();
        if (deferredSeek_) {
            const double target = *deferredSeek_;
            deferredSeek_.reset();
            seek(target);
        }
        api_->get_property_async(handle_, tag(Reply::GetDuration, generation_), "duration",
                                 MPV_FORMAT_DOUBLE);
        api_->get_property_async(handle_, tag(Reply::GetTags, generation_), "metadata", MPV_FORMAT_NODE);
        return true;
    case MPV_EVENT_PROPERTY_CHANGE:
        return handlePropertyChange(event);
    case MPV_EVENT_VIDEO_RECONFIG:
        if (!isCurrent() || ended_)
            return true;
        api_->get_property_async(handle_, tag(Reply::GetWidth, generation_), "dwidth", MPV_FORMAT_INT64);
        api_->get_property_async(handle_, tag(Reply::GetHeight, generation_), "dheight", MPV_FORMAT_INT64);
        return true;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (isCurrent() && !deferredSeek_ && seekTarget_) {
            position_.set(*seekTarget_);
            seekTarget_.reset();
            updateRunning();
        }
        return true;
    case MPV_EVENT_END_FILE:
        return handleEndFile(event);
    default:
        return true;
    }
}

#include "platform/MpvPlayer.h"
#include "platform/MpvApi.h"
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QtDebug>
#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
// Observed properties: their values travel in mpv's event queue, so they arrive even when the file has
// already been closed by the time the event is handled (a very short file).
enum : std::uint64_t { durationReply = 1, widthReply, heightReply };

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

MpvPlayer::MpvPlayer(const Options& options, QObject* parent) : MediaPlayer(parent) {
    start(options);
}

MpvPlayer::~MpvPlayer() {
    emit aboutToShutDown();
    if (handle_) {
        // No wakeup may reach this object once destruction has begun.
        api_->set_wakeup_callback(handle_, nullptr, nullptr);
        api_->terminate_destroy(handle_);
        handle_ = nullptr;
    }
}

void MpvPlayer::start(const Options& options) {
    // mpv refuses to start when numbers are written with a decimal comma; Qt does not rely on LC_NUMERIC.
    std::setlocale(LC_NUMERIC, "C");
    api_ = loadMpvApi(options.library, &error_);
    if (!api_)
        return;
    handle_ = api_->create();
    if (!handle_) {
        error_ = QStringLiteral("The playback engine mpv could not be created.");
        return;
    }
    // Nothing from the user's mpv set-up, no scripts, no network look-ups, no keys or on-screen controls.
    setOption("config", QStringLiteral("no"));
    setOption("load-scripts", QStringLiteral("no"));
    setOption("ytdl", QStringLiteral("no"));
    setOption("input-default-bindings", QStringLiteral("no"));
    setOption("input-vo-keyboard", QStringLiteral("no"));
    setOption("osc", QStringLiteral("no"));
    setOption("osd-level", QStringLiteral("0"));
    setOption("terminal", QStringLiteral("no"));
    setOption("idle", QStringLiteral("yes"));
    // A machine without a sound device still plays through its queue; the null
    // output only paces playback, so it takes large bursts and wakes up rarely.
    setOption("audio-fallback-to-null", QStringLiteral("yes"));
    setOption("ao-null-buffer", QStringLiteral("1"));
    setOption("ao-null-outburst", QStringLiteral("4096"));
    // Cover art inside an audio file is not video.
    setOption("audio-display", QStringLiteral("no"));
    // Decoding is done in software: no probing of hardware decoders when video is drawn.
    setOption("gpu-hwdec-interop", QStringLiteral("no"));
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
    api_->observe_property(handle_, durationReply, "duration", MPV_FORMAT_DOUBLE);
    api_->observe_property(handle_, widthReply, "dwidth", MPV_FORMAT_INT64);
    api_->observe_property(handle_, heightReply, "dheight", MPV_FORMAT_INT64);
    api_->set_wakeup_callback(handle_, &MpvPlayer::onWakeup, this);
}

void MpvPlayer::setOption(const char* name, const QString& value) {
    const int rc = api_->set_option_string(handle_, name, value.toUtf8().constData());
    if (rc < 0)
        qWarning("mpv option %s=%s: %s", name, qPrintable(value), api_->error_string(rc));
}

int MpvPlayer::command(std::initializer_list<const char*> args) {
    std::vector<const char*> argv(args);
    argv.push_back(nullptr);
    return api_->command(handle_, argv.data());
}

void MpvPlayer::setPaused(bool paused) {
    int flag = paused ? 1 : 0;
    api_->set_property(handle_, "pause", MPV_FORMAT_FLAG, &flag);
}

// Playback states (all on the user-interface thread):
// - setMedia hands the file to mpv and remembers the playlist entry mpv gave it (current_). mpv's events
//   arrive later and in order; an end-file event counts only when it names current_, so the end of a
//   replaced file, even one that ended just before it was replaced, is never reported.
// - stop() is pause(): the file stays open at its position. play() applies a start position set in between
//   (a seek) and unpauses. setCurrentPosition() seeks at once, also while stopped.
// - After the media has ended mpv has closed it; play() then opens the same file again.
// - A path that is not a regular file (empty, missing, a folder, a device) is not handed over; it ends as a
//   failed file, reported from the event loop.
void MpvPlayer::setMedia(const QString& path) {
    ++generation_;
    path_ = path;
    current_ = 0;
    ended_ = false;
    fileLoaded_ = false;
    startAt_.reset();
    deferredSeek_.reset();
    seekTarget_.reset();
    duration_ = 0;
    videoSize_ = QSize();
    displayWidth_ = 0;
    displayHeight_ = 0;
    if (!handle_)
        return;
    setPaused(false);
    load(0);
}

void MpvPlayer::load(double startAt) {
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
    const char* args[] = {"loadfile", file.constData(), "replace", nullptr};
    mpv_node result;
    const int rc = api_->command_ret(handle_, args, &result);
    if (rc < 0) {
        failLater();
        return;
    }
    if (result.format == MPV_FORMAT_NODE_MAP) {
        const mpv_node_list* map = result.u.list;
        for (int i = 0; i < map->num; ++i)
            if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 &&
                map->values[i].format == MPV_FORMAT_INT64)
                current_ = map->values[i].u.int64;
    }
    api_->free_node_contents(&result);
    if (current_ == 0) {
        command({"stop"});
        failLater();
        return;
    }
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
    if (!handle_)
        return;
    const std::optional<double> start = startAt_;
    startAt_.reset();
    if (ended_) {
        ++generation_;
        ended_ = false;
        fileLoaded_ = false;
        current_ = 0;
        deferredSeek_.reset();
        seekTarget_.reset();
        setPaused(false);
        load(start.value_or(0));
        return;
    }
    if (start && current_ != 0)
        seek(*start);
    setPaused(false);
}

void MpvPlayer::pause() {
    if (handle_)
        setPaused(true);
}

void MpvPlayer::stop() {
    if (handle_)
        setPaused(true);
}

void MpvPlayer::seek(double seconds) {
    seconds = validPosition(seconds);
    seekTarget_ = seconds;
    if (!fileLoaded_) {
        deferredSeek_ = seconds;
        return;
    }
    const QByteArray position = QByteArray::number(seconds, 'f', 3);
    if (command({"seek", position.constData(), "absolute"}) < 0)
        seekTarget_.reset();
}

double MpvPlayer::currentPosition() const {
    if (seekTarget_)
        return *seekTarget_;
    if (!handle_ || !isCurrent() || ended_)
        return 0;
    double position = 0;
    if (api_->get_property(handle_, "time-pos", MPV_FORMAT_DOUBLE, &position) < 0)
        return 0;
    return std::max(0.0, position);
}

void MpvPlayer::setCurrentPosition(double seconds) {
    startAt_.reset();
    if (!handle_)
        return;
    if (ended_) {
        startAt_ = validPosition(seconds);
        return;
    }
    if (current_ != 0)
        seek(seconds);
}

void MpvPlayer::setStartPosition(double seconds) {
    startAt_ = validPosition(seconds);
}

double MpvPlayer::mpvVolume(int hundredthsOfDb) {
    const int clamped = std::clamp(hundredthsOfDb, -5000, 0);
    // mpv's volume v gives the gain (v/100)^3, so v = 100 * 10^(dB / 60).
    return 100.0 * std::pow(10.0, clamped / 6000.0);
}

void MpvPlayer::setVolume(int hundredthsOfDb) {
    if (!handle_)
        return;
    double volume = mpvVolume(hundredthsOfDb);
    api_->set_property(handle_, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvPlayer::attachVideoOutput(bool attached) {
    if (!handle_ || !forcedVo_.isEmpty())
        return;
    const int rc = api_->set_property_string(handle_, "vo", attached ? "libmpv" : "null");
    if (rc < 0)
        qWarning("mpv video output: %s", api_->error_string(rc));
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
    while (handle_) {
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

bool MpvPlayer::handleEvent(const mpv_event& event) {
    switch (event.event_id) {
    case MPV_EVENT_START_FILE:
        active_ = static_cast<const mpv_event_start_file*>(event.data)->playlist_entry_id;
        return true;
    case MPV_EVENT_FILE_LOADED: {
        if (!isCurrent())
            return true;
        fileLoaded_ = true;
        if (deferredSeek_) {
            const double target = *deferredSeek_;
            deferredSeek_.reset();
            seek(target);
        }
        double seconds = 0;
        if (api_->get_property(handle_, "duration", MPV_FORMAT_DOUBLE, &seconds) < 0)
            return true;
        return updateDuration(seconds);
    }
    case MPV_EVENT_PROPERTY_CHANGE: {
        const auto* property = static_cast<const mpv_event_property*>(event.data);
        if (!isCurrent() || ended_)
            return true;
        if (event.reply_userdata == durationReply && property->format == MPV_FORMAT_DOUBLE)
            return updateDuration(*static_cast<const double*>(property->data));
        if (property->format != MPV_FORMAT_INT64)
            return true;
        const std::int64_t value = *static_cast<const std::int64_t*>(property->data);
        if (event.reply_userdata == widthReply)
            return updateVideoSize(value, displayHeight_);
        if (event.reply_userdata == heightReply)
            return updateVideoSize(displayWidth_, value);
        return true;
    }
    case MPV_EVENT_VIDEO_RECONFIG: {
        if (!isCurrent() || ended_)
            return true;
        std::int64_t width = 0;
        std::int64_t height = 0;
        if (api_->get_property(handle_, "dwidth", MPV_FORMAT_INT64, &width) < 0 ||
            api_->get_property(handle_, "dheight", MPV_FORMAT_INT64, &height) < 0)
            return true;
        return updateVideoSize(width, height);
    }
    case MPV_EVENT_PLAYBACK_RESTART:
        if (isCurrent() && !deferredSeek_)
            seekTarget_.reset();
        return true;
    case MPV_EVENT_END_FILE: {
        const auto* end = static_cast<const mpv_event_end_file*>(event.data);
        if (current_ == 0 || end->playlist_entry_id != current_ || ended_)
            return true;
        int reason = Finished;
        switch (end->reason) {
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
        ended_ = true;
        fileLoaded_ = false;
        seekTarget_.reset();
        QPointer<MpvPlayer> alive(this);
        emit endOfPlayback(reason);
        return !alive.isNull();
    }
    default:
        return true;
    }
}

// What mpv reports: its events, command replies and property values, taken on the user-interface thread.
#include "platform/MpvApi.h"
#include "platform/MpvPlayer.h"
#include "platform/MpvReplies.h"
#include <QPointer>
#include <algorithm>
#include <cstring>

using namespace MpvReplies;

namespace {
// The playlist entry mpv made for a loadfile command; 0 when it made none.
std::int64_t loadedEntry(const mpv_event& event) {
    const auto* reply = static_cast<const mpv_event_command*>(event.data);
    if (event.error < 0 || reply->result.format != MPV_FORMAT_NODE_MAP)
        return 0;
    const mpv_node_list* map = reply->result.u.list;
    for (int i = 0; i < map->num; ++i)
        if (std::strcmp(map->keys[i], "playlist_entry_id") == 0 && map->values[i].format == MPV_FORMAT_INT64)
            return map->values[i].u.int64;
    return 0;
}
} // namespace

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
    forgetNext(); // mpv may go on with it by itself: the next setMedia stops that
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
    current_ = loadedEntry(event);
    if (current_ != 0)
        return true;
    command({"stop"});
    return end(Failed);
}

void MpvPlayer::handleLoadNextReply(const mpv_event& event) {
    if (generationOf(event.reply_userdata) == (nextCount_ & generationMask))
        next_ = loadedEntry(event);
}

bool MpvPlayer::handleReply(const mpv_event& event) {
    const Reply kind = kindOf(event.reply_userdata);
    if (kind == Reply::Load)
        return handleLoadReply(event);
    if (kind == Reply::LoadNext) {
        handleLoadNextReply(event);
        return true;
    }
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
        if (next_ != 0)
            return advance();
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
        if (!std::exchange(openedAFile_, true))
            freedMemory_.releaseLibraryPagesSoon(); // loading the engine and probing the first file are over
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

#include "mpris/MprisPlayer.h"
#include "core/MainWindowState.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include <QDir>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kQuietest = -5000; // the volume slider's range, hundredths of a dB

qint64 micros(double seconds) {
    return std::isfinite(seconds) && seconds > 0 ? std::llround(std::min(seconds, 1e12) * 1e6) : 0;
}
} // namespace

MprisPlayer::MprisPlayer(Transport& transport, const MainWindowState& fields, MprisWindow& window,
                         QObject* parent)
    : QObject(parent), transport_(transport), fields_(fields), window_(window) {
    status_ = playbackStatus();
    metadata_ = metadata();
    volume_ = volume();
    canPlay_ = canPlay();
    trackLoaded_ = trackLoaded();
    connect(&transport_, &Transport::playbackChanged, this, &MprisPlayer::refresh);
    connect(&transport_, &Transport::positionJumped, this,
            [this](double seconds) { emit seeked(micros(seconds)); });
    // Editing the queues changes whether Play finds something. Looked at once the handler that edits
    // them is done (the transport's own handlers edit them half-way).
    const Playlists& lists = transport_.playlists();
    connect(&lists, &Playlists::shownChanged, this, &MprisPlayer::refresh, Qt::QueuedConnection);
    for (const int list : {Playlists::kA, Playlists::kB, Playlists::kDevice})
        connect(&lists.at(list), &PlaylistModel::countChanged, this, &MprisPlayer::refresh,
                Qt::QueuedConnection);
}

void MprisPlayer::Raise() {
    window_.raiseWindow();
}

void MprisPlayer::openPlaylist(const QString& path) {
    window_.openPlaylist(path);
}

void MprisPlayer::Quit() {
    window_.exitProgram();
}

void MprisPlayer::PlayPause() {
    if (transport_.playing())
        transport_.CmdPause_Click();
    else
        transport_.CmdPLAY_Click();
}

void MprisPlayer::Play() {
    if (!transport_.playing())
        transport_.CmdPLAY_Click();
    else if (transport_.paused())
        transport_.CmdPause_Click();
}

void MprisPlayer::Pause() {
    if (transport_.playing() && !transport_.paused())
        transport_.CmdPause_Click();
}

void MprisPlayer::Stop() {
    transport_.CmdSTOP_Click();
}

void MprisPlayer::Next() {
    transport_.cmdSkip_Click();
}

void MprisPlayer::Previous() {
    transport_.CmdPreSkip_Click();
}

QString MprisPlayer::playbackStatus() const {
    if (!transport_.playing())
        return QStringLiteral("Stopped");
    return transport_.paused() ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

bool MprisPlayer::canPlay() const {
    if (transport_.playing())
        return true;
    // Play takes from the device list when it is shown, else from A or B, whichever is not empty.
    const Playlists& lists = transport_.playlists();
    if (lists.shownIndex() == Playlists::kDevice)
        return !lists.at(Playlists::kDevice).isEmpty();
    return !lists.at(Playlists::kA).isEmpty() || !lists.at(Playlists::kB).isEmpty();
}

bool MprisPlayer::trackLoaded() const {
    return transport_.playing();
}

MprisMetadata MprisPlayer::metadata() const {
    const Transport::Track& track = transport_.track();
    MprisMetadata data;
    data.trackId = kNoTrack;
    if (!transport_.playing() || track.path.isEmpty())
        return data;
    data.trackId = trackIdFor(track.title, track.path, track.entry);
    const MediaTags tags = transport_.tags();
    data.title = tags.title.isEmpty() ? track.title : tags.title;
    data.artist = tags.artist;
    data.album = tags.album;
    const QString absolute = QDir::current().absoluteFilePath(track.path);
    data.url = QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded);
    data.lengthMicros = micros(fields_.trackLength);
    return data;
}

QString MprisPlayer::trackIdFor(const QString& title, const QString& path, quint64 entry) const {
    if (trackSerial_ == 0 || title != lastTitle_ || path != lastPath_ || entry != lastEntry_) {
        ++trackSerial_;
        lastTitle_ = title;
        lastPath_ = path;
        lastEntry_ = entry;
    }
    return QStringLiteral("/org/kivoplayer/track/%1").arg(trackSerial_);
}

double MprisPlayer::volume() const {
    return std::clamp(double(fields_.volume - kQuietest) / -kQuietest, 0.0, 1.0);
}

void MprisPlayer::setVolume(double volume) {
    if (!std::isfinite(volume))
        return;
    const int slider = static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * -kQuietest)) + kQuietest;
    if (slider != fields_.volume)
        window_.setVolumeSlider(slider);
}

qint64 MprisPlayer::positionMicros() {
    return micros(transport_.position());
}

void MprisPlayer::refresh() {
    QStringList changed;
    if (const QString status = playbackStatus(); status != status_) {
        status_ = status;
        changed << QStringLiteral("PlaybackStatus");
    }
    if (MprisMetadata data = metadata(); !(data == metadata_)) {
        metadata_ = std::move(data);
        changed << QStringLiteral("Metadata");
    }
    if (const double level = volume(); level != volume_) {
        volume_ = level;
        changed << QStringLiteral("Volume");
    }
    if (const bool can = canPlay(); can != canPlay_) {
        canPlay_ = can;
        changed << QStringLiteral("CanPlay");
    }
    if (const bool loaded = trackLoaded(); loaded != trackLoaded_) {
        trackLoaded_ = loaded;
        changed << QStringLiteral("CanPause") << QStringLiteral("CanGoNext")
                << QStringLiteral("CanGoPrevious");
    }
    if (!changed.isEmpty())
        emit propertiesChanged(changed);
}

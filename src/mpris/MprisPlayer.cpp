#include "mpris/MprisPlayer.h"
#include "core/MainWindowState.h"
#include "playback/Transport.h"
#include <QDir>
#include <QUrl>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kQuietest = -5000; // the volume slider's range, hundredths of a dB
}

MprisPlayer::MprisPlayer(Transport& transport, const MainWindowState& fields, MprisWindow& window,
                         QObject* parent)
    : QObject(parent), transport_(transport), fields_(fields), window_(window) {
    status_ = playbackStatus();
    metadata_ = metadata();
    volume_ = volume();
    connect(&transport_, &Transport::playbackChanged, this, &MprisPlayer::refresh);
}

void MprisPlayer::Raise() {
    window_.raiseWindow();
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

MprisMetadata MprisPlayer::metadata() const {
    const Transport::Track& track = transport_.track();
    if (!transport_.playing() || track.path.isEmpty())
        return {kNoTrack, {}, {}, 0};
    MprisMetadata data;
    data.trackId = trackIdFor(track.title, track.path, track.entry);
    data.title = track.title;
    const QString absolute = QDir::current().absoluteFilePath(track.path);
    data.url = QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded);
    const double seconds = fields_.trackLength;
    if (std::isfinite(seconds) && seconds > 0)
        data.lengthMicros = std::llround(std::min(seconds, 1e12) * 1e6);
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
    const double seconds = transport_.position();
    return std::isfinite(seconds) && seconds > 0 ? std::llround(std::min(seconds, 1e12) * 1e6) : 0;
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
    if (!changed.isEmpty())
        emit propertiesChanged(changed);
}

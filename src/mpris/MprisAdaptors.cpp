#include "mpris/MprisAdaptors.h"
#include "mpris/MprisNames.h"
#include "mpris/MprisPlayer.h"
#include "playlist/PlaylistKinds.h"
#include <QUrl>

QVariantMap mprisMetadataMap(const MprisMetadata& metadata) {
    QVariantMap map;
    map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(metadata.trackId)));
    if (!metadata.title.isEmpty())
        map.insert(QStringLiteral("xesam:title"), metadata.title);
    if (!metadata.artist.isEmpty())
        map.insert(QStringLiteral("xesam:artist"), QStringList{metadata.artist});
    if (!metadata.album.isEmpty())
        map.insert(QStringLiteral("xesam:album"), metadata.album);
    if (!metadata.url.isEmpty())
        map.insert(QStringLiteral("xesam:url"), metadata.url);
    if (metadata.lengthMicros > 0)
        map.insert(QStringLiteral("mpris:length"), QVariant::fromValue<qlonglong>(metadata.lengthMicros));
    return map;
}

MprisRootAdaptor::MprisRootAdaptor(QObject* object, MprisPlayer& player)
    : QDBusAbstractAdaptor(object), player_(player) {}

QString MprisRootAdaptor::identity() const {
    return MprisNames::kIdentity;
}

QString MprisRootAdaptor::desktopEntry() const {
    return MprisNames::kDesktopEntry;
}

void MprisRootAdaptor::Raise() {
    player_.Raise();
}

void MprisRootAdaptor::Quit() {
    player_.Quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* object, MprisPlayer& player)
    : QDBusAbstractAdaptor(object), player_(player) {
    connect(&player, &MprisPlayer::seeked, this, &MprisPlayerAdaptor::Seeked);
}

QString MprisPlayerAdaptor::playbackStatus() const {
    return player_.playbackStatus();
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    return mprisMetadataMap(player_.metadata());
}

bool MprisPlayerAdaptor::canPlay() const {
    return player_.canPlay();
}

bool MprisPlayerAdaptor::trackLoaded() const {
    return player_.trackLoaded();
}

double MprisPlayerAdaptor::volume() const {
    return player_.volume();
}

void MprisPlayerAdaptor::setVolume(double volume) {
    player_.setVolume(volume);
}

qlonglong MprisPlayerAdaptor::position() const {
    return player_.positionMicros();
}

void MprisPlayerAdaptor::Next() {
    player_.Next();
}

void MprisPlayerAdaptor::Previous() {
    player_.Previous();
}

void MprisPlayerAdaptor::Pause() {
    player_.Pause();
}

void MprisPlayerAdaptor::PlayPause() {
    player_.PlayPause();
}

void MprisPlayerAdaptor::Stop() {
    player_.Stop();
}

void MprisPlayerAdaptor::Play() {
    player_.Play();
}

void MprisPlayerAdaptor::Seek(qlonglong) {}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath&, qlonglong) {}

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    const QUrl url(uri);
    if (url.isLocalFile() && isLoadablePlaylist(url.toLocalFile()))
        player_.openPlaylist(url.toLocalFile());
}

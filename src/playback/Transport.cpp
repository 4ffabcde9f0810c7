#include "playback/Transport.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/KeyState.h"
#include "platform/MediaPlayer.h"
#include "playback/TransportView.h"
#include "playback/VideoRules.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/Playlists.h"
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const QString kIdleTitle = QStringLiteral("KIVO PLAYER!");
}

Transport::Transport(Context context, QObject* parent) : QObject(parent), c_(std::move(context)) {
    if (!c_.draw)
        c_.draw = [] {
            return QRandomGenerator::global()->generateDouble();
        };
}

MediaPlayer& Transport::engine() {
    MediaPlayer& player = c_.host.player();
    if (!connected_) {
        connected_ = true;
        connect(&player, &MediaPlayer::endOfPlayback, this, [this](int) { endOfPlayback(); });
        connect(&player, &MediaPlayer::durationChanged, this, [this](double seconds) {
            const ChangeNotice notice(*this);
            c_.fields.trackLength = seconds;
        });
        connect(&player, &MediaPlayer::tagsChanged, this, [this] { const ChangeNotice notice(*this); });
        connect(&player, &MediaPlayer::videoSizeChanged, this, [this](QSize size) {
            if (fitScreenToVideo_ && c_.host.screen().isShown())
                c_.host.screen().fitToVideo(size);
        });
    }
    // The engine takes the setting with the first call, and a change made at the options window's OK with
    // the next one (the clock asks every tick while playing).
    if (replayGainSent_ != c_.state.replayGain) {
        replayGainSent_ = c_.state.replayGain;
        player.setReplayGain(*replayGainSent_);
    }
    return player;
}

int Transport::GetSongNumberFromCheckedList(int playlist, bool randomOn) {
    const PlaylistModel& list = c_.playlists.at(playlist);
    if (!randomOn) {
        for (int i = 0; i < list.count(); ++i)
            if (list.checked(i))
                return i;
        return -1;
    }
    std::vector<int> checked;
    for (int i = 0; i < list.count(); ++i)
        if (list.checked(i))
            checked.push_back(i);
    if (checked.empty())
        return -1;
    // Nearest index, halves to even: the first and last checked entries come
    // up half as often as the others.
    const double at = c_.draw() * double(checked.size() - 1);
    return checked[static_cast<size_t>(std::nearbyint(at))];
}

// Play: the position to play in the playing playlist.
void Transport::choosePosition(int& k) {
    const int playlist = c_.state.playingPlaylist;
    k = GetSongNumberFromCheckedList(playlist, random_);
    if (k < 0)
        k = random_ ? static_cast<int>(std::floor(c_.playlists.at(playlist).count() * c_.draw())) : 0;
    c_.state.currentEntry = k;
}

double Transport::position() {
    return c_.host.started() ? engine().currentPosition() : 0;
}

MediaTags Transport::tags() {
    return playing_ && c_.host.started() ? engine().tags() : MediaTags();
}

void Transport::CmdPLAY_Click() {
    const ChangeNotice notice(*this);
    c_.state.stopped = false;
    c_.view.setClearAllEnabled(false);
    c_.view.hideNamePanel();
    playing_ = true;
    c_.view.setPlayShown(false, true);
    engine().setVolume(c_.fields.volume);

    int playlist = c_.playlists.shownIndex();
    if (playlist != Playlists::kDevice && c_.playlists.shown().isEmpty())
        playlist = Playlists::other(playlist);
    // The playing playlist is set before the tab changes to it, so that the
    // tab switch finds it playing and keeps "&Clear All" off there.
    c_.state.playingPlaylist = playlist;
    c_.playlists.setShown(playlist);
    PlaylistModel& list = c_.playlists.at(playlist);

    auto stopEmpty = [this] {
        c_.state.stopped = true;
        playing_ = false;
        c_.view.setPlayShown(true, true);
        c_.view.setClearAllEnabled(true);
        CmdSTOP_Click();
    };
    if (list.isEmpty()) {
        stopEmpty();
        c_.state.queueEmpty = true;
        return;
    }
    c_.state.queueEmpty = false;

    int k = 0;
    choosePosition(k);
    // An entry without a display name is dropped. When it was the last one the
    // choice is made again from what is left, so the player is never handed an
    // empty path.
    while (list.name(k).isEmpty()) {
        list.removeAt(k);
        if (list.isEmpty()) {
            stopEmpty();
            return;
        }
        if (k >= list.count())
            choosePosition(k);
    }
    c_.state.currentEntry = k;
    c_.state.playingEntry = list.id(k);

    const QString path = list.path(k);
    engine().setMedia(path);
    track_ = {list.name(k), path, list.id(k)};
    c_.view.setTitle(track_.title);
    c_.fields.trackLength = engine().duration();
    startScreenForPlay(path);
    prepareVideoAhead(list, k);
    c_.view.showCount(c_.playlists.shown().count());
    c_.clock.start();
}

void Transport::prepareVideoAhead(const PlaylistModel& list, int playing) {
    // A few entries ahead are enough for the preparation to finish in time; the whole list would cost a
    // scan of up to a million names at every Play.
    constexpr int kLookAhead = 20;
    if (videoPrepared_)
        return;
    const int end = std::min(list.count(), playing + 1 + kLookAhead);
    for (int p = playing; p < end; ++p)
        if (isVideoFile(list.path(p), c_.state.videoList)) {
            videoPrepared_ = true;
            c_.host.prepareVideo();
            return;
        }
}

void Transport::startScreenForPlay(const QString& path) {
    VideoScreen& screen = c_.host.screen();
    if (!isVideoFile(path, c_.state.videoList)) {
        if (screen.isShown() && c_.state.videoOnTop) {
            screen.pressOff();
            c_.view.pressMainOnTop();
        }
        screen.hide();
        fitScreenToVideo_ = false;
        return;
    }
    if (!screen.isShown() && c_.state.videoOnTop)
        screen.pressOn();
    screen.show();
    // The window takes the video's size as soon as the engine knows it.
    fitScreenToVideo_ = true;
    if (const QSize size = engine().videoSize(); !size.isEmpty())
        screen.fitToVideo(size);
}

void Transport::startScreenForSmallPlay(const QString& path) {
    fitScreenToVideo_ = false;
    if (isVideoFile(path, c_.state.videoList))
        c_.host.screen().show();
    else
        c_.host.screen().hide();
}

void Transport::showClockStopped() {
    c_.clock.stop();
    c_.view.setMarkerX(0);
}

void Transport::clearPause() {
    paused_ = false;
    c_.view.setPauseIndicator(false);
}

void Transport::CmdSTOP_Click() {
    const ChangeNotice notice(*this);
    track_ = {};
    c_.view.hideNamePanel();
    clearPause();
    c_.state.stopped = true;
    playing_ = false;
    c_.view.setPlayShown(true, true);
    c_.view.setClearAllEnabled(true);
    c_.view.setTitle(kIdleTitle);
    // Nothing to stop before the first Play: the engine is not started for it.
    if (c_.host.started())
        engine().stop();
    c_.view.showCount(c_.playlists.shown().count());
    showClockStopped();
    if (c_.host.started()) {
        c_.host.screen().hide();
        engine().setMedia(c_.host.silentClip());
    }
}

void Transport::CmdPause_Click() {
    const ChangeNotice notice(*this);
    if (!playing_)
        return;
    if (paused_) {
        clearPause();
        engine().play();
    } else {
        paused_ = true;
        c_.view.setPauseIndicator(true);
        engine().pause();
    }
}

void Transport::cmdSkip_Click() {
    const ChangeNotice notice(*this);
    if (!playing_)
        return;
    c_.view.hideNamePanel();
    engine().stop();
    removePlayedEntry();
    CmdPLAY_Click();
    clearPause();
}

void Transport::CmdPreSkip_Click() {
    c_.view.hideNamePanel();
    if (!playing_)
        return;
    const ChangeNotice notice(*this); // a pause ends
    clearPause();
    c_.state.ignoreEnd = true;
    c_.clock.stop();
    engine().stop();
    engine().setStartPosition(0);
    engine().play();
    c_.view.setMarkerX(1);
    c_.clock.start();
    c_.state.ignoreEnd = false;
    emit positionJumped(0);
}

void Transport::removePlayedEntry() {
    const quint64 played = c_.state.playingEntry;
    if (played == 0)
        return; // a browser file played: no entry was taken for it
    PlaylistModel& list = c_.playlists.at(c_.state.playingPlaylist);
    const int at = list.id(c_.state.currentEntry) == played ? c_.state.currentEntry : list.positionOf(played);
    if (!list.busy(at)) // the entry being copied to the device stays
        list.removeAt(at);
}

Transport::NameBoxItem Transport::nameBoxItem() const {
    NameBoxItem item;
    if (c_.fields.nameBoxEntry == 0) {
        item.path = c_.fields.nameBoxFile;
        item.playlist = c_.playlists.shownIndex();
        return item;
    }
    for (int playlist = 0; playlist < 3; ++playlist) {
        const PlaylistModel& list = c_.playlists.at(playlist);
        if (const int at = list.positionOf(c_.fields.nameBoxEntry); at >= 0)
            return {playlist, at, list.path(at)};
    }
    return item; // the entry has left every playlist
}

void Transport::CmdSmallPlay_Click() {
    const ChangeNotice notice(*this);
    const QString name = c_.view.nameBoxText();
    if (name.isEmpty())
        return;
    // What the name box shows plays from where it is now.
    const NameBoxItem item = nameBoxItem();
    if (item.path.isEmpty())
        return;
    CmdSTOP_Click();
    c_.state.stopped = false;
    c_.view.hideSmallButtons();
    c_.state.currentEntry = item.position;
    c_.state.playingEntry = c_.playlists.at(item.playlist).id(item.position);
    c_.state.ignoreEnd = true;
    c_.clock.stop();
    c_.view.setMarkerX(1);
    c_.view.setClearAllEnabled(false);
    playing_ = true;
    c_.view.setPlayShown(false, false);
    c_.state.playingPlaylist = item.playlist;
    const QString path = item.path;
    engine().setMedia(path);
    track_ = {name, path, c_.state.playingEntry};
    c_.view.setTitle(name);
    engine().play();
    c_.fields.trackLength = engine().duration();
    startScreenForSmallPlay(path);
    c_.view.showCount(c_.playlists.shown().count());
    c_.clock.start();
    c_.state.ignoreEnd = false;
}

void Transport::CMDSmallStop_Click() {
    const ChangeNotice notice(*this);
    if (!playing_)
        return;
    track_ = {};
    c_.state.stopped = true;
    playing_ = false;
    c_.view.setPlayShown(true, false);
    c_.view.setClearAllEnabled(true);
    c_.view.setTitle(kIdleTitle);
    engine().stop();
    c_.view.showCount(c_.playlists.shown().count());
    showClockStopped();
    c_.view.setSmallPlayShown(true);
    c_.host.screen().hide();
    engine().setMedia(c_.host.silentClip());
}

void Transport::lstName_DblClick(int position) {
    const ChangeNotice notice(*this);
    if (c_.keys.ctrlHeld()) {
        c_.fields.selectedIndex = position;
        const auto edit = PlaylistEditing::deleteSelected(c_.playlists, c_.state, playing_, position);
        if (edit.updateCountLabel)
            c_.view.showCount(c_.playlists.shown().count());
        return;
    }
    CMDSmallStop_Click();
    CmdSmallPlay_Click();
    c_.view.hideNamePanel();
}

void Transport::hsVolume_Change(int value) {
    const ChangeNotice notice(*this);
    c_.fields.volume = value;
    // Play hands the volume over anyway; the engine is not started for it.
    if (c_.host.started())
        engine().setVolume(value);
}

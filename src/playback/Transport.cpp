#include "playback/Transport.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/KeyState.h"
#include "platform/MediaPlayer.h"
#include "playback/NextEntry.h"
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
    // Any change to the queue may change what follows the playing track.
    auto queueChanged = [this] {
        scheduleNext();
    };
    for (int i = 0; i < 3; ++i) {
        const PlaylistModel* list = &c_.playlists.at(i);
        connect(list, &QAbstractItemModel::rowsInserted, this, queueChanged);
        connect(list, &QAbstractItemModel::rowsRemoved, this, queueChanged);
        connect(list, &QAbstractItemModel::rowsMoved, this, queueChanged);
        connect(list, &QAbstractItemModel::modelReset, this, queueChanged);
        connect(list, &QAbstractItemModel::layoutChanged, this, queueChanged);
        connect(list, &QAbstractItemModel::dataChanged, this, queueChanged);
    }
    connect(&c_.playlists, &Playlists::shownChanged, this, queueChanged);
}

MediaPlayer& Transport::engine() {
    MediaPlayer& player = c_.host.player();
    if (!connected_) {
        connected_ = true;
        connect(&player, &MediaPlayer::endOfPlayback, this, [this](int) { endOfPlayback(); });
        connect(&player, &MediaPlayer::advanced, this, &Transport::engineAdvanced);
        connect(&player, &MediaPlayer::durationChanged, this, [this](double seconds) {
            const ChangeNotice notice(*this);
            c_.fields.trackLength = seconds;
        });
        connect(&player, &MediaPlayer::tagsChanged, this, [this] { const ChangeNotice notice(*this); });
        connect(&player, &MediaPlayer::videoSizeChanged, this, [this](QSize size) {
            if (fitScreenToVideo_ && c_.host.screen().isShown())
                c_.host.screen().fitToVideo(size);
        });
        player.setReplayGain(c_.state.replayGain);
    }
    return player;
}

void Transport::playbackSettingsChanged() {
    if (!connected_)
        return; // an engine not made yet takes them when it is
    c_.host.player().setReplayGain(c_.state.replayGain);
    scheduleNext(); // Gapless switched: the next file is handed over, or taken back
}

int Transport::GetSongNumberFromCheckedList(int playlist, bool randomOn) {
    return checkedPosition(c_.playlists.at(playlist), randomOn, c_.draw);
}

// Play: the position to play in the playing playlist.
void Transport::choosePosition(int& k) {
    const PlaylistModel& list = c_.playlists.at(c_.state.playingPlaylist);
    k = checkedPosition(list, random_, c_.draw);
    if (k < 0)
        k = std::max(0, anyPosition(list, random_, c_.draw));
    c_.state.currentEntry = k;
}

void Transport::loadMedia(const QString& path) {
    nextGiven_ = {}; // the engine forgets the next file with the loaded one
    nextDraw_.reset();
    engine().setMedia(path);
}

NextEntry Transport::chooseNext() {
    if (!c_.state.gapless || !playing_)
        return {};
    return nextAfterEnd(c_.playlists, c_.state, track_.path, random_, [this] {
        if (!nextDraw_) // random mode draws the next entry once per track
            nextDraw_ = c_.draw();
        return *nextDraw_;
    });
}

// Edits come in bursts (a search moves entries one by one): the choice is made again once they are done.
void Transport::scheduleNext() {
    if (std::exchange(nextScheduled_, true))
        return;
    QTimer::singleShot(0, this, [this] {
        nextScheduled_ = false;
        updateNext();
    });
}

void Transport::updateNext() {
    if (!c_.host.started())
        return;
    const NextEntry next = chooseNext();
    if (next == nextGiven_)
        return;
    nextGiven_ = next;
    engine().setNext(next.path);
}

// The engine went on with the next file by itself. When the queue has changed since that file was handed
// over (an edit a moment before the end), the end takes its ordinary course and loads the right one.
void Transport::engineAdvanced() {
    const NextEntry given = std::exchange(nextGiven_, {});
    const NextEntry now = given.entry != 0 ? chooseNext() : NextEntry();
    nextDraw_.reset();
    finishTrack(now.entry != 0 && now == given ? &now : nullptr);
}

double Transport::position() {
    return c_.host.started() ? engine().currentPosition() : 0;
}

MediaTags Transport::tags() {
    return playing_ && c_.host.started() ? engine().tags() : MediaTags();
}

void Transport::CmdPLAY_Click() {
    play(nullptr);
}

void Transport::play(const NextEntry* loaded) {
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

    int k = loaded && loaded->playlist == playlist ? list.positionOf(loaded->entry) : -1;
    if (k < 0) {
        loaded = nullptr;
        choosePosition(k);
    }
    c_.state.currentEntry = k;
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
    if (!loaded)
        loadMedia(path);
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
        loadMedia(c_.host.silentClip());
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
    loadMedia(path);
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
    loadMedia(c_.host.silentClip());
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

// The clock, seeking, the end of a track and the show-screen button.
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/MediaPlayer.h"
#include "playback/TimeConvert.h"
#include "playback/Transport.h"
#include "playback/TransportView.h"
#include "playback/VideoRules.h"
#include "playlist/Playlists.h"
#include <QTimer>
#include <algorithm>
#include <cmath>

void Transport::tmrTime_Timer() {
    if (!c_.host.started())
        return;
    MediaPlayer& player = engine();
    const double p = player.currentPosition();
    c_.fields.wholeLength = wholeSeconds(player.duration());
    c_.view.setTimeText(TimeConvert(c_.fields.elapsedMode ? p : double(c_.fields.wholeLength) - p));
    if (!playing_)
        return;
    const double length = c_.fields.trackLength;
    const double x = c_.view.windowWidthTwips() * player.currentPosition() / length;
    // A length not known yet puts the marker at the start; the next tick tries again.
    c_.view.setMarkerX(std::isfinite(x) && length > 0 ? x : 0);
}

void Transport::Pictimer_MouseDown(Qt::MouseButton button, double xTwips) {
    if (button != Qt::RightButton)
        return;
    const double width = c_.view.windowWidthTwips();
    jumpTo(width > 0 ? xTwips * c_.fields.trackLength / width : 0);
}

void Transport::jumpBy(double seconds) {
    if (!playing_ || !c_.host.started())
        return;
    const double now = engine().currentPosition();
    const double length = c_.fields.trackLength;
    jumpTo(std::clamp(std::isfinite(now) ? now + seconds : 0, 0.0, length > 0 ? length : 0.0));
}

void Transport::jumpTo(double position) {
    if (!playing_)
        return;
    const ChangeNotice notice(*this); // a pause ends
    c_.state.ignoreEnd = true;
    c_.clock.stop();
    engine().stop();
    const double length = c_.fields.trackLength;
    c_.view.setMarkerX(length > 0 ? c_.view.windowWidthTwips() * position / length : 0);
    engine().setCurrentPosition(position);
    engine().play();
    c_.clock.start();
    clearPause();
    c_.state.ignoreEnd = false;
    emit positionJumped(position);
}

void Transport::endOfPlayback() {
    finishTrack(nullptr);
}

void Transport::finishTrack(const NextEntry* loaded) {
    const ChangeNotice notice(*this);
    AppState& s = c_.state;
    if (s.ignoreEnd) {
        s.ignoreEnd = false;
        return;
    }
    if (s.stopped)
        return;
    const bool deviceTrack = s.playingPlaylist == Playlists::kDevice;
    if (!deviceTrack) {
        removePlayedEntry();
        play(loaded);
        c_.view.showCount(c_.playlists.shown().count());
    }
    const bool deviceShown = c_.playlists.shownIndex() == Playlists::kDevice;
    if (!deviceShown) {
        if (c_.playlists.at(Playlists::kA).isEmpty())
            c_.playlists.setShown(Playlists::kB);
        if (c_.playlists.at(Playlists::kB).isEmpty())
            c_.playlists.setShown(Playlists::kA);
    }
    // A device-list track plays once, whichever tab is shown when it ends: nothing new starts, so the
    // window has to show the player stopped.
    if (deviceShown || deviceTrack) {
        CmdSTOP_Click();
        loadMedia(c_.host.silentClip());
    }
    if (!s.deviceTab && c_.playlists.at(Playlists::kA).isEmpty() &&
        c_.playlists.at(Playlists::kB).isEmpty() && s.closeOnFinish && s.queueEmpty)
        c_.view.closeMainWindow();
    s.ignoreEnd = false;
}

void Transport::cmdShowScreen_Click() {
    VideoScreen& screen = c_.host.screen();
    if (!screen.isShown()) {
        screen.pressOn();
        screen.show();
        return;
    }
    screen.pressOff();
    screen.hide();
    if (c_.state.onTop)
        c_.view.pressMainOnTop();
}

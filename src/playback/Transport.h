#pragma once
#include "platform/MediaPlayer.h"
#include "playback/ColourShow.h"
#include "playback/NextEntry.h"
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class KeyState;
class MediaPlayer;
class Playlists;
class PlayerHost;
class PlaylistModel;
class QTimer;
class TransportView;
struct AppState;
struct MainWindowState;

// The transport of the main window: Play, Stop, Pause, Skip, Back, the small
// play and stop buttons, the double-click, the volume, the clock, seeking and
// the end of a track. Playback runs the shown playlist down as a queue.
class Transport : public QObject {
    Q_OBJECT
public:
    struct Context {
        AppState& state;
        MainWindowState& fields;
        Playlists& playlists;
        KeyState& keys;
        TransportView& view;
        PlayerHost& host;
        QTimer& clock; // tmrTime
        // Uniform numbers in [0, 1) for the random choice; empty: the system's.
        std::function<double()> draw = {};
    };

    explicit Transport(Context context, QObject* parent = nullptr);

    // Playing means the Play button is hidden (paused included).
    bool playing() const { return playing_; }
    bool paused() const { return paused_; }

    // What was last handed to the engine to play, as the window names it;
    // empty texts while stopped.
    struct Track {
        QString title;
        QString path;
        quint64 entry = 0; // the playlist entry, 0 for a file of the browser
    };
    const Track& track() const { return track_; }
    // Seconds into the track; 0 before the engine has started.
    double position();
    // The tags the engine read from the playing file; empty while stopped.
    MediaTags tags();
    // The queues Play takes from.
    const Playlists& playlists() const { return c_.playlists; }

    void CmdPLAY_Click();
    void CmdSTOP_Click();
    void CmdPause_Click();
    void cmdSkip_Click();
    void CmdPreSkip_Click();
    void CmdSmallPlay_Click();
    void CMDSmallStop_Click();
    // A double-click on an entry of the shown list at `position`.
    void lstName_DblClick(int position);
    void hsVolume_Change(int value);

    // The clock tick (tmrTime) and a mouse-down on the time bar.
    void tmrTime_Timer();
    void Pictimer_MouseDown(Qt::MouseButton button, double xTwips);
    // From the keyboard: a jump back (negative) or ahead within the playing track.
    void jumpBy(double seconds);

    // The engine's end-of-playback notification.
    void endOfPlayback();

    // The show-screen button (F10): shows or hides the video window.
    void cmdShowScreen_Click();

    // A checked entry of the playlist, or -1 (random among the checked ones
    // when "&Random" is on).
    int GetSongNumberFromCheckedList(int playlist, bool randomOn);
    // The options window's OK stored the ReplayGain and Gapless settings.
    void playbackSettingsChanged();
    void setRandom(bool on) {
        random_ = on;
        scheduleNext();
    }

signals:
    // Playing, paused or stopped, the track, its length or tags or the volume may
    // have changed: sent once when a handler is done, never half-way.
    void playbackChanged();
    // Back or the time bar moved the position within the playing track.
    void positionJumped(double seconds);

private:
    void jumpTo(double seconds);
    // Play, or at a gapless end the entry the engine already plays.
    void play(const NextEntry* loaded);
    void finishTrack(const NextEntry* loaded);
    void loadMedia(const QString& path);
    // Gapless playback: what follows the playing track, handed to the engine ahead.
    NextEntry chooseNext();
    void scheduleNext();
    void updateNext();
    void engineAdvanced();
    // Where the name box's entry is now (position -1 for a browser file, and
    // an empty path when the entry has left every playlist).
    struct NameBoxItem {
        int playlist = 0;
        int position = -1;
        QString path;
    };
    NameBoxItem nameBoxItem() const;
    // Held by each handler that changes what playbackChanged reports; the
    // outermost one sends it when it is done.
    class ChangeNotice {
    public:
        explicit ChangeNotice(Transport& t) : t_(t) { ++t_.handlerDepth_; }
        ~ChangeNotice() {
            if (--t_.handlerDepth_ == 0) {
                t_.scheduleNext();
                emit t_.playbackChanged();
            }
        }
        ChangeNotice(const ChangeNotice&) = delete;
        ChangeNotice& operator=(const ChangeNotice&) = delete;

    private:
        Transport& t_;
    };
    // Skip and the end of a track take out the entry that played, found by
    // its id wherever edits have moved it in the playing playlist.
    void removePlayedEntry();
    MediaPlayer& engine();
    void showClockStopped();
    void clearPause();
    void choosePosition(int& k);
    void startScreenForPlay(const QString& path);
    void prepareVideoAhead(const PlaylistModel& list, int playing);
    void startScreenForSmallPlay(const QString& path);

    Context c_;
    Track track_;
    int handlerDepth_ = 0;
    bool playing_ = false;
    bool paused_ = false;
    bool random_ = false;
    bool connected_ = false;
    bool fitScreenToVideo_ = false;
    bool videoPrepared_ = false;
    NextEntry nextGiven_;                      // as last handed to the engine
    std::optional<double> nextDraw_;           // the random draw for the next entry, once per track
    bool nextScheduled_ = false;
};

#pragma once
#include <QObject>
#include <QString>
#include <QStringList>

class Transport;
struct MainWindowState;

// What the desktop's media calls need of the main window besides its
// transport buttons.
class MprisWindow {
public:
    virtual ~MprisWindow() = default;
    // Brings the main window to the front.
    virtual void raiseWindow() = 0;
    // "E&xit": closes the player the normal way.
    virtual void exitProgram() = 0;
    // Moves the volume slider, whose own handling then sets the volume.
    virtual void setVolumeSlider(int hundredthsOfDb) = 0;
    // Loads a playlist file as a second start would hand it over.
    virtual void openPlaylist(const QString& path) = 0;
};

// The track as the desktop's sound menu shows it.
struct MprisMetadata {
    QString trackId;         // a D-Bus object path
    QString title;           // the file's own title, else the display name; empty when stopped
    QString artist, album;   // from the file's tags; empty where it has none
    QString url;             // the file as a file:// URL; empty when stopped
    qint64 lengthMicros = 0; // 0 while unknown
    bool operator==(const MprisMetadata&) const = default;
};

// The media player interface the desktop drives (media keys, the sound
// menu, playerctl), on the player's own transport: each call runs the
// matching button's handling, and the state is read from the transport.
// Property names and values follow the MPRIS 2 interface
// org.mpris.MediaPlayer2.Player.
class MprisPlayer : public QObject {
    Q_OBJECT
public:
    static inline const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

    MprisPlayer(Transport& transport, const MainWindowState& fields, MprisWindow& window,
                QObject* parent = nullptr);

    void Raise();
    void Quit();
    void openPlaylist(const QString& path);
    // Play when stopped, else Pause (which also resumes).
    void PlayPause();
    // Play when stopped, resume when paused.
    void Play();
    // Pause when playing and not paused.
    void Pause();
    void Stop();     // S&TOP
    void Next();     // S&kip
    void Previous(); // &Back: the track starts again

    // "Playing", "Paused" or "Stopped".
    QString playbackStatus() const;
    // Play finds something: a track is loaded or a queue it takes from holds an entry.
    bool canPlay() const;
    // Pause, Next and Previous act on a loaded track only.
    bool trackLoaded() const;
    MprisMetadata metadata() const;
    // The volume slider's place: 0 at -50 dB, 1 at full.
    double volume() const;
    // Moves the slider there (taken into 0..1; not a number changes nothing).
    void setVolume(double volume);
    qint64 positionMicros();

signals:
    // The names of the properties ("PlaybackStatus", "Metadata", "Volume",
    // "CanPlay", "CanPause", "CanGoNext", "CanGoPrevious") whose values
    // differ from those last announced.
    void propertiesChanged(const QStringList& names);
    // The position jumped within the track (Back, the time bar).
    void seeked(qint64 positionMicros);

private:
    void refresh();
    QString trackIdFor(const QString& title, const QString& path, quint64 entry) const;

    Transport& transport_;
    const MainWindowState& fields_;
    MprisWindow& window_;
    QString status_;
    MprisMetadata metadata_;
    double volume_ = 0;
    bool canPlay_ = false, trackLoaded_ = false;
    // A new track id each time another track starts.
    mutable quint64 trackSerial_ = 0;
    mutable QString lastTitle_, lastPath_;
    mutable quint64 lastEntry_ = 0;
};

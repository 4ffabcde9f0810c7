#pragma once
#include "settings/ReplayGain.h"
#include <QObject>
#include <QSize>
#include <QString>

// The loaded media's own tags (ID3, Vorbis comments and the like); empty texts where it has none.
struct MediaTags {
    QString title, artist, album;
    bool operator==(const MediaTags&) const = default;
};

// The playback engine as the rest of the program sees it: one loaded media file at a time, played, paused,
// stopped and positioned. All calls and signals belong to the user-interface thread.
//
// stop() halts like pause() and keeps the media loaded: play() then goes on from where it stopped, or from a
// position set in between with setCurrentPosition() or setStartPosition(). So "stop, start position 0, play"
// restarts the track and "stop, current position x, play" continues at x, neither with an endOfPlayback.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // The argument of endOfPlayback (callers may ignore it).
    enum EndReason { Finished = 0, Failed = 1 };

    // Opens the file and starts it at once; replaces what was loaded; clears a pause.
    virtual void setMedia(const QString& path) = 0;
    // Starts or resumes the loaded media.
    virtual void play() = 0;
    virtual void pause() = 0;
    // Halts; the media stays loaded (play() then starts it again).
    virtual void stop() = 0;
    // Seconds, 0 while unknown.
    virtual double duration() const = 0;
    // Seconds.
    virtual double currentPosition() const = 0;
    virtual void setCurrentPosition(double seconds) = 0;
    // Where the next play() starts.
    virtual void setStartPosition(double seconds) = 0;
    // -5000 (quietest, -50 dB) .. 0 (full); values outside are taken to the nearest end.
    virtual void setVolume(int hundredthsOfDb) = 0;
    // Empty while unknown or for audio.
    virtual QSize videoSize() const = 0;
    // Empty until read from the file (tagsChanged), and after setMedia.
    virtual MediaTags tags() const = 0;
    // The loudness correction for what plays now and later; an engine without one ignores it.
    virtual void setReplayGain(const ReplayGain&) {}
    // The file to follow the loaded media without a gap when it plays to its end (advanced, then, instead of
    // endOfPlayback); an empty path takes the choice back. Replaced by each call and by setMedia. An engine
    // that cannot follow a file gaplessly ignores it and reports the end as usual.
    virtual void setNext(const QString&) {}

signals:
    // The loaded media played to its natural end (Finished), or could not be opened or decoded (Failed), so
    // that a queue never stalls. Never raised for stop, a replacing setMedia or quitting, and never from
    // inside a call to the player.
    void endOfPlayback(int reason);
    // The loaded media played to its natural end and the file given with setNext is the loaded media now,
    // playing from its start; its length, video size and tags follow as after setMedia.
    void advanced();
    // The length became known after setMedia.
    void durationChanged(double seconds);
    // The video's display size became known after setMedia.
    void videoSizeChanged(QSize size);
    // The file's tags have been read after setMedia (raised only for a file that has some).
    void tagsChanged();
};

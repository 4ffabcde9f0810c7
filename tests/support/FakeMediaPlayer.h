#pragma once
#include "platform/MediaPlayer.h"
#include <QStringList>
#include <optional>
#include <utility>

// A scripted player: records every call in order in `log` ("setMedia:/x.mp3", "play", "pause", "stop",
// "position:12.5", "start:0", "volume:-250"), answers duration, position and video size from its fields,
// and raises its signals only when a test says so.
class FakeMediaPlayer : public MediaPlayer {
public:
    using MediaPlayer::MediaPlayer;

    QStringList log;
    QString media;        // the last path given to setMedia
    QString next;         // the file to follow it (setNext); setMedia clears it
    bool playing = false; // set by setMedia and play, cleared by pause and stop
    double length = 0;    // what duration() answers
    double position = 0;  // what currentPosition() answers; setCurrentPosition writes it
    QSize size;           // what videoSize() answers
    int volume = 0;       // the last volume set
    std::optional<ReplayGain> replayGain; // the last set
    MediaTags fileTags;   // what tags() answers; setMedia clears it
    // Applied by setMedia, as a real player learns them from the file ({} keeps the fields as they are).
    std::optional<double> lengthOnSetMedia;
    std::optional<QSize> sizeOnSetMedia;

    void setMedia(const QString& path) override {
        log << QStringLiteral("setMedia:") + path;
        media = path;
        next.clear();
        playing = true;
        position = 0;
        fileTags = {};
        if (lengthOnSetMedia)
            length = *lengthOnSetMedia;
        if (sizeOnSetMedia)
            size = *sizeOnSetMedia;
    }
    void play() override {
        log << QStringLiteral("play");
        playing = true;
    }
    void pause() override {
        log << QStringLiteral("pause");
        playing = false;
    }
    void stop() override {
        log << QStringLiteral("stop");
        playing = false;
    }
    void setNext(const QString& path) override {
        log << QStringLiteral("next:") + path;
        next = path;
    }
    double duration() const override { return length; }
    double currentPosition() const override { return position; }
    void setCurrentPosition(double seconds) override {
        log << QStringLiteral("position:") + QString::number(seconds);
        position = seconds;
    }
    void setStartPosition(double seconds) override {
        log << QStringLiteral("start:") + QString::number(seconds);
    }
    void setReplayGain(const ReplayGain& gain) override { replayGain = gain; }
    void setVolume(int hundredthsOfDb) override {
        log << QStringLiteral("volume:") + QString::number(hundredthsOfDb);
        volume = hundredthsOfDb;
    }
    QSize videoSize() const override { return size; }
    MediaTags tags() const override { return fileTags; }

    // What the real player would report, for a test to trigger.
    void finish(int reason = Finished) { emit endOfPlayback(reason); }
    // The natural end with a next file given: the next one plays now (an ordinary end without one).
    void finishIntoNext() {
        if (next.isEmpty())
            return finish();
        media = std::exchange(next, {});
        position = 0;
        emit advanced();
    }
    void reportDuration(double seconds) {
        length = seconds;
        emit durationChanged(seconds);
    }
    void reportVideoSize(QSize videoSize) {
        size = videoSize;
        emit videoSizeChanged(videoSize);
    }
    void reportTags(const MediaTags& found) {
        fileTags = found;
        emit tagsChanged();
    }
    // The log so far, emptied.
    QStringList takeLog() { return std::exchange(log, {}); }
};

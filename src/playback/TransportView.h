#pragma once
#include <QString>

class MediaPlayer;
class VideoScreen;

// The main window's controls as the transport drives them.
class TransportView {
public:
    virtual ~TransportView() = default;
    // The Play button (hidden while playing); `pictures` also switches the
    // picture buttons that share one place (Play shown, or Stop).
    virtual void setPlayShown(bool shown, bool pictures) = 0;
    virtual void setClearAllEnabled(bool enabled) = 0;
    // The name box and its three small buttons.
    virtual void hideNamePanel() = 0;
    virtual void hideSmallButtons() = 0;
    virtual void setSmallPlayShown(bool shown) = 0;
    virtual QString nameBoxText() const = 0;
    // The window caption and the song name label.
    virtual void setTitle(const QString& title) = 0;
    virtual void showCount(int count) = 0;
    // The size button turns red while paused.
    virtual void setPauseIndicator(bool paused) = 0;
    virtual void setMarkerX(double twips) = 0;
    virtual double windowWidthTwips() const = 0;
    virtual void setTimeText(const QString& text) = 0;
    virtual void pressMainOnTop() = 0;
    virtual void closeMainWindow() = 0;
};

// Makes the engine and the video window on first use: nothing of the engine
// is loaded before the first Play.
class PlayerHost {
public:
    virtual ~PlayerHost() = default;
    virtual MediaPlayer& player() = 0;
    virtual VideoScreen& screen() = 0;
    virtual bool started() const = 0;
    // The half-second silent clip handed to the player after a stop.
    virtual QString silentClip() = 0;
    // The main window's unload closes the video window for good.
    virtual void closeScreen() {}
    // A video is coming soon: what the video window needs to draw is made
    // ready off the user-interface thread, so that showing it does not hold
    // up the window. Asked at most once.
    virtual void prepareVideo() {}
};

#pragma once
#include <QSize>
#include <QString>

// A file plays in the video window when its extension (from the last "." of
// the path) occurs anywhere in the video extension list, in any letter case.
// A plain text search: ".mpe" counts with "*.mpeg" in the list.
bool isVideoFile(const QString& path, const QString& videoList);

// The video window as the playback logic drives it.
class VideoScreen {
public:
    virtual ~VideoScreen() = default;
    virtual bool isShown() const = 0;
    virtual void show() = 0;
    virtual void hide() = 0;
    // Its "ON" and "Off" buttons: into and out of the always-on-top layer.
    virtual void pressOn() = 0;
    virtual void pressOff() = 0;
    // The window takes the video's size.
    virtual void fitToVideo(QSize size) = 0;
};

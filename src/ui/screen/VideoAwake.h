#pragma once
#include "platform/ScreenSaverInhibitor.h"

class Transport;
struct AppState;

// Keeps the screensaver off while a video plays and is not paused. Play,
// Pause, Stop and the end of a track all end in the transport's
// playbackChanged; the hold goes with this object at shut-down.
class VideoAwake : public QObject {
    Q_OBJECT
public:
    VideoAwake(const Transport& transport, const AppState& state, QObject* parent = nullptr);

private:
    void update();

    const Transport& transport_;
    const AppState& state_;
    ScreenSaverInhibitor inhibitor_;
    bool held_ = false;
};

#include "ui/screen/VideoAwake.h"
#include "core/AppState.h"
#include "playback/Transport.h"
#include "playback/VideoRules.h"

VideoAwake::VideoAwake(const Transport& transport, const AppState& state, QObject* parent)
    : QObject(parent), transport_(transport), state_(state) {
    connect(&transport, &Transport::playbackChanged, this, &VideoAwake::update);
    update();
}

void VideoAwake::update() {
    const bool held = transport_.playing() && !transport_.paused() &&
                      isVideoFile(transport_.track().path, state_.videoList);
    // Asked again only on a change: a desktop without the service is asked once per video.
    if (held != held_)
        inhibitor_.setHeld(held_ = held);
}

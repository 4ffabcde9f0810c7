#include "ui/screen/ScreenHost.h"
#include "platform/Dialogs.h"
#include "platform/MpvPlayer.h"
#include "platform/SilentClip.h"
#include "ui/screen/MpvVideoWidget.h"
#include "ui/screen/frmScreen.h"

ScreenHost::ScreenHost(AppState& state, Dialogs& dialogs) : state_(state), dialogs_(dialogs) {}

ScreenHost::~ScreenHost() {
    // The surface frees its render context while the engine still runs.
    screen_.reset();
    player_.reset();
}

void ScreenHost::start() {
    if (player_)
        return;
    player_ = std::make_unique<MpvPlayer>(MpvPlayer::Options::fromEnvironment());
    screen_ = std::make_unique<frmScreen>(state_, createVideoSurface(player_.get(), nullptr));
    MpvPlayer* player = player_.get();
    QObject::connect(player, &MpvPlayer::started, player, [this, player] {
        if (!player->isReady())
            dialogs_.message(
                QStringLiteral("The playback engine could not start: %1").arg(player->lastError()),
                QStringLiteral("Problem!"));
    });
}

MediaPlayer& ScreenHost::player() {
    start();
    return *player_;
}

VideoScreen& ScreenHost::screen() {
    start();
    return *screen_;
}

QString ScreenHost::silentClip() {
    return silentClipPath();
}

void ScreenHost::closeScreen() {
    if (screen_)
        screen_->closeForGood();
}

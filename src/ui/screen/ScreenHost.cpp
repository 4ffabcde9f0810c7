#include "ui/screen/ScreenHost.h"
#include "platform/Dialogs.h"
#include "platform/MpvPlayer.h"
#include "platform/SilentClip.h"
#include "ui/screen/MpvVideoWidget.h"
#include "ui/screen/frmScreen.h"
#include <QOpenGLContext>

ScreenHost::ScreenHost(AppState& state, Dialogs& dialogs) : state_(state), dialogs_(dialogs) {}

ScreenHost::~ScreenHost() {
    if (videoPreparation_.joinable())
        videoPreparation_.join();
    // The surface frees its render context while the engine still runs.
    screen_.reset();
    player_.reset();
}

void ScreenHost::start() {
    if (player_)
        return;
    player_ = std::make_unique<MpvPlayer>(MpvPlayer::Options::fromEnvironment());
    MpvPlayer* player = player_.get();
    screen_ = std::make_unique<frmScreen>(state_, [player] { return createVideoSurface(player, nullptr); });
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

void ScreenHost::prepareVideo() {
    // Asking for OpenGL loads the platform's OpenGL plugin, which would wait for the engine's start (both
    // take the dynamic loader's lock): the preparation follows the start.
    if (player_ && player_->isStarting()) {
        QObject::connect(
            player_.get(), &MpvPlayer::started, player_.get(), [this] { prepareVideo(); },
            Qt::SingleShotConnection);
        return;
    }
    // The first OpenGL context of the run loads the graphics driver (with a software renderer, a compiler
    // too): a fifth of a second that would otherwise fall on the window's thread when the video window
    // first shows. A context made and dropped here, on a thread of its own, leaves the driver loaded.
    if (videoPreparation_.joinable() || !QOpenGLContext::supportsThreadedOpenGL())
        return;
    videoPreparation_ = std::thread([] {
        QOpenGLContext context;
        context.create();
    });
}

void ScreenHost::closeScreen() {
    if (screen_)
        screen_->closeForGood();
}

#include "ui/screen/MpvVideoWidget.h"
#include "platform/MpvApi.h"
#include "platform/MpvPlayer.h"
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPalette>
#include <mpv/render_gl.h>

MpvVideoWidget::MpvVideoWidget(MpvPlayer* player, QWidget* parent) : QOpenGLWidget(parent), player_(player) {
    // The player may go first: its render context must be freed while its engine still runs.
    connect(player, &MpvPlayer::aboutToShutDown, this, &MpvVideoWidget::releaseRenderContext,
            Qt::DirectConnection);
    connect(this, &QOpenGLWidget::frameSwapped, this, [this] {
        if (render_ && player_)
            player_->api()->render_context_report_swap(render_);
    });
    // A surface shown while the engine was still starting gets its render context once the engine runs.
    connect(player, &MpvPlayer::started, this, [this] {
        if (!render_ && isValid()) {
            makeCurrent();
            createRenderContext();
            doneCurrent();
            update();
        }
    });
}

MpvVideoWidget::~MpvVideoWidget() {
    // ~QOpenGLWidget destroys the GL context after this part of the object is gone: its aboutToBeDestroyed
    // must no longer reach this widget.
    if (contextWatch_)
        disconnect(contextWatch_);
    releaseRenderContext();
}

void* MpvVideoWidget::procAddress(void*, const char* name) {
    QOpenGLContext* context = QOpenGLContext::currentContext();
    return context ? reinterpret_cast<void*>(context->getProcAddress(name)) : nullptr;
}

void MpvVideoWidget::onUpdate(void* widget) {
    // Called on one of mpv's threads: ask for a repaint on the user-interface thread.
    QMetaObject::invokeMethod(static_cast<MpvVideoWidget*>(widget), "update", Qt::QueuedConnection);
}

void MpvVideoWidget::initializeGL() {
    createRenderContext();
}

void MpvVideoWidget::createRenderContext() {
    if (render_ || !player_ || !player_->handle())
        return;
    // A new GL context (the widget moved to another window) needs a new render context.
    if (contextWatch_)
        disconnect(contextWatch_);
    contextWatch_ =
        connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &MpvVideoWidget::releaseRenderContext);
    mpv_opengl_init_params glInit{};
    glInit.get_proc_address = &MpvVideoWidget::procAddress;
    char apiType[] = MPV_RENDER_API_TYPE_OPENGL;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, apiType},
        {MPV_RENDER_PARAM_OPENGL_INIT_PARAMS, &glInit},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    const MpvApi* api = player_->api();
    if (api->render_context_create(&render_, player_->handle(), params) < 0) {
        render_ = nullptr;
        qWarning("mpv could not draw into the video window");
        return;
    }
    api->render_context_set_update_callback(render_, &MpvVideoWidget::onUpdate, this);
    player_->attachVideoOutput(true);
}

void MpvVideoWidget::paintGL() {
    if (!render_ || !player_) {
        QOpenGLFunctions* gl = context()->functions();
        gl->glClearColor(0, 0, 0, 1);
        gl->glClear(GL_COLOR_BUFFER_BIT);
        return;
    }
    const qreal ratio = devicePixelRatioF();
    mpv_opengl_fbo fbo{static_cast<int>(defaultFramebufferObject()), static_cast<int>(width() * ratio),
                       static_cast<int>(height() * ratio), 0};
    int flipY = 1;
    // Draw the frame that is due and return: waiting for its display time would hold up the window.
    int block = 0;
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_OPENGL_FBO, &fbo},
        {MPV_RENDER_PARAM_FLIP_Y, &flipY},
        {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    player_->api()->render_context_render(render_, params);
}

void MpvVideoWidget::releaseRenderContext() {
    if (!render_)
        return;
    mpv_render_context* render = render_;
    render_ = nullptr;
    makeCurrent();
    if (player_)
        player_->api()->render_context_free(render);
    doneCurrent();
    if (player_)
        player_->attachVideoOutput(false);
}

QWidget* createVideoSurface(MpvPlayer* player, QWidget* parent) {
    const QString platform = QGuiApplication::platformName();
    const bool glUsable = platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
    if (player && (player->isStarting() || player->isReady()) && glUsable)
        return new MpvVideoWidget(player, parent);
    auto* plain = new QWidget(parent);
    QPalette palette = plain->palette();
    palette.setColor(QPalette::Window, Qt::black);
    plain->setPalette(palette);
    plain->setAutoFillBackground(true);
    return plain;
}

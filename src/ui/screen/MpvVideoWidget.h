#pragma once
#include <QOpenGLWidget>
#include <QPointer>

class MpvPlayer;
struct mpv_render_context;

// Shows the player's video: mpv draws each frame through its render API into this widget's OpenGL
// framebuffer. While the widget has a render context the player sends its video here (vo=libmpv).
class MpvVideoWidget : public QOpenGLWidget {
    Q_OBJECT
public:
    explicit MpvVideoWidget(MpvPlayer* player, QWidget* parent = nullptr);
    ~MpvVideoWidget() override;

protected:
    void initializeGL() override;
    void paintGL() override;

private:
    // With the GL context current: lets mpv draw here once the engine runs.
    void createRenderContext();
    // Makes the GL context current itself; safe to call when there is nothing to free.
    void releaseRenderContext();
    static void onUpdate(void* widget);
    static void* procAddress(void* context, const char* name);

    QPointer<MpvPlayer> player_;
    mpv_render_context* render_ = nullptr;
    QMetaObject::Connection contextWatch_; // the GL context's aboutToBeDestroyed
};

// The surface the video window puts the player on: an MpvVideoWidget, or a plain black widget where OpenGL
// widgets cannot work (the offscreen platform of the tests) or the engine did not start.
QWidget* createVideoSurface(MpvPlayer* player, QWidget* parent);

#pragma once
#include "playback/VideoRules.h"
#include <QWidget>
#include <functional>

class QPushButton;
struct AppState;

// The video window "Kivo Player Screen": the player's video surface and two
// small buttons that put the window into or out of the always-on-top layer.
// A close by the user only hides it; it closes for good at shut-down. The
// surface is made when the window first shows: a player of audio alone never
// loads the graphics libraries it needs.
class frmScreen : public QWidget, public VideoScreen {
    Q_OBJECT
public:
    frmScreen(AppState& state, std::function<QWidget*()> makeSurface);

    bool isShown() const override { return isVisible(); }
    void show() override { QWidget::show(); }
    void hide() override { QWidget::hide(); }
    void pressOn() override { cmdOnTopOnScreen_Click(); }
    void pressOff() override { cmdOnTopOffScreen_Click(); }
    void fitToVideo(QSize size) override;

    void cmdOnTopOnScreen_Click();
    void cmdOnTopOffScreen_Click();
    bool isOnTop() const { return windowFlags().testFlag(Qt::WindowStaysOnTopHint); }
    // The main window's unload: closes the window for good.
    void closeForGood();

    QPushButton *cmdOnTopOnScreen, *cmdOnTopOffScreen;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void setOnTop(bool on);

    AppState& state_;
    std::function<QWidget*()> makeSurface_;
    QWidget* surface_ = nullptr;
    bool closingForGood_ = false;
};

#pragma once
#include "playback/TransportView.h"
#include "playback/VideoRules.h"
#include "support/FakeMediaPlayer.h"
#include <QStringList>

// The main window's controls as a transport test sees them.
struct FakeTransportView : TransportView {
    bool playShown = true, picturePlayShown = true, clearAllEnabled = true, namePanelShown = true;
    bool smallButtonsShown = true, smallPlayShown = true, pausedIndicator = false;
    QString nameBox, title, time;
    int count = -1, mainOnTopPresses = 0, closes = 0;
    double markerX = -1, width = 6000;

    void setPlayShown(bool shown, bool pictures) override {
        playShown = shown;
        if (pictures)
            picturePlayShown = shown;
    }
    void setClearAllEnabled(bool enabled) override { clearAllEnabled = enabled; }
    void hideNamePanel() override { namePanelShown = smallButtonsShown = false; }
    void hideSmallButtons() override { smallButtonsShown = false; }
    void setSmallPlayShown(bool shown) override { smallPlayShown = shown; }
    QString nameBoxText() const override { return nameBox; }
    void setTitle(const QString& t) override { title = t; }
    void showCount(int n) override { count = n; }
    void setPauseIndicator(bool paused) override { pausedIndicator = paused; }
    void setMarkerX(double x) override { markerX = x; }
    double windowWidthTwips() const override { return width; }
    void setTimeText(const QString& t) override { time = t; }
    void pressMainOnTop() override { ++mainOnTopPresses; }
    void closeMainWindow() override { ++closes; }
};

struct FakeScreen : VideoScreen {
    bool shown = false, onTop = false;
    QSize fitted;
    QStringList presses;
    bool isShown() const override { return shown; }
    void show() override { shown = true; }
    void hide() override { shown = false; }
    void pressOn() override {
        onTop = true;
        presses << "ON";
    }
    void pressOff() override {
        onTop = false;
        presses << "Off";
    }
    void fitToVideo(QSize size) override { fitted = size; }
};

struct FakeHost : PlayerHost {
    FakeMediaPlayer fake;
    FakeScreen videoScreen;
    bool isStarted = false;
    MediaPlayer& player() override {
        isStarted = true;
        return fake;
    }
    VideoScreen& screen() override { return videoScreen; }
    bool started() const override { return isStarted; }
    QString silentClip() override { return QStringLiteral("/tmp/silence.wav"); }
    int videoPreparations = 0;
    void prepareVideo() override { ++videoPreparations; }
};

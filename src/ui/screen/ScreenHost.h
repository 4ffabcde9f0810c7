#pragma once
#include "playback/TransportView.h"
#include <memory>
#include <thread>

class Dialogs;
class MpvPlayer;
class frmScreen;
struct AppState;

// Makes the playback engine and the video window together, the first time
// either is needed. An engine that cannot start is reported once and then
// plays nothing.
class ScreenHost : public PlayerHost {
public:
    ScreenHost(AppState& state, Dialogs& dialogs);
    ~ScreenHost() override;

    MediaPlayer& player() override;
    VideoScreen& screen() override;
    bool started() const override { return player_ != nullptr; }
    QString silentClip() override;

    void closeScreen() override;
    void prepareVideo() override;
    frmScreen* window() const { return screen_.get(); }

private:
    void start();

    AppState& state_;
    Dialogs& dialogs_;
    std::unique_ptr<MpvPlayer> player_;
    std::unique_ptr<frmScreen> screen_;
    // Loads the system's OpenGL driver ahead of the first video.
    std::thread videoPreparation_;
};

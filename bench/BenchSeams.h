#pragma once
// Seams for benchmarks of the real main window: nothing is asked of the user.
#include "platform/Dialogs.h"
#include "platform/KeyState.h"
#include "platform/Shell.h"
#include "playback/TransportView.h"
#include <cstdlib>
#include <optional>

struct NoDialogs : Dialogs {
    void message(const QString&, const QString&) override {}
    std::optional<QString> saveFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QString> openFile(const FileRequest&) override { return std::nullopt; }
    std::optional<QColor> chooseColour(const QColor&) override { return std::nullopt; }
};
struct NoKeys : KeyState {
    bool shiftHeld() const override { return false; }
    bool ctrlHeld() const override { return false; }
};
struct NoShell : Shell {
    void openFolder(const QString&) override {}
};
// For windows whose benchmark never plays anything.
struct NoEngine : PlayerHost {
    MediaPlayer& player() override { std::abort(); }
    VideoScreen& screen() override { std::abort(); }
    bool started() const override { return false; }
    QString silentClip() override { return {}; }
};

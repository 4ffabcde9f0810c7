#pragma once
// Seams for benchmarks of the real main window: nothing is asked of the user.
#include "platform/Dialogs.h"
#include "platform/KeyState.h"
#include "platform/Shell.h"
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

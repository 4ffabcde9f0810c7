#pragma once
// The real main window on the real engine (null audio output, paced like a sound card), nothing asked of
// the user, settings in memory.
#include "BenchSeams.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/MemorySettingsStore.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1.h"
#include "ui/screen/ScreenHost.h"
#include <QDir>
#include <memory>

struct RealWindow {
    MemorySettingsStore store;
    SettingsTable table{QStringLiteral("bench"), QDir::tempPath()};
    NoKeys keys;
    NoDialogs dialogs;
    NoShell shell;
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    ScreenHost host{state, dialogs};
    std::unique_ptr<Form1> form;

    RealWindow() {
        qputenv("KIVO_MPV_AO", "null");
        form = std::make_unique<Form1>(
            Form1Context{state, fields, playlists, store, table, keys, dialogs, shell, host});
        form->Form_Load({});
        form->show();
    }
};

#pragma once
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/MemorySettingsStore.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "support/EntryNames.h"
#include "support/FakeSeams.h"
#include "support/TempDir.h"
#include "support/TransportFakes.h"
#include "ui/main/Form1.h"
#include <gtest/gtest.h>
#include <memory>

// The main window on the offscreen platform, with an in-memory store, a fake
// engine and a temporary home.
class Form1Test : public ::testing::Test {
protected:
    TempDir dir;
    MemorySettingsStore store;
    SettingsTable table{QStringLiteral("alice"), dir.path()};
    FakeKeyState keys;
    FakeDialogs dialogs;
    FakeShell shell;
    AppState state;
    MainWindowState fields;
    Playlists playlists;
    FakeHost host;
    std::unique_ptr<Form1> form;

    void open(const QString& commandLine = {}) {
        form = std::make_unique<Form1>(
            Form1Context{state, fields, playlists, store, table, keys, dialogs, shell, host});
        form->Form_Load(commandLine);
        form->show();
    }
    int heightTwips() const { return form->height() * 15; }
    // Entries named as given, each playing "/music/<name>".
    void fill(int playlist, const QStringList& names) {
        for (const QString& name : names)
            playlists.at(playlist).append(name, "/music/" + name);
    }
    QStringList names(int playlist) const { return entryNames(playlists.at(playlist)); }
};

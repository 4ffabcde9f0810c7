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
#include "support/WaitUntil.h"
#include "ui/main/Form1.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include "ui/options/frmOtp.h"

// The main window, active, with an in-memory store, a fake engine and a temporary home.
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
    frmOtp* options = nullptr;

    void open() {
        form = std::make_unique<Form1>(
            Form1Context{state, fields, playlists, store, table, keys, dialogs, shell, host});
        form->Form_Load({});
        state.gapless =
            false; // the engine's log holds only what the window asks (gapless: the transport's tests)
        form->show();
        QApplication::setActiveWindow(form.get());
    }
    void openOptions() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // a window closed before
        QTest::mouseClick(form->CmdOptions, Qt::LeftButton);
        options = form->findChild<frmOtp*>();
        ASSERT_NE(options, nullptr);
    }
    // Entries named as given, each playing "/music/<name>".
    void fill(int playlist, const QStringList& names) {
        for (const QString& name : names)
            playlists.at(playlist).append(name, "/music/" + name);
    }
    QStringList names(int playlist) const { return entryNames(playlists.at(playlist)); }
    void write(const SettingDef& def, const QString& value) { store.write(def.section, def.key, value); }
    QString stored(const SettingDef& def) const { return store.read(def.section, def.key, "-"); }

    // A real click on an entry (only the user's pick selects one); the list takes the focus.
    void clickEntry(QListView* view, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers,
                          view->visualRect(view->model()->index(row, 0)).center());
        view->setFocus();
    }
    // A key sent where the keyboard focus really is.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }
};

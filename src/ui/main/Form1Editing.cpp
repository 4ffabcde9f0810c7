// The main window's playlist editing: list keys, the floating save button,
// "&Clear All", the whole-playlist buttons, the save buttons and the search box.
#include "browser/BrowserPaths.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/Dialogs.h"
#include "platform/Shell.h"
#include "playback/Transport.h"
#include "playlist/PlaylistEditing.h"
#include "playlist/PlaylistFileOps.h"
#include "playlist/PlaylistSearch.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1.h"
#include "ui/main/Form1Controls.h"
#include "ui/main/PlaylistView.h"
#include "ui/main/browser/FolderList.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>

using namespace Form1Controls;
using PlaylistSearch::Mode;

void Form1::wireEditing() {
    for (int i = 0; i < 3; ++i) {
        lstName[i]->installEventFilter(this);
        lstName[i]->viewport()->setMouseTracking(true);
    }
    TxtSearch->installEventFilter(this);
    connect(CMdClearAll, &QPushButton::clicked, this, &Form1::CMdClearAll_Click);
    for (int i = 0; i < 4; ++i)
        connect(cmdTabMove[i], &QPushButton::clicked, this, [this, i] { cmdTabMove_Click(i); });
    connect(CmdSearch, &QPushButton::clicked, this, &Form1::CmdSearch_Click);
    connect(cmdSavePlayList[0], &QPushButton::clicked, this, &Form1::saveShownPlaylistAs);
    connect(cmdSavePlayList[1], &QPushButton::clicked, this, &Form1::saveShownPlaylistAs);
    connect(cmdSavePlayList[2], &QPushButton::clicked, this, [this] {
        quickSavePlaylist(c_.playlists.shown(), c_.state.autoSavePath, c_.table.defaultAutoSavePath(),
                          c_.dialogs);
    });
}

PlaylistView* Form1::playlistView(int list) const {
    return static_cast<PlaylistView*>(lstName[list]);
}

int Form1::selectedPosition() const {
    return playlistView(c_.playlists.shownIndex())->selectedPosition();
}

bool Form1::handleListEvent(QObject* watched, QEvent* event) {
    const int shown = c_.playlists.shownIndex();
    if (watched == TxtSearch)
        return handleSearchBoxEvent(event);
    if (watched == lstName[shown]->viewport() && event->type() == QEvent::MouseMove) {
        lstName_MouseMove(static_cast<QMouseEvent*>(event));
        return false;
    }
    if (watched != lstName[shown])
        return false;
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            lstName_KeyPress(13);
            return true;
        }
        if (key->key() == Qt::Key_Space && key->modifiers().testFlag(Qt::ControlModifier))
            lstName_KeyPress(32); // the list still toggles the check box
        return false;
    }
    if (event->type() == QEvent::KeyRelease && !static_cast<QKeyEvent*>(event)->isAutoRepeat())
        lstName_KeyUp(static_cast<QKeyEvent*>(event)->key());
    return false;
}

void Form1::lstName_KeyPress(int character) {
    if (character == 13) {
        // Enter plays the entry picked in this list, whatever the name box showed last (a browser file, an
        // entry of another list); the small play button alone plays what the box shows.
        if (selectedPosition() < 0)
            return;
        lstName_Click(c_.playlists.shownIndex());
        if (txtNameBox->isHidden())
            return; // an entry without a name: nothing to play
        transport_->CMDSmallStop_Click();
        transport_->CmdSmallPlay_Click();
        txtNameBox->hide();
        return;
    }
    if (character == 32) {
        const int s = selectedPosition();
        if (s < 0)
            return;
        c_.fields.selectedIndex = s;
        c_.fields.selectedName = c_.playlists.shown().name(s);
        c_.shell.openFolder(containingFolder(c_.playlists.shown().path(s)));
    }
}

void Form1::lstName_KeyUp(int key) {
    using namespace PlaylistEditing;
    const int s = selectedPosition();
    EntryEdit edit;
    switch (key) {
    case Qt::Key_F12:
        edit = moveSelectedToOther(c_.playlists, c_.state, transport_->playing(), s);
        break;
    case Qt::Key_F11:
        edit = copySelectedToOther(c_.playlists, s);
        break;
    case Qt::Key_Delete:
        edit = deleteSelected(c_.playlists, c_.state, transport_->playing(), s);
        break;
    case Qt::Key_Insert:
        focusSearchBox();
        return;
    default:
        return;
    }
    tellIfFull(edit.full);
    if (edit.selectionUsed)
        c_.fields.selectedIndex = s;
    if (edit.hideNameBox)
        hideNamePanel();
    if (edit.updateCountLabel)
        showCountOfShown();
}

void Form1::focusSearchBox() {
    TxtSearch->setFocus();
    TxtSearch->selectAll();
}

void Form1::lstName_MouseMove(QMouseEvent* event) {
    QPushButton* floating = cmdSavePlayList[0];
    if (!event->buttons().testFlag(Qt::RightButton)) {
        floating->hide();
        return;
    }
    const QPoint at =
        lstName[c_.playlists.shownIndex()]->viewport()->mapTo(PicMediaList, event->position().toPoint());
    floating->move(at.x() - MainLayout::toPixels(100), at.y() + MainLayout::toPixels(30));
    floating->show();
    floating->raise();
}

void Form1::saveShownPlaylistAs() {
    // The pad rests while the dialog is open.
    const bool polling = joystickPolling();
    setJoystickPolling(false);
    const bool wasOnTop = c_.state.onTop;
    cmdNoontop_Click();
    cmdSavePlayList[0]->hide();
    savePlaylistAs(c_.playlists.shown(), dirFolders->path(), c_.dialogs);
    if (wasOnTop)
        CmdONtop_Click();
    setJoystickPolling(polling);
}

void Form1::CMdClearAll_Click() {
    QListView* list = lstName[c_.playlists.shownIndex()];
    list->hide();
    PlaylistEditing::clearShown(c_.playlists);
    list->show();
    showCountOfShown();
}

void Form1::cmdTabMove_Click(int index) {
    const PlaylistEditing::TabMove move = PlaylistEditing::moveWholePlaylist(index, c_.playlists, c_.state);
    tellIfFull(move.full);
    if (!move.done)
        return;
    showCountOfShown();
    c_.playlists.setShown(move.showTab);
    showCountOfShown();
}

void Form1::CmdSearch_Click() {
    const Mode mode = c_.fields.searchSingle ? Mode::Single : Mode::Move;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const PlaylistSearch::Result result = PlaylistSearch::search(
        mode, TxtSearch->text(), c_.playlists, c_.state, transport_->playing(), selectedPosition());
    QApplication::restoreOverrideCursor();
    tellIfFull(result.full);
    if (result.select >= 0)
        playlistView(c_.playlists.shownIndex())->selectPosition(result.select);
    if (result.lastClick) {
        c_.fields.selectedIndex = result.lastClick->index;
        c_.fields.selectedName = result.lastClick->name;
        c_.state.selectedPath = result.lastClick->path;
        showNameBoxFor(result.lastClick->name, result.lastClick->id);
    }
    if (result.updateCountLabel)
        showCountOfShown();
    if ((result.mode == Mode::Single) != c_.fields.searchSingle)
        setSearchMode(result.mode);
    if (result.boxText)
        TxtSearch->setText(*result.boxText);
}

void Form1::tellIfFull(bool full) {
    if (full)
        c_.dialogs.message(PlaylistTexts::kListFull, PlaylistTexts::kProblemTitle);
}

void Form1::setSearchMode(PlaylistSearch::Mode mode) {
    c_.fields.searchSingle = mode == Mode::Single;
    TxtSearch->setText(PlaylistSearch::modeText(mode));
    QPalette p = TxtSearch->palette();
    p.setColor(QPalette::Base, PlaylistSearch::modeColour(mode));
    TxtSearch->setPalette(p);
}

bool Form1::handleSearchBoxEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            CmdSearch_Click();
            return true;
        }
        return false;
    }
    case QEvent::KeyRelease: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down)
            lstName[c_.playlists.shownIndex()]->setFocus();
        return false;
    }
    case QEvent::MouseButtonDblClick:
        setSearchMode(PlaylistSearch::toggled(c_.fields.searchSingle ? Mode::Single : Mode::Move));
        return true;
    default:
        return false;
    }
}

// The main window's file browser, folder presets, adding files and drops.
#include "browser/BrowserPaths.h"
#include "browser/DroppedPaths.h"
#include "browser/FileFunctions.h"
#include "browser/PatternList.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/KeyState.h"
#include "platform/Shell.h"
#include "playlist/AddFiles.h"
#include "playlist/PlaylistFile.h"
#include "playlist/PlaylistFileOps.h"
#include "playlist/Playlists.h"
#include "settings/SettingsTable.h"
#include "ui/main/Form1.h"
#include "ui/main/Form1Controls.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>

using namespace Form1Controls;

namespace {
const QColor kNameBoxBrowser(0xFF, 0xFF, 0x80); // 0x80FFFF: light yellow
}

void Form1::wireBrowser() {
    connect(DrvDriveLetter, &DriveList::driveChanged, this, &Form1::DrvDriveLetter_Change);
    connect(dirFolders, &FolderList::pathChanged, this, &Form1::dirFolders_Change);
    connect(FileBox, &FileList::fileClicked, this, &Form1::FileBox_Click);
    connect(FileBox, &FileList::fileActivated, this, &Form1::FileBox_DblClick);
    for (FolderList* list : {dirFolders})
        connect(list, &FolderList::openInFileManager, this,
                [this](const QString& f) { c_.shell.openFolder(f); });
    connect(FileBox, &FileList::openInFileManager, this,
            [this](const QString&) { c_.shell.openFolder(dirFolders->path()); });
    for (int i = 0; i < 10; ++i)
        connect(CmdPreset[i], &QPushButton::clicked, this, [this, i] { CmdPreset_Click(i); });
    connect(cmdAdd, &QPushButton::clicked, this, &Form1::cmdAdd_Click);
    connect(CmdAddAll, &QPushButton::clicked, this, &Form1::CmdAddAll_Click);
    for (QListView* list : lstName)
        list->viewport()->installEventFilter(this);
    // The browser opens in the home folder, under the usual media patterns,
    // until start-up or a preset moves it.
    FileBox->setPattern(kDefaultPatternList);
    tmpFileList->setPattern(kDefaultPatternList);
    dirFolders->setPath(QDir::homePath());
    dirFolders_Change(dirFolders->path());
}

void Form1::DrvDriveLetter_Change(const QString& root) {
    if (dirFolders->path().startsWith(root) && root != QLatin1String("/"))
        return;
    // A volume that cannot be opened sends the lists back to the home folder.
    if (!dirFolders->setPath(root)) {
        dirFolders->setPath(QDir::homePath());
        DrvDriveLetter->setDrive(QDir::homePath());
    }
}

void Form1::dirFolders_Change(const QString& path) {
    FileBox->setPath(path);
    DrvDriveLetter->blockSignals(true);
    DrvDriveLetter->setDrive(path);
    DrvDriveLetter->blockSignals(false);
}

void Form1::FileBox_Click(int index, const QString& name) {
    c_.fields.selectedIndex = index;
    c_.fields.selectedName = name;
    c_.fields.nameBoxEntry = 0;
    c_.fields.nameBoxFile = browserFilePath(FileBox->path(), name);
    txtNameBox->setText(name);
    QPalette p = txtNameBox->palette();
    p.setColor(QPalette::Base, kNameBoxBrowser);
    txtNameBox->setPalette(p);
    hideSmallButtons();
    txtNameBox->show();
}

void Form1::FileBox_DblClick(int index, const QString& name) {
    c_.fields.selectedIndex = index;
    c_.fields.selectedName = name;
    const AddOutcome outcome =
        addBrowserFile(c_.playlists.shown(), dirFolders->path(), name, [this](const QString& path) {
            LoadPlaylistFile(c_.playlists.shown(), path, c_.dialogs);
        });
    tellIfFull(outcome.full);
    if (outcome.playlistsLoaded > 0)
        hideNamePanel();
    showCountOfShown();
}

void Form1::cmdAdd_Click() {
    if (c_.keys.ctrlHeld()) {
        const PatternList patterns(FileBox->pattern());
        const AddOutcome outcome =
            addFolderAndSubfolders(c_.playlists.shown(), dirFolders->path(), FileBox->entries(), patterns);
        tellIfFull(outcome.full);
        if (!outcome.lastName.isEmpty())
            c_.fields.selectedName = outcome.lastName;
        dirFolders->setFocus();
        showCountOfShown();
        return;
    }
    const int index = FileBox->selectedIndex();
    if (index < 0)
        return;
    FileBox_DblClick(index, FileBox->entry(index));
}

void Form1::CmdAddAll_Click() {
    const AddOutcome outcome = addAllFiles(c_.playlists.shown(), dirFolders->path(), FileBox->entries());
    tellIfFull(outcome.full);
    if (!outcome.lastName.isEmpty())
        c_.fields.selectedName = outcome.lastName;
    dirFolders->setFocus();
    showCountOfShown();
}

void Form1::CmdPreset_Click(int index) {
    // Each step that fails ends the recall silently; the lists keep what the
    // steps before it set.
    if (!dirFolders->setPath(QDir::homePath()))
        return;
    const QString folder = c_.state.presetFolders.at(index);
    if (folder.isEmpty())
        return;
    if (folder.front() != QLatin1Char('\\') && folder.front() != QLatin1Char('/') &&
        !DrvDriveLetter->setDrive(folder))
        return;
    if (!dirFolders->setPath(folder))
        return;
    dirFolders->setFocus();
}

void Form1::UpdateRoomLeftBar() {
    // No device folder (unplugged, or the path names a file) says nothing about the device: the bar is left
    // empty rather than reading the 0 free bytes of a missing path as a full device.
    lineRoom->setVisible(QFileInfo(c_.state.devicePath).isDir());
    const double height = heightOf(picRoomLeftBar);
    const double top =
        std::clamp(freeSpaceBarTop(height, GetFreeSpaceOnDisk(c_.state.devicePath)), 0.0, height);
    place(lineRoom, 0, top, widthOf(picRoomLeftBar), height - top);
}

void Form1::lstName_OLEDragDrop(const QStringList& paths) {
    tellIfFull(
        addDroppedFiles(c_.playlists.shown(), paths, c_.state.patternList, [this](const QString& path) {
            LoadPlaylistFile(c_.playlists.shown(), path, c_.dialogs);
        }).full);
    showCountOfShown();
}

bool Form1::handleDrop(QObject* watched, QEvent* event) {
    const bool onList = std::any_of(lstName.begin(), lstName.end(),
                                    [watched](QListView* list) { return list->viewport() == watched; });
    if (!onList)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (!drag->mimeData()->hasUrls())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        lstName_OLEDragDrop(droppedLocalPaths(drop->mimeData()->urls()));
        drop->acceptProposedAction();
        return true;
    }
    default:
        return false;
    }
}

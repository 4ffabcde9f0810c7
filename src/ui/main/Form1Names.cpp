// What assistive technology (a screen reader) calls the main window's controls.
#include "ui/main/Form1.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

void Form1::nameControls() {
    struct Name {
        QWidget* control;
        QString name;        // empty: the control's caption is its name
        QString description; // the key that does the same, or what a live text shows
    };
    // The live texts (title, clock, count) keep their text as their name, so
    // that each change is announced.
    const Name names[] = {
        {PicTopBox, tr("Title"), {}},
        {PicBottomBar, tr("Command bar"), {}},
        {PicFileStuff, tr("File browser"), {}},
        {PicMediaList, tr("Playlists"), {}},
        {PicButtons, tr("Player buttons"), {}},
        {lblName, {}, tr("Title of the playing track; Space starts or stops the colour show")},
        {cmdShowScreen, tr("Show or hide the video window"), tr("F10")},
        {cmdSizeFix, tr("Shrink the window to a strip, or restore it"), {}},
        {Pictimer, tr("Position in the track"),
         tr("Left and Right arrows jump 5 seconds, Page Up and Page Down 30; a right-click jumps to that "
            "place")},
        {txtNameBox, tr("Selected entry"), {}},
        {CmdSmallPlay, tr("Play the selected entry"), tr("Enter in the playlist")},
        {CMDSmallStop, tr("Stop the playing track"), {}},
        {CMDFileinfo, tr("Information about the selected entry"), {}},
        {cmdCommandExpand, tr("Open or close the command bar"), {}},
        {cmdTabMove[0], tr("Move all of playlist A to the end of B"), {}},
        {cmdTabMove[1], tr("Move all of playlist B to the end of A"), {}},
        {cmdTabMove[2], tr("Copy all of playlist A to the end of B"), {}},
        {cmdTabMove[3], tr("Copy all of playlist B to the end of A"), {}},
        {CMDButtonArray[0], tr("Play"), tr("Alt+P")},
        {CMDButtonArray[1], tr("Stop"), tr("Alt+T")},
        {CMDButtonArray[2], tr("Back"), tr("Alt+B")},
        {CMDButtonArray[3], tr("Pause"), tr("Alt+W")},
        {CMDButtonArray[4], tr("Skip"), tr("Alt+K")},
        {hsVolume, tr("Volume"), {}},
        {cmdSavePlayList[0], tr("Save this playlist as"), {}},
        {cmdSavePlayList[1], tr("Save this playlist as"), {}},
        {cmdSavePlayList[2], tr("Quick save this playlist to the auto-save file"), {}},
        {DrvDriveLetter, tr("Drive"), {}},
        {dirFolders, tr("Folders"), {}},
        {FileBox, tr("Files in the folder"), tr("F5 refreshes")},
        {ssTab, tr("Playlists"), tr("F9 switches between A and B")},
        {lstName[0], tr("Playlist A"), {}},
        {lstName[1], tr("Playlist B"), {}},
        {lstName[2], tr("Device list"), {}},
        {filePlayer, tr("Files on the device"), {}},
        {CmdSearch, {}, tr("F3")},
        {TxtSearch, tr("Search playlist"), tr("F3, or Insert in the playlist")},
        {lblRorL, {}, tr("E elapsed or R remaining time, F4 switches")},
        {LblTime, {}, tr("Time of the playing track, F4 switches elapsed and remaining")},
        {CmdPLAY, {}, tr("Alt+P")},
        {CmdSTOP, {}, tr("Alt+T")},
        {CmdPause, tr("Pause"), tr("Alt+W")},
        {cmdSkip, {}, tr("Alt+K")},
        {CmdPreSkip, {}, tr("Alt+B")},
        {chkRandom, {}, tr("Alt+R")},
        {cmdAdd, tr("Add the selected file"), tr("Alt+D; with Ctrl held, the folder and its subfolders")},
        {CmdAddAll, tr("Add all files of the folder"), tr("Alt+L")},
        {CMdClearAll, {}, tr("Alt+C")},
        {LblQueueNum, {}, tr("Entries in the shown playlist")},
        {cmdExit, {}, tr("Alt+X; Alt+Shift+X leaves the auto-save file alone")},
        {CmdONtop, tr("Keep the window on top"), {}},
        {cmdNoontop, tr("Let other windows cover this one"), {}},
    };
    // The volume bar takes the focus too, for the arrow keys. The time bar
    // (arrow keys) and the title (the colour show) are reached by Tab only, so
    // that a click on them leaves the focus where it was, in the playlist.
    hsVolume->setFocusPolicy(Qt::StrongFocus);
    Pictimer->setFocusPolicy(Qt::TabFocus);
    lblName->setFocusPolicy(Qt::TabFocus);
    for (const Name& n : names) {
        if (!n.name.isEmpty())
            n.control->setAccessibleName(n.name);
        n.control->setAccessibleDescription(n.description);
    }
    const QString playlistKeys = tr("Enter plays, Delete removes, F11 copies and F12 moves to the other "
                                    "playlist, Insert searches");
    for (QListView* list : lstName)
        list->setAccessibleDescription(playlistKeys);
    for (int i = 0; i < 10; ++i)
        CmdPreset[i]->setAccessibleDescription(tr("Folder preset %1").arg(i + 1));
    // The never-shown helper lists: a window of its own is not among its
    // parent's accessible children, and a window never shown is in no tree.
    for (QWidget* helper : {static_cast<QWidget*>(lstFull[0]), static_cast<QWidget*>(lstFull[1]),
                            static_cast<QWidget*>(lstFull[2]), static_cast<QWidget*>(tmpFileList)}) {
        helper->setWindowFlag(Qt::Window);
        helper->setAttribute(Qt::WA_WindowPropagation); // colours and font still from the panel
    }
}

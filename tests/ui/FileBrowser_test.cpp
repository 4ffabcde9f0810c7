#include "support/TempDir.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// The folder list drives the file list, as in the main window.
struct Browser {
    FolderList folders;
    FileList files;
    Browser() {
        files.setPattern("*.mp3;*.wav");
        QObject::connect(&folders, &FolderList::pathChanged, &files, &FileList::setPath);
    }
};

} // namespace

TEST(FileBrowser, FolderChangesCarryIntoTheFileList) {
    TempDir dir;
    dir.write("Music/b.mp3");
    dir.write("Music/A.WAV");
    dir.write("Music/cover.jpg");
    dir.write("Music/Rock/r.mp3");
    dir.mkdir("Music/Jazz");
    Browser browser;
    QSignalSpy changes(&browser.folders, &FolderList::pathChanged);

    ASSERT_TRUE(browser.folders.setPath(dir.file("Music")));
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(browser.files.entries(), QStringList({"A.WAV", "b.mp3"}));
    EXPECT_EQ(browser.files.selectedIndex(), -1);

    // Index rule: current folder -1, its parent -2, subfolders from 0.
    EXPECT_EQ(browser.folders.highlightedIndex(), -1);
    EXPECT_EQ(browser.folders.entryPath(-1), dir.file("Music"));
    EXPECT_EQ(browser.folders.entryPath(-2), dir.path());
    EXPECT_EQ(browser.folders.entryPath(-browser.folders.parentCount() - 1), "/");
    EXPECT_EQ(browser.folders.entryPath(0), dir.file("Music/Jazz"));
    EXPECT_EQ(browser.folders.entryPath(1), dir.file("Music/Rock"));
    EXPECT_EQ(browser.folders.entryPath(2), "");

    browser.folders.setHighlightedIndex(1);
    QTest::keyClick(&browser.folders, Qt::Key_Return);
    EXPECT_EQ(browser.folders.path(), dir.file("Music/Rock"));
    EXPECT_EQ(browser.files.entries(), QStringList{"r.mp3"});

    // A missing folder changes nothing.
    EXPECT_FALSE(browser.folders.setPath(dir.file("Music/Gone")));
    EXPECT_FALSE(browser.folders.setPath(dir.file("Music/b.mp3")));
    EXPECT_EQ(browser.folders.path(), dir.file("Music/Rock"));
}

TEST(FileBrowser, BackspaceGoesUpButNotPastTheRoot) {
    TempDir dir;
    dir.mkdir("Music/Rock");
    Browser browser;
    browser.folders.setPath(dir.file("Music/Rock"));

    QTest::keyClick(&browser.folders, Qt::Key_Backspace);
    EXPECT_EQ(browser.folders.path(), dir.file("Music"));
    EXPECT_EQ(browser.files.path(), dir.file("Music"));

    browser.folders.setPath("/");
    QSignalSpy changes(&browser.folders, &FolderList::pathChanged);
    QTest::keyClick(&browser.folders, Qt::Key_Backspace);
    EXPECT_EQ(browser.folders.path(), "/");
    EXPECT_EQ(changes.count(), 0);
}

TEST(FileBrowser, EnterOnTheCurrentFolderKeepsThePath) {
    TempDir dir;
    dir.write("Music/a.mp3");
    dir.mkdir("Music/Rock");
    Browser browser;
    browser.folders.setPath(dir.file("Music"));
    QSignalSpy changes(&browser.folders, &FolderList::pathChanged);

    QTest::keyClick(&browser.folders, Qt::Key_Enter);
    EXPECT_EQ(browser.folders.path(), dir.file("Music"));
    EXPECT_EQ(changes.count(), 0);

    // Enter on a parent entry goes there.
    browser.folders.setHighlightedIndex(-2);
    QTest::keyClick(&browser.folders, Qt::Key_Return);
    EXPECT_EQ(browser.folders.path(), dir.path());
}

TEST(FileBrowser, FileListKeysAndSelection) {
    TempDir dir;
    dir.write("a.mp3");
    dir.write("b.mp3");
    Browser browser;
    browser.folders.setPath(dir.path());
    FileList& files = browser.files;
    QSignalSpy clicked(&files, &FileList::fileClicked);
    QSignalSpy activated(&files, &FileList::fileActivated);
    QSignalSpy shell(&files, &FileList::openInFileManager);
    QSignalSpy folderShell(&browser.folders, &FolderList::openInFileManager);

    QTest::keyClick(&files, Qt::Key_Return); // nothing selected: nothing to add
    EXPECT_EQ(activated.count(), 0);

    files.setSelectedIndex(1);
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(1).toString(), "b.mp3");
    QTest::keyClick(&files, Qt::Key_Return);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toInt(), 1);

    dir.write("c.mp3");
    EXPECT_EQ(files.count(), 2);
    QTest::keyClick(&files, Qt::Key_Plus);
    EXPECT_EQ(files.count(), 3);

    QTest::keyClick(&files, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(&browser.folders, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(shell.count(), 1);
    EXPECT_EQ(folderShell.count(), 1);
    EXPECT_EQ(folderShell.at(0).at(0).toString(), dir.path());
}

TEST(FileBrowser, DriveListHoldsTheHomeVolume) {
    DriveList drives;
    ASSERT_GT(drives.count(), 0);
    EXPECT_TRUE(drives.setDrive(QDir::homePath()));
    EXPECT_TRUE(QDir::homePath().startsWith(drives.drive()));
    const QString before = drives.drive();
    EXPECT_FALSE(drives.setDrive("/no/such/place"));
    EXPECT_EQ(drives.drive(), before);
}

TEST(FileBrowser, MouseClicksSelectAndDoubleClicksOpen) {
    TempDir dir;
    dir.write("Music/Rock/a.mp3");
    dir.write("Music/Rock/b.mp3");
    Browser browser;
    browser.folders.setPath(dir.file("Music"));
    browser.folders.resize(200, 300);
    browser.files.resize(200, 300);
    browser.folders.show();
    browser.files.show();

    const int rockRow = browser.folders.parentCount() + 1; // subfolder 0
    const QPoint rock = browser.folders.visualRect(browser.folders.model()->index(rockRow, 0)).center();
    // A real double-click starts with a press; QTest sends only the second half.
    QTest::mouseClick(browser.folders.viewport(), Qt::LeftButton, {}, rock);
    QTest::mouseDClick(browser.folders.viewport(), Qt::LeftButton, {}, rock);
    ASSERT_EQ(browser.folders.path(), dir.file("Music/Rock"));
    ASSERT_EQ(browser.files.count(), 2);

    QSignalSpy clicked(&browser.files, &FileList::fileClicked);
    QSignalSpy activated(&browser.files, &FileList::fileActivated);
    const QPoint second = browser.files.visualRect(browser.files.model()->index(1, 0)).center();
    QTest::mouseClick(browser.files.viewport(), Qt::LeftButton, {}, second);
    QTest::mouseClick(browser.files.viewport(), Qt::LeftButton, {}, second);
    ASSERT_EQ(clicked.count(), 2); // a click on the selected file counts again
    EXPECT_EQ(clicked.at(1).at(1).toString(), "b.mp3");
    EXPECT_EQ(browser.files.selectedIndex(), 1);
    QTest::mouseDClick(browser.files.viewport(), Qt::LeftButton, {}, second);
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(1).toString(), "b.mp3");
}

TEST(FileBrowser, DriveListReadsTheVolumesAgainWhenItOpens) {
    TempDir stick;
    QStringList mounted{"/"};
    DriveList drives(nullptr, [&] { return mounted; });
    drives.setDrive("/");
    QSignalSpy changes(&drives, &DriveList::driveChanged);
    EXPECT_FALSE(drives.drives().contains(stick.path()));

    mounted << stick.path(); // plugged in after the start
    drives.showPopup();
    EXPECT_TRUE(drives.drives().contains(stick.path()));
    EXPECT_EQ(drives.drive(), "/");
    EXPECT_EQ(changes.count(), 0);
    drives.hidePopup();
}

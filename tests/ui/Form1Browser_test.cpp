#include "support/EntryNames.h"
#include "support/WaitUntil.h"
#include "ui/Form1Fixture.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QUrl>

namespace {

class Form1BrowserTest : public Form1Test {
protected:
    QString music;
    void SetUp() override {
        music = dir.mkdir("Music");
        for (const char* name : {"b.mp3", "a.wav", "notes.txt", "list.KVPL"})
            dir.write(QStringLiteral("Music/") + name, "x");
        dir.write("Music/S1/s1.mp3", "x");
        dir.write("Music/S2/s2.mp3", "x");
        dir.write("Music/S1/Deep/deep.mp3", "x");
    }
};

TEST_F(Form1BrowserTest, FolderDrivesTheFileListUnderThePatterns) {
    open();
    ASSERT_TRUE(form->dirFolders->setPath(music));
    EXPECT_EQ(form->FileBox->path(), music);
    EXPECT_EQ(form->FileBox->entries(), (QStringList{"a.wav", "b.mp3", "list.KVPL"}));
    form->dirFolders->goUp();
    EXPECT_EQ(form->dirFolders->path(), dir.path());
    EXPECT_EQ(form->FileBox->path(), dir.path());
}

TEST_F(Form1BrowserTest, FileListShowsTheFirstFolderAtOnce) {
    open();
    EXPECT_FALSE(form->dirFolders->path().isEmpty());
    EXPECT_EQ(form->FileBox->path(), form->dirFolders->path());
}

TEST_F(Form1BrowserTest, HiddenSwitchListsEveryFile) {
    open(QStringLiteral("/qxvtr"));
    form->dirFolders->setPath(music);
    EXPECT_TRUE(form->FileBox->entries().contains("notes.txt"));
    EXPECT_EQ(state.patternList, kDefaultPatternList);
}

TEST_F(Form1BrowserTest, PresetRecallOpensItsFolderOrStopsSilently) {
    store.write("Presets", "Preset 0", music);
    store.write("Presets", "Preset 1", dir.file("gone"));
    open();
    form->CmdPreset[0]->click();
    EXPECT_EQ(form->dirFolders->path(), music);
    form->CmdPreset[1]->click();
    // The first step already went to the home folder; the missing folder stops the recall there.
    EXPECT_EQ(form->dirFolders->path(), QDir::homePath());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Form1BrowserTest, AddAddAllAndTheFolderAdd) {
    open();
    form->dirFolders->setPath(music);
    form->cmdAdd->click(); // nothing selected: nothing added
    EXPECT_TRUE(playlists.at(0).isEmpty());

    form->FileBox->setSelectedIndex(1);
    EXPECT_EQ(form->txtNameBox->text(), "b.mp3");
    EXPECT_FALSE(form->CmdSmallPlay->isVisibleTo(form.get()));
    form->cmdAdd->click();
    EXPECT_EQ(names(0), QStringList{"b.mp3"});
    EXPECT_EQ(playlists.at(0).path(0), music + "/b.mp3");

    form->CmdAddAll->click(); // the playlist file is skipped
    EXPECT_EQ(names(0), (QStringList{"b.mp3", "a.wav", "b.mp3"}));
    EXPECT_EQ(form->LblQueueNum->text(), "3");

    playlists.at(0).clear();
    keys.ctrl = true;
    form->cmdAdd->click();
    EXPECT_EQ(names(0), (QStringList{"a.wav", "b.mp3", "s1.mp3", "s2.mp3"}));
}

TEST_F(Form1BrowserTest, DroppedFilesAreAddedOrLoaded) {
    const QString media = dir.write("drop/c.mp3", "x");
    const QString list = dir.write("drop/more.kvpl", "c.mp3*" + media.toUtf8() + "\r\n!@#$%\r\n");
    const QString text = dir.write("drop/readme.txt", "x");
    open();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(media), QUrl::fromLocalFile(list), QUrl::fromLocalFile(text)});
    QWidget* target = form->lstName[0]->viewport();
    const QPoint at(10, 10);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(names(0), (QStringList{"c.mp3", "c.mp3"}));
    EXPECT_EQ(form->LblQueueNum->text(), "2");
}

TEST_F(Form1BrowserTest, StartFolderFollowsTheAutoSaveFile) {
    store.write("Presets", "SOEStartPath", "1");
    store.write("Presets", "Auto Save Path", music + "/TempSave.KVPL");
    open();
    EXPECT_EQ(form->dirFolders->path(), music);
    EXPECT_EQ(form->FileBox->path(), music);
}

TEST_F(Form1BrowserTest, FoldersOpenInTheFileManager) {
    open();
    form->dirFolders->setPath(music);
    QTest::keyClick(form->FileBox, Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(form->dirFolders, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(shell.opened, (QStringList{music, music}));
}

} // namespace

TEST_F(Form1BrowserTest, M3uPlaylistsAreListedAndLoadedLikeKvplFiles) {
    dir.write("Mixes/song.mp3", "x");
    dir.write("Mixes/evening.m3u", "#EXTINF:9,Evening Song\r\nsong.mp3\r\n");
    const QString night = dir.write("Mixes/night.M3U8", "#EXTM3U\n#EXTINF:4,Night Song\nsong.mp3\n");
    open();
    form->dirFolders->setPath(dir.file("Mixes"));
    EXPECT_EQ(form->FileBox->entries(), (QStringList{"evening.m3u", "night.M3U8", "song.mp3"}));
    form->FileBox->setSelectedIndex(0);
    form->cmdAdd->click(); // loads it
    EXPECT_EQ(names(0), QStringList{"Evening Song"});
    form->CmdAddAll->click(); // skips both playlists
    EXPECT_EQ(names(0), (QStringList{"Evening Song", "song.mp3"}));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(night)});
    QWidget* target = form->lstName[0]->viewport();
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    EXPECT_EQ(names(0), (QStringList{"Evening Song", "song.mp3", "Night Song"}));
    EXPECT_EQ(form->LblQueueNum->text(), "3");
    EXPECT_TRUE(dialogs.messages.empty());
}

#include "playback/Transport.h"
#include "support/EntryNames.h"
#include "support/WaitUntil.h"
#include "ui/Form1Fixture.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

class Form1EditingTest : public Form1Test {
protected:
    // A real click on the entry, as only the user's pick selects one.
    void select(int list, int row) {
        QListView* view = form->lstName[list];
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(playlists.at(list).index(row)).center());
        view->setFocus();
    }
    void key(int list, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(form->lstName[list], k, modifiers);
    }
    QColor base(QWidget* w) const { return w->palette().color(QPalette::Base); }
};

TEST_F(Form1EditingTest, ListKeysCopyMoveDeleteAndJumpToTheSearchBox) {
    fill(0, {"one", "two", "three"});
    open();
    QApplication::setActiveWindow(form.get());
    key(0, Qt::Key_F11); // nothing selected: nothing happens
    key(0, Qt::Key_Delete);
    EXPECT_EQ(playlists.at(0).count(), 3);
    EXPECT_TRUE(playlists.at(1).isEmpty());

    select(0, 1);
    EXPECT_EQ(form->txtNameBox->text(), "two");
    EXPECT_EQ(base(form->txtNameBox), QColor(0x80, 0xFF, 0xFF));
    key(0, Qt::Key_F11);
    EXPECT_EQ(names(1), QStringList{"two"});
    key(0, Qt::Key_F12);
    EXPECT_EQ(names(0), (QStringList{"one", "three"}));
    EXPECT_EQ(names(1), (QStringList{"two", "two"}));
    EXPECT_EQ(form->LblQueueNum->text(), "3"); // F11 and F12 leave the count alone

    select(0, 0);
    key(0, Qt::Key_Delete);
    EXPECT_EQ(names(0), QStringList{"three"});
    EXPECT_EQ(form->LblQueueNum->text(), "1");

    key(0, Qt::Key_Insert);
    EXPECT_TRUE(form->TxtSearch->hasFocus());
}

TEST_F(Form1EditingTest, EnterPlaysTheEntryAndCtrlSpaceOpensItsFolder) {
    fill(0, {"one", "two"});
    open();
    QApplication::setActiveWindow(form.get());
    select(0, 1);
    key(0, Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(shell.opened, QStringList{"/music"});
    key(0, Qt::Key_Return);
    EXPECT_TRUE(form->transport().playing());
    EXPECT_EQ(host.fake.media, "/music/two");
    EXPECT_EQ(form->windowTitle(), "two");
    EXPECT_FALSE(form->txtNameBox->isVisible());
}

TEST_F(Form1EditingTest, ClearAllEmptiesAThousandEntries) {
    QStringList many;
    for (int i = 0; i < 1000; ++i)
        many << QString::number(i);
    fill(0, many);
    open();
    form->CMdClearAll->click();
    EXPECT_TRUE(playlists.at(0).isEmpty());
    EXPECT_EQ(form->LblQueueNum->text(), "0");
    EXPECT_TRUE(form->lstName[0]->isVisible());
}

TEST_F(Form1EditingTest, WholePlaylistButtonsSwitchToTheTarget) {
    fill(0, {"a1", "a2"});
    fill(1, {"b1"});
    open();
    form->cmdTabMove[2]->click(); // Copy A->B
    EXPECT_EQ(names(1), (QStringList{"b1", "a1", "a2"}));
    EXPECT_EQ(form->ssTab->currentIndex(), 1);
    EXPECT_EQ(form->LblQueueNum->text(), "3");
    EXPECT_EQ(form->cmdSizeFix->text(), "B");
    form->cmdTabMove[1]->click(); // Move B->A
    EXPECT_TRUE(playlists.at(1).isEmpty());
    EXPECT_EQ(names(0), (QStringList{"a1", "a2", "b1", "a1", "a2"}));
    EXPECT_EQ(form->ssTab->currentIndex(), 0);
    form->cmdTabMove[1]->click(); // B is empty: nothing, not even a tab change
    EXPECT_EQ(form->ssTab->currentIndex(), 0);
}

TEST_F(Form1EditingTest, SearchBoxModesAndResults) {
    fill(0, {"Alpha", "beta", "ALPHABET"});
    open();
    EXPECT_EQ(base(form->TxtSearch), QColor(0xC0, 0xFF, 0xC0));
    form->TxtSearch->setText("alp");
    QTest::keyClick(form->TxtSearch, Qt::Key_Return);
    EXPECT_EQ(form->lstName[0]->currentIndex().row(), 0);
    EXPECT_EQ(form->txtNameBox->text(), "Alpha");
    form->CmdSearch->click();
    EXPECT_EQ(form->lstName[0]->currentIndex().row(), 2);

    form->TxtSearch->setText("zzz");
    form->CmdSearch->click();
    EXPECT_EQ(form->TxtSearch->text(), "No Find!");

    QTest::mouseDClick(form->TxtSearch, Qt::LeftButton);
    EXPECT_EQ(form->TxtSearch->text(), "Move");
    EXPECT_EQ(base(form->TxtSearch), QColor(0xFF, 0xC0, 0xC0));
    form->TxtSearch->setText("alp");
    form->CmdSearch->click();
    EXPECT_EQ(names(0), QStringList{"beta"});
    EXPECT_EQ(names(1),
              (QStringList{"Alpha", "ALPHABET"})); // scanned from after the selected entry, wrapping
    EXPECT_EQ(form->TxtSearch->text(), "Single");
    EXPECT_EQ(base(form->TxtSearch), QColor(0xC0, 0xFF, 0xC0));
}

TEST_F(Form1EditingTest, BrowserFileColoursTheNameBoxYellow) {
    const QString folder = dir.mkdir("m");
    dir.write("m/x.mp3", "x");
    open();
    form->dirFolders->setPath(folder);
    form->FileBox->setSelectedIndex(0);
    EXPECT_EQ(base(form->txtNameBox), QColor(0xFF, 0xFF, 0x80));
    EXPECT_TRUE(form->txtNameBox->isVisible());
    EXPECT_FALSE(form->CMDSmallStop->isVisible());
    QTest::mouseClick(form->txtNameBox, Qt::LeftButton);
    EXPECT_FALSE(form->txtNameBox->isVisible());
}

TEST_F(Form1EditingTest, FloatingSaveButtonSavesTheShownPlaylist) {
    fill(0, {"one"});
    open();
    const QString target = dir.file("saved");
    dialogs.fileAnswers.push_back(target);
    form->cmdSavePlayList[1]->click();
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Kivo Player Playlist");
    EXPECT_EQ(readAll(target + ".KVPL"), QByteArray("one*/music/one\r\n!@#$%\r\n"));
}

} // namespace

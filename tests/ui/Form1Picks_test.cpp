// The entry a key, a button or the end of a track acts on is the one the
// user picked: a list selects nothing until the user clicks an entry or moves
// to one with the keys, and the name box shows only what the user picked.
#include "support/EntryNames.h"
#include "ui/Form1Fixture.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

class Form1PicksTest : public Form1Test {
protected:
    void openActive() {
        open();
        QApplication::setActiveWindow(form.get());
    }
    QPoint entryCentre(QListView* list, int row) const {
        return list->visualRect(list->model()->index(row, 0)).center();
    }
    // A real click on an entry; the list takes the focus as it would.
    void clickEntry(int list, int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QListView* view = form->lstName[list];
        QTest::mouseClick(view->viewport(), Qt::LeftButton, modifiers, entryCentre(view, row));
        view->setFocus();
    }
    // A key sent where the keyboard focus really is.
    void press(Qt::Key key) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key);
    }
    // A double-click as the window system delivers it: a click, then a
    // press that comes with the double-click.
    void doubleClickEntry(int list, int row, Qt::KeyboardModifiers modifiers) {
        QWidget* viewport = form->lstName[list]->viewport();
        const QPoint at = entryCentre(form->lstName[list], row);
        QTest::mouseClick(viewport, Qt::LeftButton, modifiers, at);
        QTest::mousePress(viewport, Qt::LeftButton, modifiers, at);
        QTest::mouseDClick(viewport, Qt::LeftButton, modifiers, at);
        QTest::mouseRelease(viewport, Qt::LeftButton, modifiers, at);
    }
    int selected(int list) const {
        const QModelIndex current = form->lstName[list]->currentIndex();
        return current.isValid() ? current.row() : -1;
    }
};

TEST_F(Form1PicksTest, DownFromTheSearchBoxSelectsNothingUntilTheKeysMove) {
    fill(0, {"e0", "e1", "e2"});
    openActive();
    form->TxtSearch->setFocus();
    press(Qt::Key_Down);
    ASSERT_TRUE(form->lstName[0]->hasFocus());
    EXPECT_EQ(selected(0), -1);
    EXPECT_FALSE(form->txtNameBox->isVisible());
    press(Qt::Key_Delete);
    press(Qt::Key_F12);
    EXPECT_EQ(names(0), (QStringList{"e0", "e1", "e2"}));
    EXPECT_TRUE(playlists.at(1).isEmpty());

    press(Qt::Key_Down); // the first move lands on the first entry
    EXPECT_EQ(selected(0), 0);
    EXPECT_TRUE(form->txtNameBox->isVisible());
    EXPECT_EQ(form->txtNameBox->text(), "e0");
    press(Qt::Key_Down);
    EXPECT_EQ(form->txtNameBox->text(), "e1");
    press(Qt::Key_Delete);
    EXPECT_EQ(names(0), (QStringList{"e0", "e2"}));
}

TEST_F(Form1PicksTest, DeleteAndF12LeaveNothingSelected) {
    fill(0, {"e0", "e1", "e2", "e3"});
    openActive();
    clickEntry(0, 1);
    EXPECT_EQ(form->txtNameBox->text(), "e1");
    press(Qt::Key_Delete);
    EXPECT_EQ(names(0), (QStringList{"e0", "e2", "e3"}));
    EXPECT_EQ(selected(0), -1);
    EXPECT_EQ(form->txtNameBox->text(), "e1"); // not refilled with the entry that moved up
    press(Qt::Key_Delete);
    EXPECT_EQ(names(0), (QStringList{"e0", "e2", "e3"}));

    clickEntry(0, 0);
    press(Qt::Key_F12);
    EXPECT_EQ(names(0), (QStringList{"e2", "e3"}));
    EXPECT_EQ(names(1), QStringList{"e0"});
    EXPECT_EQ(selected(0), -1);
    press(Qt::Key_F12);
    press(Qt::Key_F11);
    EXPECT_EQ(names(0), (QStringList{"e2", "e3"}));
    EXPECT_EQ(names(1), QStringList{"e0"});
}

TEST_F(Form1PicksTest, CtrlDoubleClickDeletesOnlyTheEntryClicked) {
    fill(0, {"e0", "e1", "e2"});
    openActive();
    keys.ctrl = true;
    doubleClickEntry(0, 1, Qt::ControlModifier);
    EXPECT_EQ(names(0), (QStringList{"e0", "e2"}));
    EXPECT_EQ(selected(0), -1);
    EXPECT_EQ(form->txtNameBox->text(), "e1");
    form->lstName[0]->setFocus();
    press(Qt::Key_Delete);
    EXPECT_EQ(names(0), (QStringList{"e0", "e2"}));
}

TEST_F(Form1PicksTest, ATabSwitchPicksNothingOnTheNewTab) {
    fill(0, {"a0"});
    fill(1, {"b0", "b1"});
    openActive();
    form->lstName[0]->setFocus();
    form->ssTab->setCurrentIndex(1);
    form->lstName[1]->setFocus();
    ASSERT_TRUE(form->lstName[1]->hasFocus());
    EXPECT_EQ(selected(1), -1);
    EXPECT_FALSE(form->txtNameBox->isVisible());
    EXPECT_EQ(fields.selectedIndex, -1);
    press(Qt::Key_Delete);
    EXPECT_EQ(names(1), (QStringList{"b0", "b1"}));
}

TEST_F(Form1PicksTest, TheQueueMovingOnToBLeavesTheTimeBarUncovered) {
    fill(0, {"a0"});
    fill(1, {"b0", "b1"});
    openActive();
    clickEntry(0, 0);
    form->CmdPLAY->click();
    EXPECT_FALSE(form->txtNameBox->isVisible());
    host.fake.reportDuration(100);
    host.fake.finish(); // a0 ends: A is empty, the queue goes on in B
    EXPECT_EQ(form->ssTab->currentIndex(), 1);
    EXPECT_EQ(host.fake.media, "/music/b0");
    EXPECT_FALSE(form->txtNameBox->isVisible());

    // A right click where the user sees the middle of the time bar seeks.
    const QPoint middle = form->Pictimer->mapTo(form.get(), form->Pictimer->rect().center());
    QWidget* under = form->childAt(middle);
    ASSERT_NE(under, nullptr);
    host.fake.takeLog();
    QTest::mouseClick(under, Qt::RightButton, {}, under->mapFrom(form.get(), middle));
    EXPECT_TRUE(host.fake.log.contains("play")) << host.fake.log.join(' ').toStdString();
}

TEST_F(Form1PicksTest, ClearAllIsOffOnThePlayingTabWhicheverWayPlayGotThere) {
    fill(1, {"b0", "b1"});
    openActive();
    form->CmdPLAY->click(); // A is empty: Play moves to B
    EXPECT_EQ(form->ssTab->currentIndex(), 1);
    EXPECT_EQ(state.playingPlaylist, 1);
    EXPECT_FALSE(form->CMdClearAll->isEnabled());
    form->ssTab->setCurrentIndex(0);
    EXPECT_TRUE(form->CMdClearAll->isEnabled());
    form->ssTab->setCurrentIndex(1);
    EXPECT_FALSE(form->CMdClearAll->isEnabled());

    // A track end that empties A.
    form->CmdSTOP->click();
    fill(0, {"a0"});
    form->ssTab->setCurrentIndex(0);
    form->CmdPLAY->click();
    host.fake.finish();
    EXPECT_EQ(form->ssTab->currentIndex(), 1);
    EXPECT_EQ(host.fake.media, "/music/b0");
    EXPECT_FALSE(form->CMdClearAll->isEnabled());
}

TEST_F(Form1PicksTest, EnterPlaysTheBrowserFileTheNameBoxShowsAndTakesNoEntry) {
    const QString folder = dir.mkdir("m");
    const QString song = dir.write("m/A song.wav", "x");
    fill(0, {"t0", "t1", "t2", "t3", "t4", "t5", "t6"});
    openActive();
    form->dirFolders->setPath(folder);
    clickEntry(0, 5);
    EXPECT_EQ(form->txtNameBox->text(), "t5");
    QTest::mouseClick(form->FileBox->viewport(), Qt::LeftButton, {}, entryCentre(form->FileBox, 0));
    EXPECT_EQ(form->txtNameBox->text(), "A song.wav");

    form->lstName[0]->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(host.fake.media, song);
    EXPECT_EQ(form->windowTitle(), "A song.wav");
    host.fake.finish(); // no entry played, so none leaves
    EXPECT_EQ(playlists.at(0).count(), 7);
    EXPECT_EQ(host.fake.media, "/music/t0");
    host.fake.finish();
    EXPECT_EQ(names(0), (QStringList{"t1", "t2", "t3", "t4", "t5", "t6"}));
}

TEST_F(Form1PicksTest, SmallPlayAfterAMoveSearchPlaysTheMovedEntryWhereItIs) {
    fill(0, {"studio 1", "live 2", "studio 3", "live 4", "studio 5"});
    openActive();
    QTest::mouseDClick(form->TxtSearch, Qt::LeftButton); // Move mode
    form->TxtSearch->setText("live");
    form->CmdSearch->click();
    EXPECT_EQ(names(1), (QStringList{"live 2", "live 4"}));
    ASSERT_TRUE(form->CmdSmallPlay->isVisible());
    EXPECT_EQ(form->txtNameBox->text(), "live 4");

    form->CmdSmallPlay->click();
    EXPECT_EQ(host.fake.media, "/music/live 4");
    EXPECT_EQ(form->windowTitle(), "live 4");
    form->cmdSkip->click(); // the entry that played leaves, from where it is
    EXPECT_EQ(names(1), QStringList{"live 2"});
    EXPECT_EQ(names(0), (QStringList{"studio 1", "studio 3", "studio 5"}));
    EXPECT_EQ(host.fake.media, "/music/studio 1");
}

} // namespace

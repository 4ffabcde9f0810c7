#include "ui/Form1Fixture.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

class Form1KeysTest : public Form1Test {
protected:
    void release(QWidget* target, Qt::Key key, bool autoRepeat = false) {
        QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(target, &event);
    }
};

TEST_F(Form1KeysTest, F1ShowsTheHelpOnceWhenReleased) {
    open();
    QTest::keyPress(form->TxtSearch, Qt::Key_F1);
    release(form->TxtSearch, Qt::Key_F1, true); // held down: the key repeats
    EXPECT_TRUE(dialogs.messages.empty());
    release(form->lstName[0], Qt::Key_F1);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "Quelba Kivo Player Help!");
    const QStringList lines = dialogs.messages[0].text.split("\r\n");
    EXPECT_EQ(lines, (QStringList{"F1  Help!", "F2 Current Song Information",
                                  "F3  Set and select search box  (arrow keys Up and Down got hrough list)",
                                  "F4  Toggles Time button Same as clicking on Time label",
                                  "F5  Refresh file listbox Same as +", "F6", "F7", "F8", "F9  Toggles Tabs",
                                  "F10 Toggles the Screen",
                                  "F11 Copies the Selected File (Must have focus) to Other Playlist",
                                  "F12 MOVES the Selected file (must have focus) to other playlist"}));
}

TEST_F(Form1KeysTest, F9TogglesBetweenAAndBAndLeavesTheDeviceTabForB) {
    writeSetting(store, table.deviceTab(), QStringLiteral("1"));
    open();
    ASSERT_EQ(form->ssTab->count(), 3);
    release(form->TxtSearch, Qt::Key_F9);
    EXPECT_EQ(form->ssTab->currentIndex(), 1);
    release(form->lstName[1], Qt::Key_F9);
    EXPECT_EQ(form->ssTab->currentIndex(), 0);
    EXPECT_TRUE(form->lstName[0]->isVisible());
    form->ssTab->setCurrentIndex(2);
    ASSERT_EQ(playlists.shownIndex(), 2);
    release(form->FileBox, Qt::Key_F9);
    EXPECT_EQ(playlists.shownIndex(), 1);
    EXPECT_EQ(form->ssTab->currentIndex(), 1);
    EXPECT_FALSE(form->lstName[2]->isVisible());
}

TEST_F(Form1KeysTest, F3F4F5AndF10ActLikeTheirControls) {
    const QString music = dir.mkdir("Music");
    dir.write("Music/a.mp3", "x");
    open();
    QApplication::setActiveWindow(form.get());
    ASSERT_TRUE(form->dirFolders->setPath(music));

    form->TxtSearch->setText("rock");
    form->lstName[0]->setFocus();
    release(form->lstName[0], Qt::Key_F3);
    EXPECT_TRUE(form->TxtSearch->hasFocus());
    EXPECT_EQ(form->TxtSearch->selectedText(), "rock");

    const QString clock = form->lblRorL->text();
    release(form->TxtSearch, Qt::Key_F4);
    EXPECT_NE(form->lblRorL->text(), clock);
    release(form->TxtSearch, Qt::Key_F4);
    EXPECT_EQ(form->lblRorL->text(), clock);

    dir.write("Music/b.mp3", "x");
    EXPECT_EQ(form->FileBox->entries(), QStringList{"a.mp3"});
    release(form->TxtSearch, Qt::Key_F5);
    EXPECT_EQ(form->FileBox->entries(), (QStringList{"a.mp3", "b.mp3"}));

    release(form->TxtSearch, Qt::Key_F10);
    EXPECT_TRUE(host.videoScreen.shown);
    release(form->FileBox, Qt::Key_F10);
    EXPECT_FALSE(host.videoScreen.shown);

    for (Qt::Key key : {Qt::Key_F6, Qt::Key_F7, Qt::Key_F8})
        release(form->TxtSearch, key);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(playlists.shownIndex(), 0);
}

} // namespace

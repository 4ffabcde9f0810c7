#include "playback/Transport.h"
#include "support/TagFiles.h"
#include "ui/Form1Fixture.h"
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>

namespace {

class Form1TrackInfoTest : public Form1Test {
protected:
    QString add(int list, const QString& name, const QString& file, const QByteArray& bytes) {
        const QString path = dir.write(file, bytes);
        playlists.at(list).append(name, path);
        return path;
    }
    void click(int list, int row) {
        QListView* view = form->lstName[list];
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(playlists.at(list).index(row)).center());
        form->CMDFileinfo->click();
    }
    FakeDialogs::Message lastMessage() const {
        return dialogs.messages.empty() ? FakeDialogs::Message{} : dialogs.messages.back();
    }
};

TEST_F(Form1TrackInfoTest, TheQuestionButtonShowsTheTagOfTheClickedEntry) {
    const TagBytes fields{.title = "  My Title", .artist = "Some\xF6ne", .year = "1999", .genre = 255};
    const QString path = add(0, "Shown name.mp3", "song.mp3", audioBytes(4000) + fields.record());
    add(0, "other", "other.mp3", audioBytes(10));
    open();

    click(0, 0);

    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(lastMessage().text,
              QString::fromUtf8("MP3 Info:\r\n\r\nTitle:\tMy Title\r\nArtist:\tSomeöne\r\n"
                                "Album:\t\r\nYear:\t1999\r\nGenre:\t255\r\nComment:\t\r\n") +
                  path);
    EXPECT_EQ(lastMessage().title, "Kivo Player");
}

TEST_F(Form1TrackInfoTest, WithoutATagTheSheetShowsTheFileFacts) {
    const QString untagged = add(0, "My Song", "untagged.mp3", audioBytes(3000));
    add(0, "Lost.mp3", "lost.mp3", {});
    const QString lost = playlists.at(0).path(1);
    QFile::remove(lost);
    open();

    click(0, 0);
    EXPECT_EQ(lastMessage().text,
              "No MP3 Info Available!\r\n\r\nFileName:\tMy Song\r\nFileType:\tSong\r\nFileSize:\t3000\r\n" +
                  untagged);
    click(0, 1);
    EXPECT_EQ(lastMessage().text,
              "No MP3 Info Available!\r\n\r\nFileName:\tLost.mp3\r\nFileType:\t.mp3\r\nFileSize:\t\r\n" +
                  lost);
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(Form1TrackInfoTest, F2BringsThePlayingEntryIntoViewBeforeItsSheet) {
    TagBytes fields;
    fields.title = "Second";
    add(1, "first", "first.mp3", audioBytes(500) + TagBytes{}.record());
    const QString second = add(1, "second", "second.mp3", audioBytes(500) + fields.record());
    playlists.at(1).setChecked(1, true);
    open();
    QApplication::setActiveWindow(form.get());
    form->TxtSearch->setFocus();

    QTest::keyRelease(form->TxtSearch, Qt::Key_F2); // stopped: nothing
    EXPECT_TRUE(dialogs.messages.empty());

    playlists.setShown(1);
    form->CmdPLAY->click();
    ASSERT_TRUE(form->transport().playing());
    playlists.setShown(0);
    form->TxtSearch->setFocus();

    QTest::keyRelease(form->TxtSearch, Qt::Key_F2);

    EXPECT_EQ(form->ssTab->currentIndex(), 1);
    EXPECT_TRUE(form->lstName[1]->isVisible());
    EXPECT_TRUE(form->lstName[1]->selectionModel()->isRowSelected(1, {}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(lastMessage().text.startsWith("MP3 Info:\r\n\r\nTitle:\tSecond\r\n"));
    EXPECT_TRUE(lastMessage().text.endsWith("\r\n" + second));
    EXPECT_EQ(lastMessage().title, "Kivo Player");
}

} // namespace

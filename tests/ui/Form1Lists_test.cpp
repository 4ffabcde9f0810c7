// The main window's lists (keys act on the entry the user picked), browser, drops, search box, track sheet.
#include "support/TagFiles.h"
#include "ui/Form1Fixture.h"
#include "ui/main/browser/DriveList.h"
#include <QAccessible>

TEST_F(Form1Test, ListKeysActOnlyOnThePickedEntryAndLeaveNothingPicked) {
    fill(0, {"e0", "e1", "e2", "e3"});
    open();
    QListView* list = form->lstName[0];
    form->TxtSearch->setFocus();
    press(Qt::Key_Down); // into the list, nothing picked yet
    ASSERT_TRUE(list->hasFocus());
    press(Qt::Key_Delete);
    EXPECT_FALSE(form->txtNameBox->isVisible());
    // The entry picked (-1: by the Down key, -2: none since), the key, A | B and the count (F11, F12 keep
    // it).
    const std::tuple<int, Qt::Key, QStringList, QString> steps[] = {
        {-2, Qt::Key_F11, {"e0", "e1", "e2", "e3", "|"}, "4"},
        {-1, Qt::Key_Delete, {"e1", "e2", "e3", "|"}, "3"},
        {1, Qt::Key_F11, {"e1", "e2", "e3", "|", "e2"}, "3"},
        {1, Qt::Key_F12, {"e1", "e3", "|", "e2", "e2"}, "3"},
        {0, Qt::Key_Delete, {"e3", "|", "e2", "e2"}, "1"},
        {-2, Qt::Key_F12, {"e3", "|", "e2", "e2"}, "1"}};
    for (const auto& [row, key, lists, count] : steps) {
        if (row == -1)
            press(Qt::Key_Down);
        else if (row >= 0)
            clickEntry(list, row);
        EXPECT_TRUE(row == -2 || form->txtNameBox->text() == names(0).at(std::max(row, 0))) << row;
        press(key);
        EXPECT_EQ(names(0) + QStringList{"|"} + names(1) + QStringList{form->LblQueueNum->text()},
                  lists + QStringList{count});
        EXPECT_EQ(list->currentIndex().row(), key == Qt::Key_F11 ? std::max(row, -1) : -1);
    }
    // The name box is not refilled with the entry that moved up; Insert goes to the search box.
    EXPECT_EQ(form->txtNameBox->text() + form->txtNameBox->palette().color(QPalette::Base).name(),
              "e1#80ffff");
    press(Qt::Key_Insert);
    EXPECT_TRUE(form->TxtSearch->hasFocus());
    // Ctrl+double-click deletes only the entry clicked (a real double-click starts with a click and a press).
    fill(0, {"e4", "e5"});
    keys.ctrl = true;
    clickEntry(list, 1, Qt::ControlModifier);
    const QPoint at = list->visualRect(list->model()->index(1, 0)).center();
    QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
    press(Qt::Key_Delete);
    form->ssTab->setCurrentIndex(1); // a tab switch picks nothing on the new tab
    form->lstName[1]->setFocus();
    press(Qt::Key_Delete);
    EXPECT_EQ(names(0) + names(1), (QStringList{"e3", "e5", "e2", "e2"}));
}

TEST_F(Form1Test, OnlyALeftClickPicksAndNothingUnpicksTheHighlightedEntry) {
    fill(0, {"t0", "t1", "t2"});
    open();
    QListView* list = form->lstName[0];
    using namespace QTest;
    // Ctrl held, no mouse action but a left click on another entry moves the pick (t0) or its highlight.
    const std::tuple<MouseAction, Qt::MouseButton, int> steps[] = {
        {MouseClick, Qt::RightButton, 2},   {MouseClick, Qt::MiddleButton, 1},
        {MousePress, Qt::RightButton, 0},   {MouseMove, Qt::RightButton, 2},
        {MouseRelease, Qt::RightButton, 2}, {MouseClick, Qt::RightButton, 2},
        {MouseDClick, Qt::RightButton, 2},  {MouseClick, Qt::LeftButton, 0}};
    clickEntry(list, 0);
    keys.ctrl = true; // a Ctrl+double-click deletes
    for (auto [action, button, row] : steps) {
        mouseEvent(action, list->viewport(), button, Qt::ControlModifier,
                   list->visualRect(list->model()->index(row, 0)).center());
        QItemSelectionModel* selection = list->selectionModel();
        EXPECT_TRUE(selection->isRowSelected(0, {}) && selection->selectedRows().size() == 1 &&
                    selection->currentIndex().row() == 0)
            << action << button;
    }
    press(Qt::Key_Delete);
    EXPECT_EQ(names(0), (QStringList{"t1", "t2"}));
}

TEST_F(Form1Test, EnterPlaysWhatTheNameBoxShowsCtrlSpaceOpensItsFolderAndTheSearchBoxFillsIt) {
    const QString folder = dir.mkdir("m");
    dir.write("m/A song.wav", "x");
    fill(0, {"Alpha", "ALPHABET", "live 2", "live 4", "beta"});
    open();
    form->dirFolders->setPath(folder);
    clickEntry(form->FileBox, 0);
    EXPECT_EQ(form->txtNameBox->text() + form->txtNameBox->palette().color(QPalette::Base).name(),
              "A song.wav#ffff80");
    press(Qt::Key_Space, Qt::ControlModifier);
    QTest::keyClick(form->dirFolders, Qt::Key_Space, Qt::ControlModifier);
    form->lstName[0]->setFocus();
    press(Qt::Key_Return); // nothing picked in the list: the file the box shows is not played
    EXPECT_EQ(host.fake.media, "");
    clickEntry(form->lstName[0], 1);
    clickEntry(form->FileBox, 0);
    form->lstName[0]->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(host.fake.media + " " + form->windowTitle(), "/music/ALPHABET ALPHABET");
    EXPECT_FALSE(form->txtNameBox->isVisible());
    press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(shell.opened, (QStringList{folder, folder, "/music"}));
    clickEntry(form->lstName[0], 0); // a click on the name box hides it
    QTest::mouseClick(form->txtNameBox, Qt::LeftButton);
    EXPECT_FALSE(form->txtNameBox->isVisible());
    // The search box: Single picks the next match, Move moves every match to B.
    auto box = [&] {
        return form->TxtSearch->text() + form->TxtSearch->palette().color(QPalette::Base).name();
    };
    form->TxtSearch->setText("bet");
    QTest::keyClick(form->TxtSearch, Qt::Key_Return);
    EXPECT_EQ(QString::number(form->lstName[0]->currentIndex().row()) + form->txtNameBox->text(),
              "1ALPHABET");
    QTest::mouseDClick(form->TxtSearch, Qt::LeftButton);
    EXPECT_EQ(box(), "Move#ffc0c0");
    form->TxtSearch->setText("live"); // scanned from after the selected entry
    form->CmdSearch->click();
    EXPECT_EQ(names(1), (QStringList{"live 2", "live 4"}));
    EXPECT_EQ(form->txtNameBox->text() + " " + box(), "live 4 Single#c0ffc0");
    form->CmdSmallPlay->click(); // plays the moved entry where it is now
    EXPECT_EQ(host.fake.media, "/music/live 4");
    form->cmdSkip->click(); // the entry that played leaves, from where it is
    EXPECT_EQ(names(1), QStringList{"live 2"});
}

TEST_F(Form1Test, WholePlaylistButtonsClearAllAndThePlayingTab) {
    fill(0, {"a1"});
    fill(1, {"b1"});
    open();
    // The button (Move A->B, Move B->A, Copy A->B, Copy B->A), the counts of A and B and the tab shown.
    const std::array<int, 4> steps[] = {{2, 1, 2, 1}, {1, 3, 0, 0}, {1, 3, 0, 0}, {0, 0, 3, 1}, {3, 3, 3, 0}};
    for (auto [button, a, b, tab] : steps) {
        form->cmdTabMove[button]->click();
        EXPECT_EQ(QList<int>({int(names(0).size()), int(names(1).size()), form->ssTab->currentIndex(),
                              form->LblQueueNum->text().toInt()}),
                  QList<int>({a, b, tab, tab ? b : a}))
            << button;
    }
    form->CMdClearAll->click();
    EXPECT_TRUE(names(0).isEmpty() && form->lstName[0]->isVisible() && form->LblQueueNum->text() == "0");
    // Clear All is off on the playing tab: A empty, Play moves to B.
    form->CmdPLAY->click();
    EXPECT_FALSE(form->ssTab->currentIndex() == 0 || form->CMdClearAll->isEnabled());
    // A right click where the user sees the middle of the time bar seeks.
    host.fake.reportDuration(100);
    const QPoint middle = form->Pictimer->mapTo(form.get(), form->Pictimer->rect().center());
    QWidget* under = form->childAt(middle);
    ASSERT_NE(under, nullptr);
    host.fake.takeLog();
    QTest::mouseClick(under, Qt::RightButton, {}, under->mapFrom(form.get(), middle));
    EXPECT_TRUE(host.fake.log.contains("play")) << host.fake.log.join(' ').toStdString();
    dialogs.fileAnswers = {dir.file("saved")}; // the floating save button saves the list shown
    form->cmdSavePlayList[1]->click();
    EXPECT_EQ(readAll(dir.file("saved.KVPL")), "a1*/music/a1\r\nb1*/music/b1\r\na1*/music/a1\r\n!@#$%\r\n");
    form->ssTab->setCurrentIndex(0);
    EXPECT_TRUE(form->CMdClearAll->isEnabled());
    form->CmdSTOP->click();
    EXPECT_EQ(form->windowTitle(), "KIVO PLAYER!");
}

TEST_F(Form1Test, BrowserKeysClicksAddsPresetsAndDrops) {
    const QString music = dir.mkdir("Music");
    for (const char* name : {"b.mp3", "a.wav", "notes.txt", "S1/s1.mp3", "S2/s2.mp3", "S1/D/d.mp3"})
        dir.write(QStringLiteral("Music/") + name, "x");
    dir.write("Music/list.KVPL", "d*" + dir.file("Music/b.mp3").toUtf8() + "\r\n!@#$%\r\n");
    dir.write("Music/evening.m3u", "#EXTINF:9,Evening Song\r\nb.mp3\r\n");
    write(table.soeStartPath(), "1"); // the browser starts in the auto-save file's folder
    write(table.autoSavePath(), music + "/TempSave.KVPL");
    write(table.preset(0), music + "/S1");
    write(table.preset(1), dir.file("gone"));
    open();
    FolderList* folders = form->dirFolders;
    EXPECT_TRUE(form->FileBox->path() == music && music.startsWith(form->DrvDriveLetter->drive()));
    form->FileBox->setFocus(Qt::TabFocusReason); // shows no file until the user moves to one
    EXPECT_FALSE(form->txtNameBox->isVisible());
    press(Qt::Key_Down);
    EXPECT_EQ(form->txtNameBox->text(), "a.wav");
    clickEntry(folders, folders->parentCount() + 2); // a double-click on S2 opens it
    QTest::mouseDClick(folders->viewport(), Qt::LeftButton, {},
                       folders->visualRect(folders->model()->index(folders->parentCount() + 2, 0)).center());
    EXPECT_EQ(form->FileBox->path(), music + "/S2");
    form->CmdPreset[0]->click(); // to S1
    // The current folder is -1, its parent -2, subfolders count from 0: Enter opens, Backspace goes up.
    const std::tuple<int, Qt::Key, QString> steps[] = {{-1, Qt::Key_Enter, music + "/S1"},
                                                       {-1, Qt::Key_Backspace, music},
                                                       {1, Qt::Key_Return, music + "/S2"},
                                                       {-2, Qt::Key_Return, music}};
    for (const auto& [highlight, key, path] : steps) {
        folders->setHighlightedIndex(highlight);
        QTest::keyClick(folders, key);
        EXPECT_EQ(form->FileBox->path(), path);
    }
    form->FileBox->setSelectedIndex(1);
    form->cmdAdd->click();
    form->FileBox->setSelectedIndex(4); // past the end: nothing selected, nothing added
    form->cmdAdd->click();
    EXPECT_EQ(names(0), QStringList{"b.mp3"});
    clickEntry(form->FileBox, 1);
    QTest::mouseClick(form->txtNameBox, Qt::LeftButton); // hides it: a click on the same file shows it again
    clickEntry(form->FileBox, 1);
    press(Qt::Key_Return); // adds it
    EXPECT_TRUE(form->txtNameBox->isVisible());
    clickEntry(form->FileBox, 2);
    QTest::mouseDClick(form->FileBox->viewport(), Qt::LeftButton, {},
                       form->FileBox->visualRect(form->FileBox->model()->index(2, 0)).center()); // loads it
    form->CmdAddAll->click(); // playlists are skipped
    EXPECT_EQ(names(0) << form->LblQueueNum->text(),
              (QStringList{"b.mp3", "b.mp3", "Evening Song", "a.wav", "b.mp3", "5"}));
    dir.write("Music/c.mp3", "x");
    QTest::keyClick(form->FileBox, Qt::Key_Plus);
    EXPECT_EQ(form->FileBox->count(), 5);
    playlists.at(0).clear();
    keys.ctrl = true; // with Ctrl: the folder and its subfolders, one level down
    form->cmdAdd->click();
    EXPECT_EQ(names(0), (QStringList{"a.wav", "b.mp3", "c.mp3", "s1.mp3", "s2.mp3"}));

    // A drop on the list's viewport adds media and loads playlists (what it takes: the AddFiles tests').
    playlists.at(0).clear();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(music + "/b.mp3"), QUrl::fromLocalFile(music + "/notes.txt"),
                  QUrl::fromLocalFile(music + "/list.KVPL")});
    QDragEnterEvent enter({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->lstName[0]->viewport(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop({10, 10}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->lstName[0]->viewport(), &drop);
    EXPECT_EQ(names(0) << form->LblQueueNum->text(), (QStringList{"b.mp3", "d", "2"}));
    folders->setPath("/");
    QTest::keyClick(folders, Qt::Key_Backspace);
    EXPECT_EQ(folders->path(), "/");
    // A missing preset folder stops the recall in the home folder, its first step, without a word.
    form->CmdPreset[1]->click();
    EXPECT_TRUE(folders->path() == QDir::homePath() && dialogs.messages.empty());
}

TEST(DriveBox, ReadsTheVolumesAgainWhenItOpens) {
    QStringList mounted{"/"};
    DriveList drives(nullptr, [&] { return mounted; });
    EXPECT_FALSE(drives.setDrive("no/such/place"));
    EXPECT_TRUE(drives.setDrive("/no/such/place") && drives.drive() == "/"); // a start folder not there
    mounted << QDir::tempPath();                                             // plugged in after the start
    drives.showPopup();
    EXPECT_TRUE(drives.drives().contains(QDir::tempPath()));
}

TEST_F(Form1Test, TrackSheetsOfTheClickedAndThePlayingEntry) {
    const TagBytes tag{.title = "  My Title", .artist = "Some\xF6ne", .year = "1999", .genre = 255};
    const QString tagged = dir.write("song.mp3", audioBytes(4000) + tag.record());
    for (auto [name, path] : {std::pair{"Shown name.mp3", tagged}, {"Lost.mp3", dir.file("x.mp3")}})
        playlists.at(1).append(name, path);
    open();
    form->ssTab->setCurrentIndex(1);
    const QString sheets[] = {
        QString::fromUtf8(
            "MP3 Info:\r\n\r\nTitle:\tMy Title\r\nArtist:\tSomeöne\r\nAlbum:\t\r\nYear:\t1999\r\n"
            "Genre:\t255\r\nComment:\t\r\n") +
            tagged,
        "No MP3 Info Available!\r\n\r\nFileName:\tLost.mp3\r\nFileType:\t.mp3\r\nFileSize:\t\r\n" +
            dir.file("x.mp3")};
    for (int row = 0; row < 2; ++row) {
        clickEntry(form->lstName[1], row);
        form->CMDFileinfo->click();
        ASSERT_EQ(dialogs.messages.size(), size_t(row + 1));
        EXPECT_EQ(dialogs.messages.back().text, sheets[row]);
    }
    // F2: the playing entry comes into view, selected, before its sheet; nothing while stopped (the help of
    // the F1 after it comes first). A held F1 (a release followed at once by a press that is not marked as a
    // repeat) shows no help.
    QTest::keyRelease(form->TxtSearch, Qt::Key_F2);
    QTest::keyRelease(form->TxtSearch, Qt::Key_F1);
    ASSERT_TRUE(waitUntil([&] { return dialogs.messages.size() == 3u; }));
    EXPECT_EQ(dialogs.messages.back().title, "Quelba Kivo Player Help!");
    form->CmdPLAY->click();
    form->ssTab->setCurrentIndex(0);
    QTest::keyRelease(form->TxtSearch, Qt::Key_F1);
    QTest::keyPress(form->TxtSearch, Qt::Key_F1);
    QTest::keyRelease(form->TxtSearch, Qt::Key_F2);
    ASSERT_TRUE(waitUntil([&] { return dialogs.messages.size() == 4u; }));
    EXPECT_TRUE(form->ssTab->currentIndex() == 1 && form->lstName[1]->selectionModel()->isRowSelected(0, {}));
    EXPECT_EQ(dialogs.messages.back().text, sheets[0]);
}

// A name is shown as it is written, also one that looks like markup (the screen reader reads the label).
TEST_F(Form1Test, ANameThatLooksLikeMarkupIsShownAsWritten) {
    fill(0, {"<u>Under<br>line &amp; more.wav"});
    open();
    form->CmdPLAY->click();
    EXPECT_EQ(QAccessible::queryAccessibleInterface(form->lblName)->text(QAccessible::Name),
              "<u>Under<br>line &amp; more.wav");
}

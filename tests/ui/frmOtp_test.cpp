#include "settings/SettingsExport.h"
#include "ui/frmOtpFixture.h"
#include "ui/main/browser/FolderList.h"
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST_F(frmOtpTest, OpeningWithDefaultsCountsAsAChangeAndOkWritesEveryOption) {
    open();
    openOptions();
    EXPECT_EQ(options->windowTitle(), QStringLiteral("Kivo Player Options V7.01256"));
    EXPECT_FALSE(options->isModal());
    EXPECT_EQ(options->SSTab1->count(), 9);
    EXPECT_EQ(options->SSTab1->currentIndex(), 0);
    EXPECT_TRUE(options->chkUnlockBox->isChecked() && options->TxtInstExten->isReadOnly());
    // The device path of the defaults differs from the box's design text.
    EXPECT_EQ(options->txtDevicePath->text(), QStringLiteral("/media/alice/"));
    EXPECT_TRUE(options->changed());
    EXPECT_EQ(options->learnButtons[0]->text(), QStringLiteral("?"));

    const int before = store.writeCount();
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    std::vector<SettingDef> written = {table.vStayOnTop(),    table.onTop(),          table.colorToStart(),
                                       table.closeOnFinish(), table.playlistOnExit(), table.autoSavePath(),
                                       table.soeStartPath()};
    for (int i = 0; i < 10; ++i) {
        written.push_back(table.preset(i));
        written.push_back(table.preName(i));
    }
    for (const SettingDef& def : written)
        EXPECT_TRUE(has(def)) << def.key.toStdString();
    EXPECT_EQ(stored(table.closeOnFinish()), QStringLiteral("2"));
    EXPECT_EQ(stored(table.preName(9)), QStringLiteral("10"));
    EXPECT_EQ(stored(table.devicePath()), QStringLiteral("/media/alice/"));
    EXPECT_EQ(store.writeCount() - before, int(written.size()) + 5);
    EXPECT_FALSE(options->isVisible());
}

TEST_F(frmOtpTest, UncheckingKeepOnTopThenExitLeavesTheWindowOffTheTop) {
    write(table.onTop(), QStringLiteral("1"));
    open();
    ASSERT_TRUE(form->isOnTop());
    openOptions();
    EXPECT_FALSE(form->isOnTop()); // the options window takes it out of the top layer
    EXPECT_TRUE(options->ChkOnTop->isChecked());
    options->ChkOnTop->click();
    QTest::mouseClick(options->cmdExitOpt, Qt::LeftButton);
    EXPECT_FALSE(form->isOnTop());
    EXPECT_FALSE(state.onTop);
    EXPECT_EQ(stored(table.onTop()), QStringLiteral("1"));
}

TEST_F(frmOtpTest, ClosingWithTheOnTopSwitchOnRaisesTheMainWindowAgain) {
    write(table.onTop(), QStringLiteral("1"));
    open();
    openOptions();
    options->close();
    EXPECT_TRUE(form->isOnTop());
}

TEST_F(frmOtpTest, ImportThenOkStoresWhatWasImported) {
    open();
    const QByteArray file = "preName3\xc2\xa9Jazz\r\n"
                            "DevicePath\xc2\xa9/media/usb/\r\n"
                            "ShowTabC\xc2\xa9 1 \r\n"
                            "CloseOnFinish\xc2\xa9 1 \r\n"
                            "AddedExten\xc2\xa9*.mp3;*.ogg\r\n"
                            "Skip\xc2\xa9 3 \r\n";
    dialogs.fileAnswers.push_back(dir.write(QStringLiteral("in.KVPS"), file));
    openOptions();
    QTest::mouseClick(options->cmdImportSettingFile, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty());
    // The device tab and close-on-finish take effect before OK.
    EXPECT_EQ(form->ssTab->count(), 3);
    EXPECT_TRUE(state.closeOnFinish);
    EXPECT_EQ(options->learnButtons[3]->text(), QStringLiteral("3"));
    EXPECT_EQ(stored(table.preName(3)), QStringLiteral("-"));

    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    EXPECT_EQ(stored(table.preName(3)), QStringLiteral("Jazz"));
    EXPECT_EQ(form->CmdPreset[3]->text(), QStringLiteral("Jazz"));
    EXPECT_EQ(stored(table.devicePath()), QStringLiteral("/media/usb/"));
    EXPECT_EQ(stored(table.deviceTab()), QStringLiteral("1"));
    EXPECT_EQ(stored(table.closeOnFinish()), QStringLiteral("1"));
    EXPECT_EQ(stored(table.addedExten()), QStringLiteral("*.mp3;*.ogg"));
    EXPECT_EQ(state.patternList, QStringLiteral("*.mp3;*.ogg"));
}

TEST_F(frmOtpTest, ExportAndImportFailuresShowTheirMessages) {
    open();
    openOptions();
    dialogs.fileAnswers.push_back(dir.mkdir(QStringLiteral("taken.KVPS")));
    QTest::mouseClick(options->cmdExportSettings, Qt::LeftButton);
    dialogs.fileAnswers.push_back(dir.file(QStringLiteral("missing.KVPS")));
    QTest::mouseClick(options->cmdImportSettingFile, Qt::LeftButton);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text,
              QStringLiteral("Error Saving Settings, Its Kind of a BummerCheck, Sorry"));
    EXPECT_EQ(dialogs.messages[1].text,
              QStringLiteral("Error loading Settings ,Check Something to Kinda Fix It, OK!?!"));
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.title, QStringLiteral("Problem!"));
}

TEST_F(frmOtpTest, ExportAddsTheExtensionAndWritesTheFile) {
    open();
    openOptions();
    dialogs.fileAnswers.push_back(dir.file(QStringLiteral("mine")));
    QTest::mouseClick(options->cmdExportSettings, Qt::LeftButton);
    EXPECT_TRUE(dialogs.messages.empty());
    const QByteArray bytes = readAll(dir.file(QStringLiteral("mine.KVPS")));
    EXPECT_TRUE(
        bytes.startsWith("Quelba Kivo Player Settings Export\xc2\xa9Kivo Player Options V7.01256\r\n"));
    EXPECT_TRUE(bytes.contains("\r\nOnTop\xc2\xa9 0 \r\n"));
}

TEST_F(frmOtpTest, DeviceTabBoxAddsAndRemovesTheThirdTabAtOnce) {
    open();
    openOptions();
    options->ChkDeviceTab->click();
    ASSERT_EQ(form->ssTab->count(), 3);
    EXPECT_EQ(form->ssTab->tabText(2), QStringLiteral("C"));
    form->ssTab->setCurrentIndex(2);
    options->ChkDeviceTab->click();
    EXPECT_EQ(form->ssTab->count(), 2);
    EXPECT_EQ(form->ssTab->currentIndex(), 0);
}

TEST_F(frmOtpTest, OpeningThatChangesNothingLeavesStartAtSaveOnExitUnwritten) {
    write(table.devicePath(), QStringLiteral("/mnt/"));
    open();
    openOptions();
    EXPECT_FALSE(options->changed());
    options->chkStartAtSOE->click();
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    EXPECT_FALSE(has(table.soeStartPath()));
    EXPECT_FALSE(has(table.onTop()));
    EXPECT_TRUE(has(table.addedExten())); // written whatever the flag
}

TEST_F(frmOtpTest, CopyButtonsActOnTheMainWindowsPlaylists) {
    open();
    playlists.at(Playlists::kA).append(QStringLiteral("one"), dir.file(QStringLiteral("one.mp3")));
    openOptions();
    QTest::mouseClick(options->CmdCopyBtoAR, Qt::LeftButton); // captioned "Copy A to B"
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 1);
    EXPECT_EQ(playlists.at(Playlists::kB).count(), 1);
    EXPECT_EQ(form->ssTab->currentIndex(), Playlists::kB);
    QTest::mouseClick(options->cmdBtoA, Qt::LeftButton);
    EXPECT_EQ(playlists.at(Playlists::kA).count(), 2);
    EXPECT_EQ(playlists.at(Playlists::kB).count(), 0);
    EXPECT_TRUE(options->isVisible()); // the window stays open
}

} // namespace

namespace {

TEST_F(frmOtpTest, PlaylistButtonsSaveLoadAndChooseTheAutoSaveFile) {
    const QString music = dir.mkdir("Music");
    const QString song = dir.write("Music/song.mp3", "x");
    playlists.at(0).append("song.mp3", song);
    write(table.devicePath(), QStringLiteral("/mnt/")); // so that opening changes nothing
    open();
    ASSERT_TRUE(form->dirFolders->setPath(music));
    openOptions();
    ASSERT_FALSE(options->changed());

    dialogs.fileAnswers.push_back(dir.file("mine")); // saved as mine.KVPL
    options->cmdSavePlaylist->click();
    ASSERT_FALSE(dialogs.requests.empty());
    EXPECT_EQ(dialogs.requests.back().folder, music);
    EXPECT_EQ(readAll(dir.file("mine.KVPL")), "song.mp3*" + song.toUtf8() + "\r\n!@#$%\r\n");

    dialogs.fileAnswers.push_back(dir.file("mine.KVPL"));
    options->cmdLoadPlaylist->click();
    EXPECT_EQ(names(0), (QStringList{"song.mp3", "song.mp3"}));
    EXPECT_EQ(form->LblQueueNum->text(), "2");

    dialogs.fileAnswers.push_back(std::nullopt); // cancelled: the path stays
    const QString before = state.autoSavePath;
    options->CMDGetSavePath->click();
    EXPECT_EQ(state.autoSavePath, before);
    EXPECT_FALSE(options->changed());
    dialogs.fileAnswers.push_back(dir.file("exit"));
    options->CMDGetSavePath->click();
    EXPECT_EQ(state.autoSavePath, dir.file("exit.KVPL"));
    EXPECT_FALSE(QFileInfo::exists(dir.file("exit.KVPL"))); // nothing written until shut-down
    EXPECT_TRUE(options->changed());
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    EXPECT_EQ(stored(table.autoSavePath()), dir.file("exit.KVPL"));
}

TEST_F(frmOtpTest, PresetButtonsTakeTheFolderOfTheChosenFile) {
    const QString rock = dir.mkdir("Music/Rock");
    open();
    openOptions();
    dialogs.fileAnswers.push_back(rock + "/song.mp3");
    options->cmdPresetSet[3]->click();
    EXPECT_EQ(dialogs.requests.back().title, "Select Folder");
    EXPECT_EQ(state.presetFolders[3], rock);
    form->CmdPreset[3]->click(); // the main window's button sees it before OK
    EXPECT_EQ(form->dirFolders->path(), rock);

    dialogs.fileAnswers.push_back(std::nullopt);
    options->cmdPresetSet[3]->click();
    EXPECT_EQ(state.presetFolders[3], rock);
    EXPECT_TRUE(options->changed());
    QTest::mouseClick(options->cmdOK1, Qt::LeftButton);
    EXPECT_EQ(stored(table.preset(3)), rock);
}

} // namespace

#include "Form1Fixture.h"
#include "playback/Transport.h"
#include "support/WaitUntil.h"
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

namespace {

class Form1DeviceTest : public Form1Test {
protected:
    QString device;
    void openWithDevice(const QString& folder) {
        device = folder;
        writeSetting(store, table.deviceTab(), QStringLiteral("1"));
        writeSetting(store, table.devicePath(), folder + QLatin1Char('/'));
        open();
    }
    void addToDevice(const QString& name) {
        playlists.at(Playlists::kDevice).append(name, dir.write(QStringLiteral("music/") + name, "sound"));
    }
    QPushButton* button(const char* name) { return form->findChild<QPushButton*>(QString::fromLatin1(name)); }
};

TEST_F(Form1DeviceTest, TransferWorksOnlyOnTheDeviceTabAndEmptiesTheList) {
    QDir().mkpath(dir.file(QStringLiteral("music")));
    QDir().mkpath(dir.file(QStringLiteral("player")));
    openWithDevice(dir.file(QStringLiteral("player")));
    ASSERT_EQ(playlists.tabCount(), 3);
    addToDevice(QStringLiteral("one.mp3"));
    addToDevice(QStringLiteral("two.mp3"));

    button("cmdTransfer")->click(); // tab A is shown: nothing happens
    QTest::qWait(50);
    EXPECT_EQ(playlists.at(Playlists::kDevice).count(), 2);

    playlists.setShown(Playlists::kDevice);
    button("cmdTransfer")->click();
    EXPECT_FALSE(button("cmdTransfer")->isEnabled());
    ASSERT_TRUE(waitUntil([&] { return playlists.at(Playlists::kDevice).isEmpty(); }, 10000));
    ASSERT_TRUE(waitUntil([&] { return button("cmdTransfer")->isEnabled(); }));
    EXPECT_EQ(QDir(device).entryList(QDir::Files),
              (QStringList{QStringLiteral("one.mp3"), QStringLiteral("two.mp3")}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Form1DeviceTest, TheFileBeingCopiedStaysInTheListUntilItsCopyIsDone) {
    QDir().mkpath(dir.file(QStringLiteral("music")));
    QDir().mkpath(dir.file(QStringLiteral("player")));
    openWithDevice(dir.file(QStringLiteral("player")));
    for (const char* name : {"one.mp3", "two.mp3", "three.mp3"})
        addToDevice(QString::fromLatin1(name));
    form->ssTab->setCurrentIndex(Playlists::kDevice);
    QListView* list = form->lstName[Playlists::kDevice];
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(0, 0)).center());

    // The end of a copy reaches the window through its event loop, which runs again only after these edits:
    // "one.mp3" is being copied throughout.
    button("cmdTransfer")->click();
    QTest::keyClick(list, Qt::Key_Delete);
    QTest::keyClick(list, Qt::Key_F12);
    EXPECT_EQ(names(Playlists::kDevice), (QStringList{"one.mp3", "two.mp3", "three.mp3"}));
    EXPECT_TRUE(names(Playlists::kA).isEmpty());
    form->CMdClearAll->click();
    EXPECT_EQ(names(Playlists::kDevice), QStringList{"one.mp3"});
    EXPECT_EQ(form->LblQueueNum->text(), "1");

    ASSERT_TRUE(waitUntil([&] { return button("cmdTransfer")->isEnabled(); }));
    EXPECT_TRUE(playlists.at(Playlists::kDevice).isEmpty());
    EXPECT_EQ(QDir(device).entryList(QDir::Files), QStringList{"one.mp3"});
}

TEST_F(Form1DeviceTest, ADeviceTrackEndingBehindAnotherTabLeavesThePlayerStopped) {
    openWithDevice(dir.file(QStringLiteral("player")));
    fill(Playlists::kA, {"a0"});
    fill(Playlists::kDevice, {"d0", "d1"});
    form->ssTab->setCurrentIndex(Playlists::kDevice);
    form->CmdPLAY->click();
    ASSERT_EQ(host.fake.media, "/music/d0");
    ASSERT_EQ(form->windowTitle(), "d0");
    form->ssTab->setCurrentIndex(Playlists::kA);
    host.fake.finish();

    EXPECT_FALSE(form->transport().playing());
    EXPECT_EQ(form->windowTitle(), "KIVO PLAYER!");
    EXPECT_EQ(form->lblName->text(), "KIVO PLAYER!");
    EXPECT_FALSE(form->CmdPLAY->isHidden());
    EXPECT_FALSE(form->CMDButtonArray[0]->isHidden());
    EXPECT_TRUE(form->CMDButtonArray[1]->isHidden()); // the Stop picture
    EXPECT_FALSE(form->tmrTime->isActive());
    EXPECT_TRUE(form->CMdClearAll->isEnabled());
    EXPECT_EQ(host.fake.media, "/tmp/silence.wav");
    // The device list plays each track once and keeps it; A is not started.
    EXPECT_EQ(names(Playlists::kDevice), (QStringList{"d0", "d1"}));
    EXPECT_EQ(names(Playlists::kA), QStringList{"a0"});
    EXPECT_EQ(form->ssTab->currentIndex(), Playlists::kA);

    // The next Play starts from the tab shown, as after any stop.
    form->CmdPLAY->click();
    EXPECT_EQ(host.fake.media, "/music/a0");
}

TEST_F(Form1DeviceTest, FilesShowsTheDeviceOnlyWhenItHoldsFiles) {
    openWithDevice(dir.file(QStringLiteral("not plugged in")));
    playlists.setShown(Playlists::kDevice);
    QWidget* files = form->findChild<QWidget*>(QStringLiteral("filePlayer"));
    QPushButton* toggle = button("cmdListOrFiles");
    toggle->click();
    EXPECT_EQ(toggle->text(), QStringLiteral("List"));
    EXPECT_FALSE(files->isVisible());
    toggle->click();
    EXPECT_EQ(toggle->text(), QStringLiteral("Files"));

    QDir().mkpath(device);
    dir.write(QStringLiteral("not plugged in/song.mp3"), "x");
    toggle->click();
    EXPECT_TRUE(files->isVisible());
}

} // namespace

namespace {

// Closing the window (what the desktop's SIGTERM does) in the middle of a
// long transfer still runs the whole shut-down, and every file on the device
// is a whole copy: the one under way is given up, nothing half-written stays.
TEST_F(Form1DeviceTest, ClosingDuringATransferShutsDownNormallyAndLeavesOnlyWholeCopies) {
    writeSetting(store, table.playlistOnExit(), QStringLiteral("1"));
    writeSetting(store, table.autoSavePath(), dir.file(QStringLiteral("TempSave.KVPL")));
    QDir().mkpath(dir.file(QStringLiteral("player")));
    openWithDevice(dir.file(QStringLiteral("player")));
    const QString kept = dir.write(QStringLiteral("music/kept.mp3"), "a");
    playlists.at(Playlists::kA).append(QStringLiteral("kept.mp3"), kept);
    std::vector<QByteArray> contents;
    for (int i = 0; i < 8; ++i) {
        contents.push_back(QByteArray(6 * 1024 * 1024, char('a' + i)));
        playlists.at(Playlists::kDevice)
            .append(QStringLiteral("big%1.mp3").arg(i),
                    dir.write(QStringLiteral("music/big%1.mp3").arg(i), contents[i]));
    }
    playlists.setShown(Playlists::kDevice);
    button("cmdTransfer")->click();
    ASSERT_TRUE(waitUntil([&] { return playlists.at(Playlists::kDevice).count() < 8; }, 20000));

    form->close();
    form.reset();

    EXPECT_EQ(readAll(dir.file(QStringLiteral("TempSave.KVPL"))),
              "kept.mp3*" + kept.toUtf8() + "\r\n!@#$%\r\n");
    const QStringList onDevice = QDir(device).entryList(QDir::Files | QDir::Hidden);
    EXPECT_FALSE(onDevice.isEmpty());
    for (const QString& name : onDevice) {
        ASSERT_TRUE(name.startsWith(QLatin1String("big"))) << name.toStdString(); // no temporary file left
        EXPECT_EQ(readAll(QDir(device).filePath(name)), contents[name.mid(3, 1).toInt()])
            << name.toStdString();
    }
}

} // namespace

#include "support/WaitUntil.h"
#include "ui/Form1Fixture.h"
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST_F(Form1Test, OpensWithTheDesignState) {
    open();
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Kivo Player!"));
    EXPECT_EQ(form->ssTab->count(), 2);
    EXPECT_EQ(form->ssTab->currentIndex(), 0);
    EXPECT_EQ(form->ssTab->tabText(0), QStringLiteral("A"));
    EXPECT_EQ(form->ssTab->tabText(1), QStringLiteral("B"));
    EXPECT_EQ(form->lblRorL->text(), QStringLiteral("E"));
    EXPECT_EQ(form->LblQueueNum->text(), QStringLiteral("0"));
    EXPECT_EQ(form->cmdSizeFix->text(), QStringLiteral("A"));
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(form->CmdPreset[i]->text(), QString::number(i + 1));
    for (QWidget* panel :
         {form->PicTopBox, form->PicBottomBar, form->PicFileStuff, form->PicMediaList, form->PicButtons})
        EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0))
            << panel->objectName().toStdString();
    EXPECT_TRUE(form->lstName[0]->isVisible());
    EXPECT_FALSE(form->lstName[1]->isVisible());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(form->lstName[i]->model()->rowCount(), 0);
    EXPECT_FALSE(form->tmrTime->isActive() || form->Timer1->isActive() || form->tmrJoy->isActive());
    EXPECT_FALSE(form->txtNameBox->isVisible());
    EXPECT_EQ(form->width() * 15, 6465); // 6470 twips, in whole pixels
    EXPECT_EQ(heightTwips(), 4800);
    // The button captions carry their keys.
    EXPECT_EQ(form->CmdPLAY->text(), QStringLiteral("&Play"));
    EXPECT_EQ(form->cmdExit->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(form->chkRandom->text(), QStringLiteral("&Random"));
}

TEST_F(Form1Test, DeviceTabAddsTheThirdTab) {
    store.write("OtherSettings", "DeviceTab", "1");
    open();
    EXPECT_EQ(form->ssTab->count(), 3);
    EXPECT_EQ(form->ssTab->tabText(2), QStringLiteral("C"));
    EXPECT_EQ(form->ssTab->currentIndex(), 0);
    form->ssTab->setCurrentIndex(2);
    EXPECT_EQ(playlists.shownIndex(), 2);
    EXPECT_EQ(form->cmdSizeFix->text(), QStringLiteral("C"));
    EXPECT_TRUE(form->lstName[2]->isVisible());
    EXPECT_TRUE(form->picBtnHldr2->isVisible());
    EXPECT_FALSE(form->lstName[0]->isVisible());
}

TEST_F(Form1Test, ShrinkRestoreAndCommandBarHeights) {
    open();
    form->cmdSizeFix->click();
    EXPECT_EQ(heightTwips(), 1125);
    form->cmdSizeFix->click();
    EXPECT_EQ(heightTwips(), 4800);

    form->cmdCommandExpand->click();
    EXPECT_NEAR(heightTwips(), 5800, 7);
    EXPECT_EQ(form->PicBottomBar->height() * 15, 1380); // 1375 twips in whole pixels
    EXPECT_TRUE(form->cmdTabMove[0]->isVisible());
    form->cmdCommandExpand->click();
    EXPECT_NEAR(heightTwips(), 4800, 7);
    EXPECT_EQ(form->PicBottomBar->height() * 15, 375);

    keys.ctrl = true;
    form->cmdSizeFix->click();
    EXPECT_NEAR(heightTwips(), 2125, 7);
    EXPECT_FALSE(form->cmdTabMove[0]->isVisible());
}

TEST_F(Form1Test, ExitClosesThroughTheUnloadPath) {
    store.write("Presets", "PlayList on Exit", "1");
    store.write("Presets", "Auto Save Path", dir.file("auto.KVPL"));
    open();
    const QString media = dir.write("a.mp3", "x");
    playlists.at(0).append(QStringLiteral("a.mp3"), media);
    QApplication::setActiveWindow(form.get());
    QTest::keyClick(form.get(), Qt::Key_X, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return !form->isVisible(); }));
    EXPECT_EQ(store.read("OtherSettings", "EorR", {}), QStringLiteral("E"));
    EXPECT_EQ(readAll(dir.file("auto.KVPL")), QByteArray("a.mp3*") + media.toUtf8() + "\r\n!@#$%\r\n");
}

TEST_F(Form1Test, OnTopFollowsTheButtonsAndEveryResize) {
    open();
    form->CmdONtop->click();
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(state.onTop);
    form->cmdSizeFix->click();
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    form->cmdNoontop->click();
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(state.onTop);
    EXPECT_TRUE(form->isVisible());
}

} // namespace

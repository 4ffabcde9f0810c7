#include "support/QtPrint.h"
#include "support/WaitUntil.h"
#include "ui/Form1Fixture.h"
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFrame>
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
    for (Panel* panel :
         {form->PicTopBox, form->PicBottomBar, form->PicFileStuff, form->PicMediaList, form->PicButtons})
        EXPECT_EQ(panel->backColour(), QColor(0xC0, 0xC0, 0xC0)) << panel->objectName().toStdString();
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

TEST_F(Form1Test, AltShiftXClosesWithoutTouchingTheAutoSave) {
    store.write("Presets", "PlayList on Exit", "1");
    store.write("Presets", "Auto Save Path", dir.file("auto.KVPL"));
    open();
    playlists.at(0).append(QStringLiteral("a.mp3"), dir.write("a.mp3", "x"));
    QApplication::setActiveWindow(form.get());
    // Shift may be up again by the time the window closes: the keys pressed count.
    QTest::keyClick(form.get(), Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
    ASSERT_TRUE(waitUntil([&] { return !form->isVisible(); }));
    EXPECT_FALSE(QFile::exists(dir.file("auto.KVPL")));
    EXPECT_EQ(store.read("OtherSettings", "EorR", {}), QStringLiteral("E"));
}

TEST_F(Form1Test, DockedPanelsStayAboveTheButtonColumnInTheStrip) {
    open();
    for (bool ctrl : {false, true}) {
        keys.ctrl = ctrl;
        form->cmdSizeFix->click(); // the strip, or the strip with the command bar
        ASSERT_NEAR(heightTwips(), ctrl ? 2125 : 1125, 7);
        const QRect overlap = form->PicBottomBar->geometry() & form->PicButtons->geometry();
        ASSERT_FALSE(overlap.isEmpty());
        QStringList covered;
        for (int x = overlap.left(); x <= overlap.right(); x += 4)
            for (int y = overlap.top(); y <= overlap.bottom(); y += 4) {
                QWidget* hit = form->childAt(x, y);
                if (hit != form->PicBottomBar && !form->PicBottomBar->isAncestorOf(hit))
                    covered
                        << QStringLiteral("%1,%2 %3").arg(x).arg(y).arg(hit ? hit->objectName() : "window");
            }
        EXPECT_EQ(covered, QStringList{}) << (ctrl ? "with the command bar" : "strip");
        const QPoint timeBar = form->Pictimer->mapTo(form.get(), QPoint(0, 2)) +
                               QPoint(form->PicButtons->geometry().center().x(), 0);
        QWidget* hit = form->childAt(timeBar);
        EXPECT_TRUE(hit == form->Pictimer || hit == form->linePoint);
        keys.ctrl = false;
        form->cmdSizeFix->click();
    }
}

TEST_F(Form1Test, OnlyTheNamedClicksSwitchTheTimeModeAndTheColourShow) {
    open();
    // The time: a left click on either label switches it.
    QTest::mouseClick(form->LblTime, Qt::RightButton);
    EXPECT_EQ(form->lblRorL->text(), QStringLiteral("E"));
    QTest::mouseClick(form->LblTime, Qt::LeftButton);
    EXPECT_EQ(form->lblRorL->text(), QStringLiteral("R"));
    EXPECT_FALSE(fields.elapsedMode);
    QTest::mouseClick(form->lblRorL, Qt::LeftButton);
    EXPECT_EQ(form->lblRorL->text(), QStringLiteral("E"));
    EXPECT_TRUE(fields.elapsedMode);

    // The time bar (a right click there seeks), other panels and right clicks
    // leave the colour show alone.
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton})
        QTest::mouseClick(form->Pictimer, button, {}, QPoint(40, 5));
    for (QWidget* w : {static_cast<QWidget*>(form->PicBottomBar), static_cast<QWidget*>(form->PicFileStuff),
                       static_cast<QWidget*>(form->PicButtons)})
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(1, 1));
    for (QWidget* w : {static_cast<QWidget*>(form->lblName), static_cast<QWidget*>(form->LblQueueNum)})
        QTest::mouseClick(w, Qt::RightButton);
    EXPECT_FALSE(form->Timer1->isActive());

    // The song name, the count, the top panel and the window's own background do.
    QTest::mouseClick(form->lblName, Qt::LeftButton);
    EXPECT_TRUE(form->Timer1->isActive());
    QTest::mouseClick(form->LblQueueNum, Qt::LeftButton);
    EXPECT_FALSE(form->Timer1->isActive());
    QTest::mouseClick(form->PicTopBox, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_TRUE(form->Timer1->isActive());
    QPoint background(-1, -1);
    for (int y = 0; y < form->height() && background.x() < 0; y += 2)
        for (int x = 0; x < form->width() && background.x() < 0; x += 2)
            if (!form->childAt(x, y))
                background = QPoint(x, y);
    ASSERT_GE(background.x(), 0);
    QTest::mouseClick(form.get(), Qt::RightButton, {}, background);
    EXPECT_TRUE(form->Timer1->isActive());
    QTest::mouseClick(form.get(), Qt::LeftButton, {}, background);
    EXPECT_FALSE(form->Timer1->isActive());
}

TEST_F(Form1Test, DeviceTabRedrawsTheFreeSpaceBar) {
    store.write("OtherSettings", "DeviceTab", "1");
    store.write("OtherSettings", "DevicePath", dir.path());
    open();
    const int height = form->picRoomLeftBar->height();
    ASSERT_LT(form->lineRoom->height(), height - 1); // the temporary folder's disk has room
    // The device is gone when tab C is next shown: no free space, a full bar.
    state.devicePath = dir.file("unplugged");
    form->ssTab->setCurrentIndex(2);
    EXPECT_GE(form->lineRoom->height(), height - 1);
}

} // namespace

// The main window's panels and the rules that keep its controls in place.
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/KeyState.h"
#include "ui/main/Form1.h"
#include "ui/main/Form1Controls.h"
#include "ui/main/MainLayout.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>

using namespace Form1Controls;
using namespace MainLayout;

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    dockPanels();
    Form_Resize();
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (transport_ &&
        (handleDisplayClick(watched, event) || handleDrop(watched, event) || handleListEvent(watched, event)))
        return true;
    if (event->type() == QEvent::Resize) {
        if (watched == PicTopBox)
            PicTopBox_Resize();
        else if (watched == PicBottomBar)
            PicBottomBar_Resize();
        else if (watched == PicFileStuff)
            PicFileStuff_Resize();
        else if (watched == PicMediaList)
            PicMediaList_Resize();
    }
    return QWidget::eventFilter(watched, event);
}

// The top and bottom panels span the window; the side panels fill the height
// between them, the left one from the left edge, the right one to the right edge.
void Form1::dockPanels() {
    const Design d;
    const double w = widthOf(this), h = heightOf(this);
    const double bottom = c_.fields.commandBarOpen ? d.bottomOpen : d.bottomClosed;
    place(PicTopBox, 0, 0, w, d.topBarHeight);
    place(PicBottomBar, 0, h - bottom, w, bottom);
    const double sideHeight = std::max(0.0, h - d.topBarHeight - bottom);
    place(PicFileStuff, 0, d.topBarHeight, widthOf(PicFileStuff), sideHeight);
    place(PicMediaList, w - widthOf(PicMediaList), d.topBarHeight, widthOf(PicMediaList), sideHeight);
}

void Form1::Form_Resize() {
    const FormResult r = formResize(widthOf(this));
    if (!r.failed) {
        setWidth(PicFileStuff, r.fileStuffWidth);
        setWidth(PicMediaList, r.mediaListWidth);
        dockPanels();
        place(PicButtons, r.buttonsLeft, Design{}.buttonsTop, Design{}.buttonsWidth, Design{}.buttonsHeight);
        for (QWidget* w : {static_cast<QWidget*>(DrvDriveLetter), static_cast<QWidget*>(dirFolders),
                           static_cast<QWidget*>(FileBox)})
            setWidth(w, r.browserWidth);
        for (int i = 0; i < 2; ++i)
            place(lstName[i], 0, heightOf(ssTab), r.listWidth, heightOf(lstName[i]));
        for (QWidget* w : {static_cast<QWidget*>(lstName[2]), static_cast<QWidget*>(filePlayer)})
            place(w, 0, heightOf(ssTab), r.deviceListWidth, heightOf(w));
        setWidth(ssTab, r.listWidth);
        place(cmdListOrFiles, r.listOrFiles.left, heightOf(picBtnHldr2) / 2, r.listOrFiles.width,
              heightOf(cmdListOrFiles));
        place(cmdTransfer, r.transfer.left, heightOf(picBtnHldr2) / 2, r.transfer.width,
              heightOf(cmdTransfer));
        place(cmdDelete, r.deleteButton.left, 0, r.deleteButton.width, heightOf(cmdDelete));
        if (r.presetLefts) {
            for (int i = 0; i < 10; ++i) {
                setWidth(CmdPreset[i], r.presetWidth);
                setLeft(CmdPreset[i], (*r.presetLefts)[i % 5]);
            }
        }
    }
    if (c_.state.onTop)
        CmdONtop_Click();
}

void Form1::PicTopBox_Resize() {
    const TopResult r = topResize(widthOf(PicTopBox));
    setLeft(cmdSizeFix, r.sizeFixLeft);
    setLeft(cmdShowScreen, r.showScreenLeft);
    setWidth(lblName, std::max(0.0, r.showScreenLeft - 60));
}

void Form1::PicBottomBar_Resize() {
    const BottomResult r = bottomResize(widthOf(PicBottomBar));
    setWidth(Pictimer, r.timeBarWidth);
    setWidth(Line1, r.lineEnd);
    setLeft(CmdSmallPlay, r.smallPlayLeft);
    setLeft(CMDSmallStop, r.smallStopLeft);
    setLeft(CMDFileinfo, r.fileInfoLeft);
    setWidth(txtNameBox, r.nameBoxWidth);
    setWidth(lnHappyLine, r.lineEnd);
    setWidth(cmdCommandExpand, r.expandWidth);
    for (int i = 0; i < 4; ++i) {
        setWidth(cmdTabMove[i], r.quarter);
        setLeft(cmdTabMove[i], r.tabMoveLefts[i]);
    }
    for (int i = 0; i < 5; ++i) {
        setWidth(CMDButtonArray[i], r.quarter);
        setLeft(CMDButtonArray[i], r.pictureLefts[i]);
    }
    place(hsVolume, r.volume.left, hsVolume->y() * kTwipsPerPixel, r.volume.width, heightOf(hsVolume));
    setLeft(cmdSavePlayList[1], r.save1Left);
    setLeft(cmdSavePlayList[2], r.save2Left);
    setWidth(lblVolume, r.volumeLabelWidth);
}

void Form1::PicFileStuff_Resize() {
    const LeftResult r = leftResize(heightOf(PicFileStuff));
    if (r.failed)
        return;
    setTop(FileBox, r.fileTop);
    setHeight(FileBox, r.fileHeight);
    for (int i = 0; i < 5; ++i) {
        setTop(CmdPreset[i], r.presetRow0Top);
        setTop(CmdPreset[i + 5], r.presetRow1Top);
    }
}

void Form1::PicMediaList_Resize() {
    const RightResult r = rightResize(heightOf(PicMediaList), widthOf(PicMediaList));
    if (r.failed)
        return;
    for (int i = 0; i < 2; ++i)
        setHeight(lstName[i], r.listHeight);
    setHeight(lstName[2], r.deviceListHeight);
    setHeight(filePlayer, r.deviceListHeight);
    setTop(CmdSearch, r.searchTop);
    setTop(TxtSearch, r.searchTop);
    setTop(LblTime, r.timeTop);
    setTop(lblRorL, r.timeTop);
    setWidth(TxtSearch, r.searchBoxWidth);
    setWidth(LblTime, r.timeWidth);
    place(picRoomLeftBar, r.roomBarLeft, r.roomBarTop, Design{}.roomBarWidth, r.roomBarHeight);
    place(picBtnHldr2, 0, r.deviceButtonsTop, r.deviceButtonsWidth, Design{}.deviceButtonsHeight);
    UpdateRoomLeftBar();
}

void Form1::applyWindowHeight(double twips) {
    resize(width(), std::max(1, toPixels(twips)));
    dockPanels();
}

SizeModes Form1::sizeModes() const {
    return {heightOf(this), c_.fields.fullSize, c_.fields.commandBarOpen, double(c_.fields.rememberedHeight),
            !cmdTabMove[0]->isHidden()};
}

void Form1::applySizeModes(const SizeModes& m) {
    c_.fields.fullSize = m.fullSize;
    c_.fields.commandBarOpen = m.commandBarOpen;
    c_.fields.rememberedHeight = static_cast<int>(std::lround(m.rememberedHeight));
    applyWindowHeight(m.height);
    setTop(cmdCommandExpand, m.commandBarOpen ? kExpandTopOpen : kExpandTopClosed);
    for (QPushButton* b : cmdTabMove)
        b->setVisible(m.tabMoveVisible);
}

void Form1::cmdCommandExpand_Click() {
    applySizeModes(toggleCommandBar(sizeModes()));
}

void Form1::cmdSizeFix_Click() {
    applySizeModes(toggleSizeFix(sizeModes(), c_.keys.ctrlHeld()));
}

void Form1::setWindowSizeTwips(int width, int height) {
    resize(toPixels(width), toPixels(height));
}

#include "ui/main/Form1.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "joystick/JoystickPollingSwitch.h"
#include "playlist/Playlists.h"
#include "ui/ButtonPictures.h"
#include "ui/main/Form1Controls.h"
#include "ui/main/MainLayout.h"
#include "ui/main/PathListProxy.h"
#include "ui/main/PlaylistView.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTabBar>
#include <QTimer>

using namespace Form1Controls;

namespace {
const QColor kLightGrey(0xC0, 0xC0, 0xC0);
const QColor kSearchSingle(0xC0, 0xFF, 0xC0);
} // namespace

Form1::Form1(Form1Context context, QWidget* parent) : QWidget(parent), c_(context) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kivo Player!"));
    QFont small = font();
    small.setPointSize(8);
    setFont(small);

    PicTopBox = panel(this, QStringLiteral("PicTopBox"));
    PicBottomBar = panel(this, QStringLiteral("PicBottomBar"));
    PicFileStuff = panel(this, QStringLiteral("PicFileStuff"));
    PicMediaList = panel(this, QStringLiteral("PicMediaList"));
    PicButtons = panel(this, QStringLiteral("PicButtons"));
    // The docked panels lie above the button column: in the strip the bottom
    // bar covers it.
    PicButtons->lower();
    createTopBox();
    createBottomBar();
    createFileStuff();
    createMediaList();
    createButtons();
    createTimers();
    nameControls();
    applyPanelColour(kLightGrey);
    wireEvents();
    wireTransport();
    wireBrowser();
    wireEditing();
    wireDeviceTab();
    wireKeys();
    setWindowSizeTwips(6470, 4800);
}

Form1::~Form1() = default;

void Form1::createTopBox() {
    lblName = new QLabel(QStringLiteral("Kivo Player!"), PicTopBox);
    lblName->setObjectName(QStringLiteral("lblName"));
    lblName->setTextFormat(Qt::PlainText); // a name is shown as written, also one that looks like markup
    lblName->setAutoFillBackground(true);
    QFont bold = lblName->font();
    bold.setBold(true);
    lblName->setFont(bold);
    place(lblName, 60, 45, 3000, 285);
    cmdShowScreen = button(PicTopBox, QStringLiteral("cmdShowScreen"), QStringLiteral("S"));
    cmdShowScreen->setToolTip(tr("Show or hide the video window (F10)"));
    cmdSizeFix = button(PicTopBox, QStringLiteral("cmdSizeFix"), QStringLiteral("A"));
    cmdSizeFix->setToolTip(tr("Shrink the window to a strip, or restore it"));
    for (QPushButton* b : {cmdShowScreen, cmdSizeFix})
        place(b, 0, 0, 375, 375);
    for (int i = 0; i < 3; ++i) {
        lstFull[i] = new QListView(PicTopBox);
        lstFull[i]->setObjectName(QStringLiteral("lstFull(%1)").arg(i));
        lstFull[i]->setUniformItemSizes(true);
        lstFull[i]->setModel(new PathListProxy(&c_.playlists.at(i), lstFull[i]));
        lstFull[i]->hide();
    }
}

void Form1::createBottomBar() {
    Pictimer = panel(PicBottomBar, QStringLiteral("Pictimer"));
    Pictimer->setToolTip(tr("Right-click to jump to a place in the track"));
    place(Pictimer, 0, 0, 6000, 240);
    linePoint = panel(Pictimer, QStringLiteral("linePoint"));
    place(linePoint, 0, 0, 30, 240);
    txtNameBox = new QLineEdit(PicBottomBar);
    txtNameBox->setObjectName(QStringLiteral("txtNameBox"));
    txtNameBox->setReadOnly(true);
    place(txtNameBox, 0, 0, 6000, 240);
    CmdSmallPlay = button(PicBottomBar, QStringLiteral("CmdSmallPlay"), QString());
    CmdSmallPlay->setIcon(buttonPicture(Picture::Play));
    CMDSmallStop = button(PicBottomBar, QStringLiteral("CMDSmallStop"), QString());
    CMDSmallStop->setIcon(buttonPicture(Picture::Stop));
    CMDFileinfo = button(PicBottomBar, QStringLiteral("CMDFileinfo"), QStringLiteral("?"));
    for (QWidget* w : {static_cast<QWidget*>(txtNameBox), static_cast<QWidget*>(CmdSmallPlay),
                       static_cast<QWidget*>(CMDSmallStop), static_cast<QWidget*>(CMDFileinfo)}) {
        place(w, 0, 0, w == txtNameBox ? 6000 : 375, 240);
        w->hide();
    }
    Line1 = line(PicBottomBar, QStringLiteral("Line1"), false);
    place(Line1, 0, 240, 6000, 15);

    cmdCommandExpand = button(PicBottomBar, QStringLiteral("cmdCommandExpand"), QString());
    cmdCommandExpand->setToolTip(tr("Open or close the command bar"));
    place(cmdCommandExpand, -30, MainLayout::kExpandTopClosed, 6000, 135);

    const std::array<const char*, 4> moves = {"Move A->B", "Move B->A", "Copy A->B", "Copy B->A"};
    for (int i = 0; i < 4; ++i) {
        cmdTabMove[i] =
            button(PicBottomBar, QStringLiteral("cmdTabMove(%1)").arg(i), QString::fromLatin1(moves[i]));
        place(cmdTabMove[i], 0, 570, 1500, 300);
        cmdTabMove[i]->hide();
    }
    const std::array<Picture, 5> pictures = {Picture::Play, Picture::Stop, Picture::Back, Picture::Pause,
                                             Picture::Forward};
    for (int i = 0; i < 5; ++i) {
        CMDButtonArray[i] = button(PicBottomBar, QStringLiteral("CMDButtonArray(%1)").arg(i), QString());
        CMDButtonArray[i]->setIcon(buttonPicture(pictures[i]));
        place(CMDButtonArray[i], 0, 255, 1500, 300);
    }
    CMDButtonArray[1]->hide(); // Play and Stop share one place; Stop shows while playing.

    lblVolume = new QLabel(QStringLiteral("(-)    Volume    (+)"), PicBottomBar);
    lblVolume->setObjectName(QStringLiteral("lblVolume"));
    lblVolume->setAlignment(Qt::AlignCenter);
    lblVolume->setAutoFillBackground(true); // the panel colour is not its own
    place(lblVolume, 0, 885, 6000, 150);
    hsVolume = new QScrollBar(Qt::Horizontal, PicBottomBar);
    hsVolume->setObjectName(QStringLiteral("hsVolume"));
    hsVolume->setRange(-5000, 0);
    hsVolume->setSingleStep(50);
    hsVolume->setPageStep(250);
    hsVolume->setValue(0);
    place(hsVolume, 0, 1035, 5000, 180);
    for (int i = 0; i < 3; ++i) {
        cmdSavePlayList[i] = button(i == 0 ? PicMediaList : PicBottomBar,
                                    QStringLiteral("cmdSavePlayList(%1)").arg(i), QString());
        cmdSavePlayList[i]->setIcon(buttonPicture(Picture::Diskette));
        place(cmdSavePlayList[i], 0, 885, 375, 330);
    }
    cmdSavePlayList[0]->setToolTip(tr("Save this playlist as…"));
    cmdSavePlayList[1]->setToolTip(tr("Save this playlist as…"));
    cmdSavePlayList[2]->setToolTip(tr("Quick save to the auto-save file"));
    cmdSavePlayList[0]->hide();
    lnHappyLine = line(PicBottomBar, QStringLiteral("lnHappyLine"), false);
    place(lnHappyLine, 0, 870, 6000, 15);
    // The closed bar shows only the time bar and the strip that opens it.
    cmdCommandExpand->raise();
}

void Form1::createFileStuff() {
    DrvDriveLetter = new DriveList(PicFileStuff);
    DrvDriveLetter->setObjectName(QStringLiteral("DrvDriveLetter"));
    place(DrvDriveLetter, 0, 0, 2500, MainLayout::Design{}.driveHeight);
    dirFolders = new FolderList(PicFileStuff);
    dirFolders->setObjectName(QStringLiteral("dirFolders"));
    place(dirFolders, 0, MainLayout::Design{}.driveHeight, 2500, MainLayout::Design{}.folderHeight);
    FileBox = new FileList(PicFileStuff);
    FileBox->setObjectName(QStringLiteral("FileBox"));
    tmpFileList = new FileList(PicFileStuff);
    tmpFileList->setObjectName(QStringLiteral("tmpFileList"));
    tmpFileList->hide();
    for (int i = 0; i < 10; ++i) {
        CmdPreset[i] = button(PicFileStuff, QStringLiteral("CmdPreset(%1)").arg(i), QString::number(i + 1));
        place(CmdPreset[i], 0, 0, 500, MainLayout::Design{}.presetHeight);
    }
}

void Form1::createMediaList() {
    const MainLayout::Design d;
    ssTab = new QTabBar(PicMediaList);
    ssTab->setObjectName(QStringLiteral("ssTab"));
    ssTab->setAutoFillBackground(true);
    ssTab->addTab(QStringLiteral("A"));
    ssTab->addTab(QStringLiteral("B"));
    ssTab->setExpanding(true);
    place(ssTab, 0, 0, 2500, d.tabHeight);
    for (int i = 0; i < 3; ++i) {
        lstName[i] = new PlaylistView(PicMediaList);
        lstName[i]->setObjectName(QStringLiteral("lstName(%1)").arg(i));
        lstName[i]->setModel(&c_.playlists.at(i));
        lstName[i]->setUniformItemSizes(true);
        lstName[i]->setSelectionMode(QAbstractItemView::SingleSelection);
        lstName[i]->setEditTriggers(QAbstractItemView::NoEditTriggers);
        lstName[i]->setAcceptDrops(true);
        lstName[i]->setDropIndicatorShown(false);
        place(lstName[i], 0, d.tabHeight, 2500, 2000);
        lstName[i]->setVisible(i == 0);
    }
    filePlayer = new FileList(PicMediaList);
    filePlayer->setObjectName(QStringLiteral("filePlayer"));
    filePlayer->hide();
    CmdSearch = button(PicMediaList, QStringLiteral("CmdSearch"), QStringLiteral("Find"));
    place(CmdSearch, 0, 0, d.searchButtonWidth, d.searchHeight);
    TxtSearch = new QLineEdit(PicMediaList);
    TxtSearch->setObjectName(QStringLiteral("TxtSearch"));
    setBackground(TxtSearch, kSearchSingle);
    QPalette searchPalette = TxtSearch->palette();
    searchPalette.setColor(QPalette::Base, kSearchSingle);
    TxtSearch->setPalette(searchPalette);
    place(TxtSearch, d.searchButtonWidth - 50, 0, 1500, d.searchHeight);
    picRoomLeftBar = panel(PicMediaList, QStringLiteral("picRoomLeftBar"));
    picRoomLeftBar->setFrameShape(QFrame::Box);
    place(picRoomLeftBar, 0, d.tabHeight, d.roomBarWidth, 2000);
    lineRoom = new QFrame(picRoomLeftBar);
    lineRoom->setObjectName(QStringLiteral("lineRoom"));
    lineRoom->setAutoFillBackground(true);
    setBackground(lineRoom, QColor(255, 0, 0));
    picRoomLeftBar->hide();
    picBtnHldr2 = panel(PicMediaList, QStringLiteral("picBtnHldr2"));
    place(picBtnHldr2, 0, 0, 2500, d.deviceButtonsHeight);
    cmdPlayerClear = button(picBtnHldr2, QStringLiteral("cmdPlayerClear"), QStringLiteral("Clear all"));
    cmdDelete = button(picBtnHldr2, QStringLiteral("cmdDelete"), QStringLiteral("Del"));
    cmdTransfer = button(picBtnHldr2, QStringLiteral("cmdTransfer"), QStringLiteral("Transfer"));
    cmdListOrFiles = button(picBtnHldr2, QStringLiteral("cmdListOrFiles"), QStringLiteral("Files"));
    for (QPushButton* b : {cmdPlayerClear, cmdDelete, cmdTransfer, cmdListOrFiles})
        place(b, 0, 0, d.playerClearWidth, d.deviceButtonsHeight / 2);
    for (QPushButton* b : {cmdListOrFiles, cmdTransfer})
        setTop(b, d.deviceButtonsHeight / 2);
    picBtnHldr2->hide();
    lblRorL = new QLabel(QStringLiteral("E"), PicMediaList);
    lblRorL->setObjectName(QStringLiteral("lblRorL"));
    lblRorL->setAlignment(Qt::AlignCenter);
    lblRorL->setAutoFillBackground(true);
    place(lblRorL, 0, 0, d.timeModeWidth, d.timeHeight);
    LblTime = new QLabel(QStringLiteral("00:00"), PicMediaList);
    LblTime->setObjectName(QStringLiteral("LblTime"));
    LblTime->setAlignment(Qt::AlignCenter);
    LblTime->setAutoFillBackground(true);
    place(LblTime, d.timeModeWidth - 20, 0, 2000, d.timeHeight);
    cmdSavePlayList[0]->raise();
}

void Form1::createButtons() {
    const double rowHeight = 3450.0 / 13;
    double top = 0;
    auto row = [&](QWidget* w) {
        place(w, 0, top, 1215, rowHeight);
        top += rowHeight;
    };
    CmdPLAY = button(PicButtons, QStringLiteral("CmdPLAY"), QStringLiteral("&Play"));
    CmdSTOP = button(PicButtons, QStringLiteral("CmdSTOP"), QStringLiteral("S&TOP"));
    CmdPause = button(PicButtons, QStringLiteral("CmdPause"), QStringLiteral("Pa&ws"));
    cmdSkip = button(PicButtons, QStringLiteral("cmdSkip"), QStringLiteral("S&kip"));
    CmdPreSkip = button(PicButtons, QStringLiteral("CmdPreSkip"), QStringLiteral("&Back"));
    chkRandom = new QCheckBox(QStringLiteral("&Random"), PicButtons);
    chkRandom->setObjectName(QStringLiteral("chkRandom"));
    clickOnAccessKeyAtOnce(chkRandom);
    chkRandom->setAutoFillBackground(true);
    cmdAdd = button(PicButtons, QStringLiteral("cmdAdd"), QStringLiteral("A&dd"));
    CmdAddAll = button(PicButtons, QStringLiteral("CmdAddAll"), QStringLiteral("A&ll"));
    CMdClearAll = button(PicButtons, QStringLiteral("CMdClearAll"), QStringLiteral("&Clear All"));
    LblQueueNum = new QLabel(QStringLiteral("0"), PicButtons);
    LblQueueNum->setObjectName(QStringLiteral("LblQueueNum"));
    LblQueueNum->setAlignment(Qt::AlignCenter);
    LblQueueNum->setAutoFillBackground(true);
    CmdOptions = button(PicButtons, QStringLiteral("CmdOptions"), QStringLiteral("Options"));
    cmdExit = button(PicButtons, QStringLiteral("cmdExit"), QStringLiteral("E&xit"));
    for (QWidget* w :
         std::initializer_list<QWidget*>{CmdPLAY, CmdSTOP, CmdPause, cmdSkip, CmdPreSkip, chkRandom, cmdAdd,
                                         CmdAddAll, CMdClearAll, LblQueueNum, CmdOptions, cmdExit})
        row(w);
    CmdONtop = button(PicButtons, QStringLiteral("CmdONtop"), QStringLiteral("on"));
    cmdNoontop = button(PicButtons, QStringLiteral("cmdNoontop"), QStringLiteral("off"));
    CmdONtop->setToolTip(tr("Keep the window on top"));
    cmdNoontop->setToolTip(tr("Let other windows cover this one"));
    place(CmdONtop, 0, top, 1215.0 / 2, rowHeight);
    place(cmdNoontop, 1215.0 / 2, top, 1215.0 / 2, rowHeight);
}

void Form1::createTimers() {
    tmrTime = new QTimer(this);
    tmrTime->setObjectName(QStringLiteral("tmrTime"));
    tmrTime->setInterval(500);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(85);
    tmrJoy = new QTimer(this);
    tmrJoy->setObjectName(QStringLiteral("tmrJoy"));
    tmrJoy->setInterval(100);
}

void Form1::wireEvents() {
    PicTopBox->installEventFilter(this);
    PicBottomBar->installEventFilter(this);
    PicFileStuff->installEventFilter(this);
    PicMediaList->installEventFilter(this);
    connect(cmdCommandExpand, &QPushButton::clicked, this, &Form1::cmdCommandExpand_Click);
    connect(cmdSizeFix, &QPushButton::clicked, this, &Form1::cmdSizeFix_Click);
    connect(CmdONtop, &QPushButton::clicked, this, &Form1::CmdONtop_Click);
    connect(cmdNoontop, &QPushButton::clicked, this, &Form1::cmdNoontop_Click);
    connect(cmdExit, &QPushButton::clicked, this, &Form1::cmdExit_Click);
    connect(CmdOptions, &QPushButton::clicked, this, &Form1::CmdOptions_Click);
    // Alt+Shift+X closes as the close box does with Shift held: the auto-save
    // is left alone even when Shift is up by the time the window closes.
    auto* exitWithShift = new QShortcut(QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_X), this);
    connect(exitWithShift, &QShortcut::activated, this, [this] {
        exitWithShift_ = true;
        cmdExit_Click();
    });
    connect(ssTab, &QTabBar::currentChanged, this, [this](int tab) { c_.playlists.setShown(tab); });
    connect(&c_.playlists, &Playlists::shownChanged, this, [this](int previous, int current) {
        if (ssTab->currentIndex() != current)
            ssTab->setCurrentIndex(current);
        ssTab_Click(previous);
    });
    connect(&c_.playlists, &Playlists::tabCountChanged, this, [this](int count) {
        while (ssTab->count() < count)
            ssTab->addTab(QStringLiteral("C"));
        while (ssTab->count() > count)
            ssTab->removeTab(ssTab->count() - 1);
    });
}

void Form1::ssTab_Click(int previousTab) {
    const int tab = c_.playlists.shownIndex();
    if (CmdPLAY->isHidden() && !cmdExit->isHidden())
        CMdClearAll->setEnabled(tab != c_.state.playingPlaylist);
    lstName[tab]->show();
    if (previousTab != tab)
        lstName[previousTab]->hide();
    cmdSizeFix->setText(QString(QChar(u'A' + tab)));
    const bool device = tab == Playlists::kDevice;
    picBtnHldr2->setVisible(device);
    picRoomLeftBar->setVisible(device);
    if (device)
        UpdateRoomLeftBar();
    filePlayer->setVisible(device && cmdListOrFiles->text() == QLatin1String("List"));
    showCountOfShown();
}

void Form1::showCountOfShown() {
    LblQueueNum->setText(QString::number(c_.playlists.shown().count()));
}

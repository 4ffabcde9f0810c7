// The main window's transport, clock and colour displays, and the entry click.
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/KeyState.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "ui/main/Form1.h"
#include "ui/main/Form1Controls.h"
#include "ui/main/PlaylistView.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include <QCheckBox>
#include <QEvent>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTabBar>
#include <QTimer>

using namespace Form1Controls;

namespace {
const QColor kNameBoxPlaylist(0x80, 0xFF, 0xFF); // 0xFFFF80: light cyan
}

void Form1::wireTransport() {
    transport_ = new Transport({c_.state, c_.fields, c_.playlists, c_.keys, *this, c_.host, *tmrTime}, this);
    Transport* t = transport_;
    connect(CmdPLAY, &QPushButton::clicked, t, &Transport::CmdPLAY_Click);
    connect(CmdSTOP, &QPushButton::clicked, t, &Transport::CmdSTOP_Click);
    connect(CmdPause, &QPushButton::clicked, t, &Transport::CmdPause_Click);
    connect(cmdSkip, &QPushButton::clicked, t, &Transport::cmdSkip_Click);
    connect(CmdPreSkip, &QPushButton::clicked, t, &Transport::CmdPreSkip_Click);
    connect(CmdSmallPlay, &QPushButton::clicked, t, &Transport::CmdSmallPlay_Click);
    connect(CMDSmallStop, &QPushButton::clicked, t, &Transport::CMDSmallStop_Click);
    connect(cmdShowScreen, &QPushButton::clicked, t, &Transport::cmdShowScreen_Click);
    connect(chkRandom, &QCheckBox::toggled, t, &Transport::setRandom);
    // The picture buttons: Play, Stop, Back, Pause, Skip.
    const std::array<void (Transport::*)(), 5> pictures = {
        &Transport::CmdPLAY_Click, &Transport::CmdSTOP_Click, &Transport::CmdPreSkip_Click,
        &Transport::CmdPause_Click, &Transport::cmdSkip_Click};
    for (int i = 0; i < 5; ++i)
        connect(CMDButtonArray[i], &QPushButton::clicked, t, pictures[i]);
    connect(hsVolume, &QScrollBar::valueChanged, t, &Transport::hsVolume_Change);
    connect(tmrTime, &QTimer::timeout, t, &Transport::tmrTime_Timer);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    for (int i = 0; i < 3; ++i) {
        connect(playlistView(i), &PlaylistView::picked, this, [this, i] { lstName_Click(i); });
        connect(lstName[i], &QListView::doubleClicked, this,
                [this](const QModelIndex& index) { transport_->lstName_DblClick(index.row()); });
    }
    for (QWidget* w :
         std::initializer_list<QWidget*>{Pictimer, LblTime, lblRorL, lblName, LblQueueNum, txtNameBox})
        w->installEventFilter(this);
    oneClickPerDoubleClick(this, {LblTime, lblRorL, lblName, LblQueueNum, PicTopBox, this});
}

bool Form1::handleDisplayClick(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress)
        return handleDisplayKey(watched, static_cast<QKeyEvent*>(event)->key());
    if (event->type() == QEvent::MouseButtonPress && watched == Pictimer) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        transport_->Pictimer_MouseDown(mouse->button(), mouse->position().x() * MainLayout::kTwipsPerPixel);
        return true;
    }
    if (event->type() != QEvent::MouseButtonRelease)
        return false;
    // The time and the colour show answer left clicks only (the right button
    // is the time bar's, to seek).
    const bool display = watched == LblTime || watched == lblRorL || watched == lblName ||
                         watched == LblQueueNum || watched == PicTopBox;
    if (display && static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return true;
    if (watched == LblTime || watched == lblRorL)
        LblTime_Click();
    else if (watched == lblName || watched == LblQueueNum || watched == PicTopBox)
        toggleColourShow();
    else if (watched == txtNameBox)
        txtNameBox_Click();
    else
        return false;
    return true;
}

// The keyboard's way to what the mouse does on the time bar and the title:
// the arrows jump 5 s, Page Up and Page Down 30 s; Space or Enter on the
// title starts or stops the colour show.
bool Form1::handleDisplayKey(QObject* watched, int key) {
    if (watched == Pictimer) {
        static const QHash<int, double> jumps = {
            {Qt::Key_Left, -5}, {Qt::Key_Right, 5}, {Qt::Key_PageDown, -30}, {Qt::Key_PageUp, 30}};
        if (!jumps.contains(key))
            return false;
        transport_->jumpBy(jumps.value(key));
        return true;
    }
    if (watched == lblName && (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        toggleColourShow();
        return true;
    }
    return false;
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        hideNamePanel();
}

// A click on the window's own background toggles the colour show too. Clicks
// that no control takes (on the time bar, on a label, on a panel) come here as
// well: they are not on the background.
void Form1::mouseReleaseEvent(QMouseEvent* event) {
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && !childAt(event->position().toPoint()))
        toggleColourShow();
}

void Form1::lstName_Click(int list) {
    if (list != c_.playlists.shownIndex())
        return;
    const PlaylistModel& model = c_.playlists.at(list);
    const int row = playlistView(list)->selectedPosition();
    c_.fields.selectedIndex = row;
    c_.fields.selectedName = model.name(row);
    c_.state.selectedPath = model.path(row);
    if (c_.fields.selectedName.isEmpty() || c_.fields.selectedName == QLatin1String(" ")) {
        hideNamePanel();
        return;
    }
    showNameBoxFor(c_.fields.selectedName, model.id(row));
}

void Form1::showNameBoxFor(const QString& name, quint64 entry) {
    c_.fields.nameBoxEntry = entry;
    c_.fields.nameBoxFile.clear();
    txtNameBox->setText(name);
    QPalette p = txtNameBox->palette();
    p.setColor(QPalette::Base, kNameBoxPlaylist);
    txtNameBox->setPalette(p);
    CmdSmallPlay->setVisible(!CmdPLAY->isHidden());
    CMDSmallStop->show();
    CMDFileinfo->show();
    txtNameBox->show();
}

void Form1::txtNameBox_Click() {
    hideNamePanel();
}

void Form1::LblTime_Click() {
    const bool toRemaining = lblRorL->text() == QLatin1String("E");
    lblRorL->setText(toRemaining ? QStringLiteral("R") : QStringLiteral("E"));
    c_.fields.elapsedMode = !toRemaining;
}

void Form1::toggleColourShow() {
    if (Timer1->isActive()) {
        Timer1->stop();
        c_.fields.randomColour = false;
        return;
    }
    c_.fields.randomColour = c_.keys.ctrlHeld();
    Timer1->start();
}

void Form1::Timer1_Timer() {
    const ColourShow::Colours colours = colourShow_.tick(c_.state, c_.fields.randomColour);
    applyPanelColour(colours.panel);
    setMarkerColour(colours.marker);
    for (QWidget* w :
         std::initializer_list<QWidget*>{dirFolders, FileBox, lstName[0], lstName[1], DrvDriveLetter}) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, colours.lists);
        if (w == DrvDriveLetter) // its field is painted as a button (the lists' scroll bars keep theirs)
            p.setColor(QPalette::Button, colours.lists);
        w->setPalette(p);
    }
}

void Form1::setPlayShown(bool shown, bool pictures) {
    CmdPLAY->setVisible(shown);
    if (pictures) {
        CMDButtonArray[0]->setVisible(shown);
        CMDButtonArray[1]->setVisible(!shown);
    }
}

void Form1::setClearAllEnabled(bool enabled) {
    CMdClearAll->setEnabled(enabled);
}

void Form1::hideNamePanel() {
    for (QWidget* w : std::initializer_list<QWidget*>{txtNameBox, CmdSmallPlay, CMDSmallStop, CMDFileinfo})
        w->hide();
}

void Form1::hideSmallButtons() {
    for (QWidget* w : std::initializer_list<QWidget*>{CmdSmallPlay, CMDSmallStop, CMDFileinfo})
        w->hide();
}

void Form1::setSmallPlayShown(bool shown) {
    CmdSmallPlay->setVisible(shown);
}

QString Form1::nameBoxText() const {
    return txtNameBox->text();
}

void Form1::setTitle(const QString& title) {
    setWindowTitle(title);
    lblName->setText(title);
}

void Form1::setPauseIndicator(bool paused) {
    if (paused)
        setBackground(cmdSizeFix, QColor(255, 0, 0));
    else
        cmdSizeFix->setPalette(QPalette());
}

void Form1::setMarkerX(double twips) {
    linePoint->move(MainLayout::toPixels(twips), 0);
}

double Form1::windowWidthTwips() const {
    return widthOf(this);
}

void Form1::setTimeText(const QString& text) {
    LblTime->setText(text);
}

void Form1::closeMainWindow() {
    close();
}

// The main window's load and unload, and the always-on-top layer.
#include "browser/BrowserPaths.h"
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "platform/KeyState.h"
#include "playlist/Playlists.h"
#include "ui/main/Form1.h"
#include "ui/main/Form1Controls.h"
#include "ui/main/browser/DriveList.h"
#include "ui/main/browser/FileList.h"
#include "ui/main/browser/FolderList.h"
#include "ui/options/frmOtp.h"
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

using namespace Form1Controls;

namespace {
// The key state with Shift counted as held.
class ShiftHeld : public KeyState {
public:
    explicit ShiftHeld(const KeyState& keys) : keys_(keys) {}
    bool shiftHeld() const override { return true; }
    bool ctrlHeld() const override { return keys_.ctrlHeld(); }

private:
    const KeyState& keys_;
};
} // namespace

LifecycleContext Form1::lifecycle(KeyState& keys) const {
    return {c_.store, c_.table, keys, c_.dialogs, c_.state, c_.fields, c_.playlists};
}

QStringList Form1::Form_Load(const QString& commandLine) {
    LifecycleContext context = lifecycle(c_.keys);
    return runStartup(context, *this, c_.state.loginName, commandLine);
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_QueryUnload();
    Form_Unload();
    event->accept();
    // An open options window stays, so that what it holds can still be
    // stored; the program ends when it closes. Hiding this window would hide
    // it too, so it becomes a window of its own first.
    auto* options = findChild<frmOtp*>(QString(), Qt::FindDirectChildrenOnly);
    if (options && options->isVisible()) {
        const QRect where = options->geometry();
        options->setParent(nullptr, options->windowFlags());
        options->setGeometry(where);
        options->show();
        connect(options, &QObject::destroyed, qApp, &QCoreApplication::quit);
    } else
        QCoreApplication::quit();
}

void Form1::Form_QueryUnload() {
    // Out of the top layer, without moving or sizing; the closing is never cancelled.
    if (onTop_)
        cmdNoontop_Click();
}

void Form1::Form_Unload() {
    if (unloaded_)
        return;
    unloaded_ = true;
    c_.host.closeScreen();
    ShiftHeld shift(c_.keys);
    LifecycleContext context = lifecycle(exitWithShift_ ? static_cast<KeyState&>(shift) : c_.keys);
    runShutdown(context, lblRorL->text());
}

void Form1::openHandedOver(const QString& commandLine) {
    if (loadCommandLinePlaylist(c_.playlists, commandLine, c_.dialogs))
        showCountOfShown();
    raiseWindow();
}

void Form1::cmdExit_Click() {
    close();
}

bool Form1::isOnTop() const {
    return onTop_;
}

void Form1::CmdONtop_Click() {
    c_.state.onTop = true;
    if (onTop_)
        return;
    onTop_ = true;
    setStaysOnTop(true);
}

void Form1::cmdNoontop_Click() {
    c_.state.onTop = false;
    if (!onTop_)
        return;
    onTop_ = false;
    setStaysOnTop(false);
}

// Only the stacking changes: QWidget::setWindowFlag would make a new native
// window (a new id for the desktop's tools, the window hidden and shown).
void Form1::setStaysOnTop(bool on) {
    const Qt::WindowFlags flags =
        on ? windowFlags() | Qt::WindowStaysOnTopHint : windowFlags() & ~Qt::WindowStaysOnTopHint;
    overrideWindowFlags(flags);
    if (QWindow* window = windowHandle())
        window->setFlags(flags);
}

void Form1::setPresetCaption(int index, const QString& caption) {
    CmdPreset.at(index)->setText(caption);
}

// The window, its panels and the time bar paint the colour; the few controls
// that take it besides get it in their palettes, which their children do not share.
void Form1::applyPanelColour(const QColor& colour) {
    if (backColour_ != colour) {
        backColour_ = colour;
        update();
    }
    for (Panel* p : {Pictimer, PicFileStuff, PicMediaList, PicTopBox, PicBottomBar, PicButtons})
        p->setBackColour(colour);
    for (QWidget* w : std::initializer_list<QWidget*>{lblName, chkRandom, LblQueueNum, ssTab})
        setBackground(w, colour);
}

void Form1::paintEvent(QPaintEvent*) {
    if (backColour_.isValid())
        QPainter(this).fillRect(rect(), backColour_);
}

void Form1::openStartFolder(const QString& autoSavePath) {
    // The drive follows the folder of the auto-save file; the folder list only
    // when that folder exists.
    const QString folder = autoSaveStartFolder(autoSavePath);
    DrvDriveLetter->setDrive(folder);
    dirFolders->setPath(folder);
}

void Form1::setTimeDisplayRemaining() {
    lblRorL->setText(QStringLiteral("R"));
}

void Form1::setBrowserPattern(const QString& pattern) {
    FileBox->setPattern(pattern);
    tmpFileList->setPattern(pattern);
}

void Form1::fitSmallButtons() {
    for (QPushButton* b : {CmdSmallPlay, CMDSmallStop, CMDFileinfo})
        setHeight(b, heightOf(txtNameBox));
}

void Form1::setMarkerColour(const QColor& colour) {
    linePoint->setBackColour(colour);
}

void Form1::showCount(int count) {
    LblQueueNum->setText(QString::number(count));
}

void Form1::enableClearAll() {
    CMdClearAll->setEnabled(true);
}

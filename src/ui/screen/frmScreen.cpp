#include "ui/screen/frmScreen.h"
#include "core/AppState.h"
#include <QCloseEvent>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

frmScreen::frmScreen(AppState& state, std::function<QWidget*()> makeSurface)
    : state_(state), makeSurface_(std::move(makeSurface)) {
    setObjectName(QStringLiteral("frmScreen"));
    setWindowTitle(QStringLiteral("Kivo Player Screen"));
    setAttribute(Qt::WA_QuitOnClose, false);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
    cmdOnTopOnScreen = new QPushButton(QStringLiteral("ON"), this);
    cmdOnTopOnScreen->setObjectName(QStringLiteral("cmdOnTopOnScreen"));
    cmdOnTopOffScreen = new QPushButton(QStringLiteral("Off"), this);
    cmdOnTopOffScreen->setObjectName(QStringLiteral("cmdOnTopOffScreen"));
    cmdOnTopOnScreen->setGeometry(0, 0, 32, 18);
    cmdOnTopOffScreen->setGeometry(32, 0, 32, 18);
    cmdOnTopOnScreen->setAccessibleName(tr("Keep the video window on top"));
    cmdOnTopOffScreen->setAccessibleName(tr("Let other windows cover the video window"));
    for (QPushButton* b : {cmdOnTopOnScreen, cmdOnTopOffScreen}) {
        b->setFocusPolicy(Qt::TabFocus); // a click leaves the focus on the video
        b->raise();
    }
    connect(cmdOnTopOnScreen, &QPushButton::clicked, this, &frmScreen::cmdOnTopOnScreen_Click);
    connect(cmdOnTopOffScreen, &QPushButton::clicked, this, &frmScreen::cmdOnTopOffScreen_Click);
    resize(320, 240);
}

void frmScreen::fitToVideo(QSize size) {
    if (!size.isValid() || size.isEmpty())
        return;
    // No larger than the screen has room for, frame included, at the video's shape; and moved back onto
    // the screen where it would reach past it, so that its close box stays in reach.
    const QRect room = screen()->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize inside = room.size() - frame;
    if (size.width() > inside.width() || size.height() > inside.height())
        size = size.scaled(inside, Qt::KeepAspectRatio);
    resize(size);
    const QRect framed = frameGeometry();
    const int x =
        std::clamp(framed.x(), room.left(), std::max(room.left(), room.right() + 1 - framed.width()));
    const int y =
        std::clamp(framed.y(), room.top(), std::max(room.top(), room.bottom() + 1 - framed.height()));
    if (x != framed.x() || y != framed.y())
        move(x, y);
}

void frmScreen::setOnTop(bool on) {
    if (isOnTop() == on)
        return;
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, on);
    if (wasVisible)
        QWidget::show(); // changing the flag hides a shown window
}

void frmScreen::cmdOnTopOnScreen_Click() {
    setOnTop(true);
}

void frmScreen::cmdOnTopOffScreen_Click() {
    setOnTop(false);
}

void frmScreen::closeForGood() {
    closingForGood_ = true;
    close();
}

void frmScreen::closeEvent(QCloseEvent* event) {
    if (closingForGood_) {
        event->accept();
        return;
    }
    // The close box only hides the window; the sound goes on.
    if (state_.videoOnTop)
        cmdOnTopOffScreen_Click();
    QWidget::hide();
    event->ignore();
}

void frmScreen::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (surface_)
        surface_->setGeometry(rect());
}

void frmScreen::showEvent(QShowEvent* event) {
    if (!surface_) {
        surface_ = makeSurface_();
        surface_->setParent(this);
        surface_->setObjectName(QStringLiteral("MMControl1"));
        surface_->setAccessibleName(tr("Video"));
        surface_->setGeometry(rect());
        surface_->lower(); // the buttons stay on top of the video
        surface_->show();
    }
    QWidget::showEvent(event);
}

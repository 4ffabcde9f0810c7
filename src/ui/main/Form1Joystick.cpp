// The game pad in the main window: the polling timer and what the pad's actions do.
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "joystick/JoystickAssignment.h"
#include "joystick/JoystickPolling.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "ui/main/Form1.h"
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

void Form1::setJoystickPolling(bool on) {
    // With joystick use on the pad is polled even when none is plugged in yet: one plugged in later is found
    // at the next tick, and a tick without a pad changes nothing.
    if (!on) {
        tmrJoy->stop();
        return;
    }
    if (!joystickPolling_) {
        JoystickTarget& target = *this;
        joystickPolling_ =
            std::make_unique<JoystickPolling>(joystickDevice(), target, c_.state.joystickCodes);
        connect(tmrJoy, &QTimer::timeout, this, [this] { joystickPolling_->tmrJoy_Timer(); });
    }
    tmrJoy->start();
}

JoystickDevice& Form1::joystickDevice() {
    if (!joystickDevice_)
        joystickDevice_ = std::make_unique<SdlJoystickDevice>();
    return *joystickDevice_;
}

void Form1::selectTab(int index) {
    if (index < ssTab->count())
        ssTab->setCurrentIndex(index);
}

bool Form1::fullSize() const {
    return c_.fields.fullSize;
}

void Form1::toggleSize() {
    applySizeModes(MainLayout::toggleSizeFix(sizeModes(), false));
}

void Form1::run(JoystickAction action) {
    switch (action) {
    case JoystickAction::PlayStop:
        if (CmdPLAY->isHidden())
            transport_->CmdSTOP_Click();
        else
            transport_->CmdPLAY_Click();
        break;
    case JoystickAction::Exit:
        cmdExit_Click();
        break;
    case JoystickAction::Pause:
        transport_->CmdPause_Click();
        break;
    case JoystickAction::Skip:
        transport_->cmdSkip_Click();
        break;
    case JoystickAction::BringToTop:
        show();
        raise();
        activateWindow();
        break;
    case JoystickAction::Special1:
        toggleColourShow();
        break;
    case JoystickAction::Special2:
        transport_->CmdPreSkip_Click();
        break;
    case JoystickAction::Random:
        chkRandom->setChecked(chkRandom->checkState() != Qt::Checked);
        break;
    case JoystickAction::CopyToOther:
        if (JoystickAssignment::copyPlayingToOther(c_.playlists, c_.state, transport_->playing()))
            showCountOfShown();
        break;
    }
}

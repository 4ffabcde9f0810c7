// The game pad in the main window: the polling timer and what the pad's actions do.
#include "core/AppState.h"
#include "core/MainWindowState.h"
#include "joystick/JoystickAssignment.h"
#include "joystick/JoystickPollingSwitch.h"
#include "playback/Transport.h"
#include "playlist/Playlists.h"
#include "ui/main/Form1.h"
#include <QCheckBox>
#include <QPushButton>
#include <QTabBar>
#include <QTimer>

void Form1::setJoystickPolling(bool on) {
    // The pad is first looked for when joystick use is first switched on.
    if (!on && !joystickSwitch_) {
        tmrJoy->stop();
        return;
    }
    if (!joystickSwitch_) {
        JoystickTarget& target = *this;
        joystickSwitch_ = std::make_unique<JoystickPollingSwitch>(joystickDevice(), target,
                                                                  c_.state.joystickCodes, *tmrJoy);
    }
    joystickSwitch_->set(on);
}

bool Form1::joystickPolling() const {
    return joystickSwitch_ && joystickSwitch_->on();
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

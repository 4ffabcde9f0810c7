#include "joystick/JoystickPolling.h"
#include "joystick/JoystickPollingSwitch.h"
#include "platform/JoystickDevice.h"
#include "support/WaitUntil.h"
#include <gtest/gtest.h>
#include <vector>

namespace {

// A pad the test sets; every read sees the current state.
class ScriptedPad : public JoystickDevice {
public:
    Position state;
    bool attached = true;
    ScriptedPad() { state.axes = {32767, 32767, 32767, 32767, 32767, 32767}; }
    std::optional<Capabilities> capabilities() override {
        return attached ? std::optional(Capabilities{12, 0}) : std::nullopt;
    }
    std::optional<Position> position() override { return attached ? std::optional(state) : std::nullopt; }
};

class Window : public JoystickTarget {
public:
    std::vector<int> tabs;
    std::vector<JoystickAction> actions;
    bool full = true;
    int sizeToggles = 0;
    void selectTab(int index) override { tabs.push_back(index); }
    bool fullSize() const override { return full; }
    void toggleSize() override {
        full = !full;
        ++sizeToggles;
    }
    void run(JoystickAction action) override { actions.push_back(action); }
};

struct Polling : ::testing::Test {
    ScriptedPad pad;
    Window window;
    std::array<int, kJoystickActionCount> codes{-1, -2, -3, -4, -5, -6, -7, -8, -9};
    JoystickPolling polling{pad, window, codes};
    void press(quint32 buttons) {
        pad.state.buttons = buttons;
        polling.tmrJoy_Timer();
    }
};

TEST_F(Polling, AHeldChordRunsOnceAndAChangeOfTheHeldSetRearmsIt) {
    codes[static_cast<int>(JoystickAction::Skip)] = 1;
    codes[static_cast<int>(JoystickAction::Random)] = 3;
    press(1);
    press(1);
    press(3); // button 2 added: Random
    press(1); // back to button 1 alone: a change, Skip again
    press(0);
    press(0);
    press(1);
    using A = JoystickAction;
    EXPECT_EQ(window.actions, (std::vector<A>{A::Skip, A::Random, A::Skip, A::Skip}));
}

TEST_F(Polling, ACodeGivenToSeveralActionsRunsTheFirstInMatchOrderOnly) {
    codes[static_cast<int>(JoystickAction::CopyToOther)] = 4;
    codes[static_cast<int>(JoystickAction::Pause)] = 4;
    codes[static_cast<int>(JoystickAction::BringToTop)] = 8;
    press(4);
    press(8);
    press(2); // assigned to nothing
    EXPECT_EQ(window.actions,
              (std::vector<JoystickAction>{JoystickAction::Pause, JoystickAction::BringToTop}));
    EXPECT_EQ(polling.previousCode(), 2);
    // Unassigned codes (0 or below) never match, not even a negative one.
    press(0);
    EXPECT_EQ(window.actions.size(), 2u);
}

TEST_F(Polling, TheStickChoosesTabsEveryTickAndResizesOnce) {
    pad.state.axes[0] = 100; // left
    polling.tmrJoy_Timer();
    polling.tmrJoy_Timer();
    pad.state.axes[0] = 60000; // right
    polling.tmrJoy_Timer();
    EXPECT_EQ(window.tabs, (std::vector<int>{0, 0, 1}));

    pad.state.axes[0] = 32767;
    pad.state.axes[1] = 0; // forward: shrink, once
    polling.tmrJoy_Timer();
    polling.tmrJoy_Timer();
    EXPECT_FALSE(window.full);
    pad.state.axes[1] = 65535; // back: restore, once
    polling.tmrJoy_Timer();
    polling.tmrJoy_Timer();
    EXPECT_TRUE(window.full);
    EXPECT_EQ(window.sizeToggles, 2);
}

TEST_F(Polling, AnUnpluggedPadChangesNothingUntilItIsBack) {
    codes[0] = 1;
    press(1);
    pad.attached = false;
    polling.tmrJoy_Timer();
    polling.tmrJoy_Timer();
    EXPECT_TRUE(window.tabs.empty());
    EXPECT_TRUE(window.full);
    EXPECT_EQ(polling.previousCode(), 1);
    // Plugged in again with the button still held: not a change, so no second run.
    pad.attached = true;
    press(1);
    EXPECT_EQ(window.actions, std::vector<JoystickAction>{JoystickAction::PlayStop});
}

// The main window's switch: its polling timer, and the pad it looks for.
struct Switching : ::testing::Test {
    ScriptedPad pad;
    Window window;
    std::array<int, kJoystickActionCount> codes{-1, -2, -3, -4, -5, -6, -7, -8, -9};
    QTimer tick;
    JoystickPollingSwitch joystick{pad, window, codes, tick};
    Switching() { tick.setInterval(100); }
};

TEST_F(Switching, WithoutAPadOnlyTheSlowCheckRunsUntilOneIsPluggedIn) {
    codes[static_cast<int>(JoystickAction::Skip)] = 1;
    pad.attached = false;
    joystick.set(true);
    EXPECT_FALSE(tick.isActive());
    EXPECT_TRUE(joystick.watching());
    joystick.check();
    EXPECT_FALSE(tick.isActive());

    pad.attached = true;
    pad.state.buttons = 1;
    joystick.check();
    EXPECT_FALSE(joystick.watching());
    ASSERT_TRUE(tick.isActive());
    // The running timer drives the polling.
    ASSERT_TRUE(waitUntil([&] { return !window.actions.empty(); }));

    // Unplugged: the next tick finds no pad, changes nothing and hands over to the slow check.
    pad.attached = false;
    joystick.tick();
    EXPECT_FALSE(tick.isActive());
    EXPECT_TRUE(joystick.watching());
    EXPECT_TRUE(window.tabs.empty());
    // Plugged in again with the button still held: the same chord, no second run.
    pad.attached = true;
    joystick.check();
    joystick.tick();
    EXPECT_EQ(window.actions, std::vector<JoystickAction>{JoystickAction::Skip});
}

TEST_F(Switching, SwitchedOffNeitherPollsNorLooksForAPad) {
    joystick.set(true);
    ASSERT_TRUE(tick.isActive());
    joystick.set(false);
    EXPECT_FALSE(tick.isActive() || joystick.watching());
    joystick.check(); // a look that was already due
    EXPECT_FALSE(tick.isActive() || joystick.watching());

    pad.attached = false;
    joystick.set(true);
    ASSERT_TRUE(joystick.watching());
    joystick.set(false);
    pad.attached = true;
    joystick.check();
    EXPECT_FALSE(tick.isActive() || joystick.watching());
    EXPECT_FALSE(joystick.on());
}

} // namespace

#pragma once
#include <array>

class JoystickDevice;

// The nine joystick actions, in the order of the settings and of the assigned codes.
enum class JoystickAction {
    PlayStop,
    Exit,
    Pause,
    Skip,
    BringToTop,
    Special1,
    Special2,
    Random,
    CopyToOther
};
inline constexpr int kJoystickActionCount = 9;

// What the main window does for the pad.
class JoystickTarget {
public:
    virtual ~JoystickTarget() = default;
    virtual void selectTab(int index) = 0;
    // The window at full size (not shrunk to its strip).
    virtual bool fullSize() const = 0;
    // The size button's shrink or restore, the command bar closed first.
    virtual void toggleSize() = 0;
    virtual void run(JoystickAction action) = 0;
};

// The 100 ms polling tick of the main window: the stick chooses tab A or B and shrinks or restores the
// window; a change of the held buttons runs the action whose code it is.
class JoystickPolling {
public:
    // `codes` are the assigned codes in action order (0 or below: unassigned).
    JoystickPolling(JoystickDevice& device, JoystickTarget& target,
                    const std::array<int, kJoystickActionCount>& codes);

    // False when no pad could be read: the tick then changes nothing.
    bool tmrJoy_Timer();
    double previousCode() const { return previous_; }

private:
    JoystickDevice& device_;
    JoystickTarget& target_;
    const std::array<int, kJoystickActionCount>& codes_;
    double previous_ = 0;
};

#pragma once
#include "joystick/JoystickPolling.h"
#include <QTimer>

// Switches the main window's polling of the pad. With joystick use on, the 100 ms tick runs only while a pad
// is attached; without one, a slow check looks for a pad and starts the tick when one is plugged in, so that
// a machine without a pad is not woken ten times a second. A pad unplugged while polling stops the tick and
// the slow check takes over again.
class JoystickPollingSwitch {
public:
    static constexpr int kCheckInterval = 2000; // milliseconds between two looks for a pad

    // `tick` is the main window's 100 ms polling timer; its ticks run here from now on.
    JoystickPollingSwitch(JoystickDevice& device, JoystickTarget& target,
                          const std::array<int, kJoystickActionCount>& codes, QTimer& tick);

    // Joystick use switched on or off: polling when a pad is attached, the slow check when not.
    void set(bool on);
    bool on() const { return on_; }
    bool watching() const { return watch_.isActive(); }

    // What the polling timer runs.
    void tick();
    // What the slow check runs.
    void check();

private:
    JoystickDevice& device_;
    QTimer& tick_;
    QTimer watch_;
    JoystickPolling polling_;
    bool on_ = false;
};

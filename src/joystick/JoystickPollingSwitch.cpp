#include "joystick/JoystickPollingSwitch.h"
#include "joystick/JOYClass.h"

JoystickPollingSwitch::JoystickPollingSwitch(JoystickDevice& device, JoystickTarget& target,
                                             const std::array<int, kJoystickActionCount>& codes, QTimer& tick)
    : device_(device), tick_(tick), polling_(device, target, codes) {
    watch_.setInterval(kCheckInterval);
    // The watch timer is the context: neither connection outlives this switch.
    QObject::connect(&tick_, &QTimer::timeout, &watch_, [this] { this->tick(); });
    QObject::connect(&watch_, &QTimer::timeout, &watch_, [this] { check(); });
}

void JoystickPollingSwitch::set(bool on) {
    on_ = on;
    check();
}

void JoystickPollingSwitch::tick() {
    if (!polling_.tmrJoy_Timer())
        check(); // the pad is gone
}

void JoystickPollingSwitch::check() {
    const bool attached = on_ && JOYClass(device_).IsThereAStick();
    if (attached)
        tick_.start();
    else
        tick_.stop();
    if (on_ && !attached)
        watch_.start();
    else
        watch_.stop();
}

#pragma once
#include "platform/JoystickDevice.h"
#include <QString>
#include <functional>

// The player's reader of the first joystick: every property reads the device afresh. Positions come
// unscaled (0..65535 per axis), the hat in hundredths of a degree (65535 centred). A read without a device
// leaves the last record in place, so a fresh reader without a device gives zeros.
class JOYClass {
public:
    // `tell` shows a message to the user (the "no joystick" notice).
    JOYClass(JoystickDevice& device, std::function<void(const QString&)> tell = {});

    bool IsThereAStick();
    // The number of buttons; with no device the user is told "Couldn't detect the joystick" and the answer
    // is 0 (the program goes on).
    int NumberOfButtons();
    // Whether button n (1 = first, up to 31) is down, judged over the buttons the last capabilities read
    // counted; false outside 1..31.
    bool SingleButtonValue(int buttonNumber);
    // The mask of buttons 1 to 15 held down (bit 0 = button 1); buttons above the 15th do not count.
    qint16 ButtonData();
    // "x" and "y" always; "z", "r", "u", "v" and "h" (the hat) as the last capabilities read said.
    bool HaveThisAxis(const QString& axis) const;
    double XPosition() { return axis(0); }
    double YPosition() { return axis(1); }
    double ZPosition() { return axis(2); }
    double RPosition() { return axis(3); }
    double UPosition() { return axis(4); }
    double VPosition() { return axis(5); }
    double HSPosition();

private:
    bool readCapabilities();
    void readPosition();
    double axis(int index);

    JoystickDevice& device_;
    std::function<void(const QString&)> tell_;
    JoystickDevice::Capabilities caps_{};
    JoystickDevice::Position position_{{}, 0, 0};
};

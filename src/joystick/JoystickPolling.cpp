#include "joystick/JoystickPolling.h"
#include "joystick/JOYClass.h"

namespace {
// The order in which a code is matched: the first action it is assigned to runs, no other.
constexpr std::array<JoystickAction, kJoystickActionCount> kMatchOrder = {
    JoystickAction::BringToTop, JoystickAction::Pause,  JoystickAction::PlayStop,
    JoystickAction::Skip,       JoystickAction::Exit,   JoystickAction::Special1,
    JoystickAction::Special2,   JoystickAction::Random, JoystickAction::CopyToOther};
constexpr double kLow = 500, kHigh = 50000;
} // namespace

JoystickPolling::JoystickPolling(JoystickDevice& device, JoystickTarget& target,
                                 const std::array<int, kJoystickActionCount>& codes)
    : device_(device), target_(target), codes_(codes) {}

bool JoystickPolling::tmrJoy_Timer() {
    // A pad unplugged while polling would read as zeros: the stick held left and forward for ever. The tick
    // fails instead, leaving everything as it was until the pad is back.
    if (!device_.position())
        return false;
    // A reader per tick, every property a read of its own, as the pad may change between them.
    JOYClass reader(device_);
    const int code = reader.ButtonData();
    if (reader.XPosition() < kLow)
        target_.selectTab(0);
    if (reader.XPosition() > kHigh)
        target_.selectTab(1);
    if (reader.YPosition() < kLow && target_.fullSize())
        target_.toggleSize();
    if (reader.YPosition() > kHigh && !target_.fullSize())
        target_.toggleSize();
    if (code != 0 && code != previous_) {
        for (const JoystickAction action : kMatchOrder)
            if (codes_[static_cast<int>(action)] == code) {
                target_.run(action);
                break;
            }
    }
    previous_ = code;
    return true;
}

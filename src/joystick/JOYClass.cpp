#include "joystick/JOYClass.h"

JOYClass::JOYClass(JoystickDevice& device, std::function<void(const QString&)> tell)
    : device_(device), tell_(std::move(tell)) {}

bool JOYClass::readCapabilities() {
    const auto caps = device_.capabilities();
    if (caps)
        caps_ = *caps;
    return caps.has_value();
}

void JOYClass::readPosition() {
    if (const auto position = device_.position())
        position_ = *position;
}

bool JOYClass::IsThereAStick() {
    return readCapabilities();
}

int JOYClass::NumberOfButtons() {
    if (!readCapabilities()) {
        if (tell_)
            tell_(QStringLiteral("Couldn't detect the joystick"));
        return 0;
    }
    return caps_.buttons;
}

bool JOYClass::SingleButtonValue(int buttonNumber) {
    readPosition();
    if (buttonNumber < 1 || buttonNumber > 31 || buttonNumber > caps_.buttons)
        return false;
    return (position_.buttons >> (buttonNumber - 1)) & 1u;
}

qint16 JOYClass::ButtonData() {
    readPosition();
    return static_cast<qint16>(position_.buttons & 0x7FFFu);
}

bool JOYClass::HaveThisAxis(const QString& axis) const {
    static const QString withFlag = QStringLiteral("zruvh");
    if (axis == QLatin1String("x") || axis == QLatin1String("y"))
        return true;
    if (axis.size() != 1)
        return false;
    const qsizetype bit = withFlag.indexOf(axis);
    return bit >= 0 && (caps_.flags >> bit) & 1u;
}

double JOYClass::axis(int index) {
    readPosition();
    return position_.axes[index];
}

double JOYClass::HSPosition() {
    readPosition();
    return position_.hat;
}

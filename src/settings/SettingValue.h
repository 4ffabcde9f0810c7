#pragma once
#include <QString>
#include <optional>
#include <stdexcept>

// A stored text that does not read as the form its key requires.
class SettingFormatError : public std::runtime_error {
public:
    explicit SettingFormatError(const QString& text)
        : std::runtime_error("unreadable setting value: " + text.toStdString()) {}
};

// The ways stored texts are read. Each throws SettingFormatError where a text
// cannot be read as a number at all.
namespace SettingValue {
// Decimal text (blanks around it allowed, "1.0" and "1e0" too) or "&H" hex.
double toNumber(const QString& text);
// A whole number in the 16-bit signed range, rounded halves to even.
int toInt16(const QString& text);
// A colour 0x00BBGGRR: a number that rounds to a whole 0..0xFFFFFF.
double toColour(const QString& text);
// "1"/"0" switches: on exactly when the number is 1.
bool isOn(const QString& text);
// A truth value: "True"/"False" in any case, or a number (non-zero is on).
bool toTruth(const QString& text);
// On for any number other than 0.
bool nonZero(const QString& text);
// "T" on, "F" off, anything else: no change.
std::optional<bool> joystickUsed(const QString& text);
// Remaining-time display for exactly "R".
bool remainingTime(const QString& text);
} // namespace SettingValue

#include "settings/SettingValue.h"
#include <cmath>

namespace SettingValue {

double toNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    if (trimmed.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const qlonglong value = trimmed.mid(2).toLongLong(&ok, 16);
        if (ok)
            return static_cast<double>(value);
    } else {
        const double value = trimmed.toDouble(&ok);
        if (ok && std::isfinite(value))
            return value;
    }
    throw SettingFormatError(text);
}

int toInt16(const QString& text) {
    const double rounded = std::nearbyint(toNumber(text)); // default rounding mode: halves to even
    if (rounded < -32768.0 || rounded > 32767.0)
        throw SettingFormatError(text);
    return static_cast<int>(rounded);
}

double toColour(const QString& text) {
    const double value = toNumber(text);
    const double rounded = std::nearbyint(value);
    if (rounded < 0.0 || rounded > double(0xFFFFFF))
        throw SettingFormatError(text);
    return value;
}

bool isOn(const QString& text) {
    return toNumber(text) == 1.0;
}

bool toTruth(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return toNumber(trimmed) != 0.0;
}

bool nonZero(const QString& text) {
    return toNumber(text) != 0.0;
}

std::optional<bool> joystickUsed(const QString& text) {
    if (text == QLatin1String("T"))
        return true;
    if (text == QLatin1String("F"))
        return false;
    return std::nullopt;
}

bool remainingTime(const QString& text) {
    return text == QLatin1String("R");
}

} // namespace SettingValue

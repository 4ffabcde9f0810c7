#include "core/StartColour.h"
#include "core/AppState.h"
#include <algorithm>
#include <cmath>

namespace {
quint32 colourBits(double value) {
    // Rounded like any stored whole number: halves to even. A value no
    // colour can have (start-up refuses them) gives black, never an
    // undefined conversion.
    const double rounded = std::nearbyint(value);
    if (!(std::fabs(rounded) < 0x1p62))
        return 0;
    return static_cast<quint32>(static_cast<qint64>(rounded));
}
} // namespace

QColor colourFromValue(double value) {
    const quint32 bits = colourBits(value);
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

double valueFromColour(const QColor& colour) {
    return static_cast<double>(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

void SplitStartColor(AppState& state) {
    QString hex = QString::number(colourBits(state.startColour), 16).toUpper();
    hex = hex.rightJustified(6, QLatin1Char('0'));
    state.blue = hex.left(2).toInt(nullptr, 16);
    state.green = hex.mid(2, 2).toInt(nullptr, 16);
    state.red = hex.right(2).toInt(nullptr, 16);
}

QColor markerColour(int red, int green, int blue) {
    auto limit = [](int v) {
        return std::clamp(v, 0, 255);
    };
    return QColor(limit(260 - red), limit(260 - green), limit(264 - blue));
}

#include "playback/ColourShow.h"
#include "core/AppState.h"
#include "core/StartColour.h"
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>

namespace {
// Moves one component by its step and turns it round after the step that
// crossed a bound; a component below 0 becomes 0.
void drift(int& component, bool& falling, int step, int lowBound) {
    component += falling ? -step : step;
    if (component > 255)
        falling = true;
    else if (component < lowBound)
        falling = false;
    if (component < 0)
        component = 0;
}
} // namespace

ColourShow::ColourShow(std::function<double()> draw) : draw_(std::move(draw)) {
    if (!draw_)
        draw_ = [] {
            return QRandomGenerator::global()->generateDouble();
        };
}

ColourShow::Colours ColourShow::tick(AppState& s, bool randomColours) {
    if (randomColours) {
        auto component = [this] {
            return static_cast<int>(std::nearbyint(draw_() * 255));
        };
        s.red = component();
        s.green = component();
        s.blue = component();
    } else {
        drift(s.red, falling_.red, 3, 4);
        drift(s.green, falling_.green, 5, 4);
        drift(s.blue, falling_.blue, 7, 6);
    }
    auto limit = [](int v) {
        return std::clamp(v, 0, 255);
    };
    Colours c;
    c.panel = QColor(limit(s.red), limit(s.green), limit(s.blue));
    c.marker = markerColour(s.red, s.green, s.blue);
    c.lists = randomColours ? c.marker : QColor(Qt::white);
    return c;
}

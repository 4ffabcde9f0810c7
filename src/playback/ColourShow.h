#pragma once
#include <QColor>
#include <functional>

struct AppState;

// The colour show: every tick the panel colour drifts (or jumps, in random
// mode) and the progress marker takes the opposite colour.
class ColourShow {
public:
    struct Colours {
        QColor panel;
        QColor marker;
        QColor lists; // the browser lists and playlists A and B
    };

    // `draw` gives uniform numbers in [0, 1); tests pass their own.
    explicit ColourShow(std::function<double()> draw = {});

    // One tick on the components held in the shared state.
    Colours tick(AppState& state, bool randomColours);

private:
    struct Direction {
        bool red = false, green = false, blue = false; // true while falling
    } falling_;
    std::function<double()> draw_;
};

#pragma once
#include <QColor>

struct AppState;

// Colours are stored as 0x00BBGGRR (red in the low byte).
QColor colourFromValue(double value);
double valueFromColour(const QColor& colour);

// Fills the colour components from the start colour: its hexadecimal text,
// padded to six digits, gives blue (first two), green (next two), red (last two).
void SplitStartColor(AppState& state);

// The progress marker's colour for a panel colour: (260-r, 260-g, 264-b), each at most 255.
QColor markerColour(int red, int green, int blue);

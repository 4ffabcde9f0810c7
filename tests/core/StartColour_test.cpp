#include "core/AppState.h"
#include "core/StartColour.h"
#include <gtest/gtest.h>

TEST(StartColour, SplitReadsBlueGreenRedFromTheHexText) {
    AppState state;
    state.startColour = 0x204080; // blue 0x20, green 0x40, red 0x80
    SplitStartColor(state);
    EXPECT_EQ(state.blue, 0x20);
    EXPECT_EQ(state.green, 0x40);
    EXPECT_EQ(state.red, 0x80);
    EXPECT_EQ(colourFromValue(state.startColour), QColor(0x80, 0x40, 0x20));

    // Short hex texts are padded on the left: 0xFF is pure red.
    state.startColour = 0xFF;
    SplitStartColor(state);
    EXPECT_EQ(state.red, 0xFF);
    EXPECT_EQ(state.green, 0);
    EXPECT_EQ(state.blue, 0);
    EXPECT_EQ(valueFromColour(QColor(0xFF, 0, 0)), 255.0);
}

TEST(StartColour, MarkerIsTheOppositeOfThePanelWithinRange) {
    EXPECT_EQ(markerColour(0, 0, 0), QColor(255, 255, 255));
    EXPECT_EQ(markerColour(255, 255, 255), QColor(5, 5, 9));
    EXPECT_EQ(markerColour(192, 192, 192), QColor(68, 68, 72));
}

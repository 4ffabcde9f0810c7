#include "core/AppState.h"
#include "playback/ColourShow.h"
#include "playback/TimeConvert.h"
#include "playback/VideoRules.h"
#include <cmath>
#include <gtest/gtest.h>

TEST(TimeConvert, MinutesAndSeconds) {
    EXPECT_EQ(TimeConvert(0), "0:00");
    EXPECT_EQ(TimeConvert(5), "0:05");
    EXPECT_EQ(TimeConvert(59.4), "0:59");
    EXPECT_EQ(TimeConvert(59.5), "1:00"); // 59.5 -> 60 (halves to even)
    EXPECT_EQ(TimeConvert(75), "1:15");
    EXPECT_EQ(TimeConvert(3725), "62:05");
    EXPECT_EQ(TimeConvert(201 - 0.0001), "3:21");
    EXPECT_EQ(TimeConvert(40000), "666:40"); // long tracks keep their minutes
    EXPECT_EQ(TimeConvert(std::nan("")), "--:--:--Err");
    EXPECT_EQ(TimeConvert(INFINITY), "--:--:--Err");
    EXPECT_EQ(TimeConvert(-3), "0:0-3");
}

TEST(VideoRules, ExtensionFoundAnywhereInTheList) {
    const QString list = QStringLiteral("*.avi;*.mpg;*.mpeg");
    EXPECT_TRUE(isVideoFile("/v/MOVIE.MPG", list));
    EXPECT_TRUE(isVideoFile("/v/movie.mpg", list));
    EXPECT_TRUE(isVideoFile("/v/x.mpe", list));
    EXPECT_TRUE(isVideoFile("/v/x.av", list));
    EXPECT_FALSE(isVideoFile("/v/x.mp3", list));
    EXPECT_FALSE(isVideoFile("/v/noext", list));
    EXPECT_FALSE(isVideoFile("/v.d/noext", list));
}

TEST(ColourShow, SmoothStepsTurnAtTheirBounds) {
    AppState s;
    s.red = 250, s.green = 0, s.blue = 0;
    ColourShow show;
    ColourShow::Colours c = show.tick(s, false);
    EXPECT_EQ(s.red, 253);
    EXPECT_EQ(s.green, 5);
    EXPECT_EQ(s.blue, 7);
    EXPECT_EQ(c.panel, QColor(253, 5, 7));
    EXPECT_EQ(c.marker, QColor(7, 255, 255));
    EXPECT_EQ(c.lists, QColor(Qt::white));
    show.tick(s, false);
    EXPECT_EQ(s.red, 256); // passes 255 by up to one step, then turns
    EXPECT_EQ(show.tick(s, false).panel.red(), 253);
    EXPECT_EQ(s.red, 253);
    for (int i = 0; i < 100; ++i) {
        show.tick(s, false);
        ASSERT_GE(s.red, 0);
        ASSERT_LE(s.red, 258);
        ASSERT_LE(s.blue, 262);
    }
}

TEST(ColourShow, RandomColoursPaintTheListsToo) {
    AppState s;
    ColourShow show([] { return 0.5; });
    const ColourShow::Colours c = show.tick(s, true);
    EXPECT_EQ(s.red, 128); // 127.5 to the nearest even
    EXPECT_EQ(c.lists, c.marker);
    EXPECT_EQ(c.marker, QColor(132, 132, 136));
}

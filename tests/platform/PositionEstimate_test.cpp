#include "platform/PositionEstimate.h"
#include <gtest/gtest.h>

namespace {

struct Estimate : ::testing::Test {
    qint64 ms = 5000;
    PositionEstimate position{[this] {
        return ms;
    }};
};

TEST_F(Estimate, RunsOnFromTheLastReportOnlyWhilePlaying) {
    position.set(2.0);
    ms += 300;
    EXPECT_DOUBLE_EQ(position.at(10), 2.0); // not running yet: a stopped or loading file stays put
    position.setRunning(true);
    ms += 400;
    EXPECT_DOUBLE_EQ(position.at(10), 2.4);
    // Paused: the position reached is kept, and the time paused does not count.
    position.setRunning(false);
    ms += 5000;
    EXPECT_DOUBLE_EQ(position.at(10), 2.4);
    position.setRunning(true);
    ms += 100;
    EXPECT_DOUBLE_EQ(position.at(10), 2.5);
    // A report replaces the estimate.
    position.set(2.45);
    EXPECT_DOUBLE_EQ(position.at(10), 2.45);
}

TEST_F(Estimate, NeverRunsFarBeyondWhatTheEngineSaidNorPastTheEnd) {
    position.set(1.0);
    position.setRunning(true);
    ms += 30000; // no report for a long time: the engine may be stalled
    EXPECT_DOUBLE_EQ(position.at(0), 2.0);
    EXPECT_DOUBLE_EQ(position.at(1.5), 1.5);
    // A report beyond the length (a length rounded down) is not taken back.
    position.set(1.7);
    EXPECT_DOUBLE_EQ(position.at(1.5), 1.7);
}

} // namespace

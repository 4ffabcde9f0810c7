#include "app/EndSignals.h"
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <csignal>
#include <gtest/gtest.h>

namespace {
// Runs the event loop until `requested` has come `count` times in all.
bool answered(int& seen, int count) {
    QDeadlineTimer deadline(5000);
    while (seen < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return seen == count;
}
} // namespace

TEST(EndSignals, EachEndSignalIsAnsweredOnTheEventLoop) {
    EndSignals endSignals;
    ASSERT_TRUE(endSignals.installed());
    int seen = 0;
    QObject::connect(&endSignals, &EndSignals::requested, [&seen] { ++seen; });
    int expected = 0;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        ASSERT_EQ(std::raise(signal), 0);
        EXPECT_EQ(seen, expected); // not from inside the handler
        EXPECT_TRUE(answered(seen, ++expected)) << signal;
    }
    // A second object cannot take the signals from the first.
    EndSignals second;
    EXPECT_FALSE(second.installed());
}

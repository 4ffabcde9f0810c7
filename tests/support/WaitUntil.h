#pragma once
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>

// Runs the event loop until the condition holds or the time is up; returns
// the condition's last value. (QTRY_* macros return silently inside gtest.)
template <typename Condition> bool waitUntil(Condition condition, int milliseconds = 5000) {
    QDeadlineTimer deadline(milliseconds);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(10);
    }
    return true;
}

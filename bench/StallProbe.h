#pragma once
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>

// The longest gap between two ticks of a 10 ms timer, beyond the 10 ms.
class StallProbe {
public:
    StallProbe() {
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const qint64 now = clock_.nsecsElapsed();
            longest_ = std::max(longest_, now - last_ - 10'000'000);
            last_ = now;
        });
    }
    void start() {
        clock_.start();
        last_ = 0;
        longest_ = 0;
        timer_.start(10);
    }
    // The time since the last tick was the measurement's own (reading memory figures): not a stall.
    void forgive() { last_ = clock_.nsecsElapsed(); }
    double longestMs() const { return longest_ / 1e6; }

private:
    QTimer timer_;
    QElapsedTimer clock_;
    qint64 last_ = 0;
    qint64 longest_ = 0;
};

#include "platform/PositionEstimate.h"
#include <QElapsedTimer>
#include <algorithm>
#include <memory>

namespace {
constexpr double kMaxAhead = 1.0;
}

PositionEstimate::PositionEstimate(std::function<qint64()> clock) : clock_(std::move(clock)) {
    if (!clock_) {
        auto timer = std::make_shared<QElapsedTimer>();
        timer->start();
        clock_ = [timer] {
            return timer->elapsed();
        };
    }
}

double PositionEstimate::now() const {
    return clock_() / 1000.0;
}

void PositionEstimate::set(double seconds) {
    base_ = seconds;
    since_ = now();
}

void PositionEstimate::setRunning(bool running) {
    if (running == running_)
        return;
    set(at(0));
    running_ = running;
}

double PositionEstimate::at(double length) const {
    if (!running_)
        return base_;
    const double ahead = std::clamp(now() - since_, 0.0, kMaxAhead);
    const double estimate = base_ + ahead;
    return length > 0 ? std::min(estimate, std::max(base_, length)) : estimate;
}

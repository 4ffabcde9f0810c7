#pragma once
#include <QtGlobal>
#include <functional>

// The playing position between two reports of the engine: the last reported position plus the time since,
// while the media runs. The engine is asked for its position only at the pace the clock display needs (a
// stream of position events would wake the window dozens of times a second); this fills the time between.
class PositionEstimate {
public:
    // Milliseconds of a monotonic clock; empty: the system's.
    explicit PositionEstimate(std::function<qint64()> clock = {});

    // A position known now (a report, a finished seek, a new file).
    void set(double seconds);
    // Running means playing: not paused, not waiting for a seek, not ended. A change keeps the position
    // reached so far.
    void setRunning(bool running);
    bool running() const { return running_; }
    // The estimate: never more than a second beyond the last report (the engine may be stalled) nor
    // beyond the media's length when that is known (> 0).
    double at(double length) const;

private:
    double now() const;

    std::function<qint64()> clock_;
    double base_ = 0;
    double since_ = 0; // seconds of the clock when base_ was set
    bool running_ = false;
};

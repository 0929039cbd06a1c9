#pragma once

// The main loop as the benches watch it: the longest gap between two runs of a 1 ms timer,
// and running the loop for a while or until something is done.

#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <functional>

namespace platter::bench {

using SteadyClock = std::chrono::steady_clock;

// The longest gap between two runs of a 1 ms timer, beyond that millisecond.
class StallProbe {
public:
    StallProbe() {
        using namespace std::chrono_literals;
        timer_.setTimerType(Qt::PreciseTimer);
        timer_.setInterval(1);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            const auto now = SteadyClock::now();
            longest_ = std::max(longest_, now - last_ - 1ms);
            last_ = now;
        });
        timer_.start();
    }
    void reset() {
        longest_ = {};
        last_ = SteadyClock::now();
    }
    SteadyClock::duration longest() const { return longest_; }

private:
    QTimer timer_;
    SteadyClock::time_point last_ = SteadyClock::now();
    SteadyClock::duration longest_{};
};

// Runs the main loop for `span`.
inline void runFor(SteadyClock::duration span) {
    QEventLoop loop;
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(span), &loop, &QEventLoop::quit);
    loop.exec();
}

// Runs the main loop until `done`, for at most `limit`; whether it was done.
inline bool runUntil(const std::function<bool()>& done,
                     SteadyClock::duration limit = std::chrono::seconds(120)) {
    const auto end = SteadyClock::now() + limit;
    while (!done()) {
        if (SteadyClock::now() > end) return false;
        runFor(std::chrono::milliseconds(2));
    }
    return true;
}

} // namespace platter::bench

// A point in time, on the monotonic clock, by which a wait must end.
#pragma once
#include <chrono>
#include <climits>
#include <cmath>

namespace platform::detail {

class Deadline {
public:
    using Clock = std::chrono::steady_clock;

    // Negative or NaN waits end at once; very long ones are cut to a day so
    // that no wait is without a limit.
    explicit Deadline(double seconds) : end_(Clock::now() + Clamp(seconds)) {}

    double Remaining() const {
        const auto left = std::chrono::duration<double>(end_ - Clock::now()).count();
        return left > 0 ? left : 0.0;
    }
    bool Expired() const { return Clock::now() >= end_; }

    // Milliseconds for poll(), rounded up so that a wait never ends just
    // before the deadline and turns into a spin of zero-length polls.
    int PollMs() const {
        const double ms = std::ceil(Remaining() * 1000.0);
        return ms >= INT_MAX ? INT_MAX : static_cast<int>(ms);
    }

private:
    static Clock::duration Clamp(double seconds) {
        if (!(seconds > 0)) return Clock::duration::zero();
        if (seconds > 86400.0) seconds = 86400.0;
        return std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    }
    Clock::time_point end_;
};

}  // namespace platform::detail

// Bytes on their way out of a simulated device, each with the moment it has
// arrived at the far end. Times are seconds on platform::Timer().
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <string_view>

namespace sim {

class OutputSchedule {
public:
    // Queues bytes that start no earlier than `earliest`; each one takes
    // byteTime on the wire after the one before it. gate > 0 holds the
    // bytes back until Open(gate) (see SimComDevice).
    void Add(std::string_view bytes, double earliest, double byteTime, std::uint64_t gate = 0);
    // Moves up to max bytes that have arrived by `now` into out.
    std::size_t Take(double now, unsigned char *out, std::size_t max);
    std::size_t CountArrived(double now) const;
    void DiscardArrived(double now);
    // When the next byte arrives (infinity when none is queued or the next is held back).
    double NextArrival() const;
    bool Empty() const { return queue_.empty(); }
    void Open(std::uint64_t gate) { opened_ = gate > opened_ ? gate : opened_; }
    void Clear() { queue_.clear(); }

private:
    struct Entry {
        unsigned char byte;
        double at;
        std::uint64_t gate;
    };
    bool Arrived(const Entry &e, double now) const { return e.at <= now && e.gate <= opened_; }
    std::deque<Entry> queue_;
    double lineFreeAt_ = -std::numeric_limits<double>::infinity();
    std::uint64_t opened_ = 0;
};

// Seconds one byte takes at a baud rate with 8N1 framing; 0 when unpaced.
inline double ByteTime(long baud) { return baud > 0 ? 10.0 / static_cast<double>(baud) : 0.0; }

// Seconds from `now` until `when` (both on platform::Timer()) as a wait:
// -1 (no limit) when nothing is due.
inline double WaitUntil(double when, double now) {
    if (!std::isfinite(when)) return -1.0;
    return when > now ? when - now : 0.0;
}

}  // namespace sim

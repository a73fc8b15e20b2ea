// Bytes on their way out of a simulated device, each with the moment it has
// arrived at the far end. Times are seconds on platform::Timer(). The line's
// settings (LineSettings) decide when that is: the wire time of each byte,
// the pieces a reply is cut into, and the USB adapter's packets.
#pragma once
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <limits>
#include <random>
#include <string_view>

#include "sim/line_settings.h"

namespace sim {

class OutputSchedule {
public:
    explicit OutputSchedule(const LineSettings &settings = {}) { Configure(settings); }
    // Takes new settings for what is queued from now on (the generator starts anew).
    void Configure(const LineSettings &settings);
    const LineSettings &Settings() const { return settings_; }

    // Queues bytes that start no earlier than `earliest`; each one takes
    // byteTime on the wire after the one before it. One call is one reply:
    // with the split switch it is cut into pieces. gate > 0 holds the
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
    // Drops everything queued: the line is free at once.
    void Clear();

private:
    struct Entry {
        unsigned char byte;
        double at;
        std::uint64_t gate;
    };
    bool Arrived(const Entry &e, double now) const { return e.at <= now && e.gate <= opened_; }
    // When a byte off the wire at `wire` reaches the program through the adapter.
    double Delivered(double wire);

    LineSettings settings_;
    std::mt19937 random_;
    std::deque<Entry> queue_;
    double lineFreeAt_ = -std::numeric_limits<double>::infinity();
    std::uint64_t opened_ = 0;
    // The adapter's packet being filled: when it goes, and how many bytes it holds.
    double packetAt_ = -std::numeric_limits<double>::infinity();
    int packetBytes_ = 0;
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

#include "sim/schedule.h"

#include <algorithm>

namespace sim {

void OutputSchedule::Add(std::string_view bytes, double earliest, double byteTime, std::uint64_t gate) {
    for (char c : bytes) {
        const double at = std::max(earliest, lineFreeAt_) + byteTime;
        lineFreeAt_ = at;
        queue_.push_back(Entry{static_cast<unsigned char>(c), at, gate});
    }
}

std::size_t OutputSchedule::Take(double now, unsigned char *out, std::size_t max) {
    std::size_t n = 0;
    while (n < max && !queue_.empty() && Arrived(queue_.front(), now)) {
        out[n++] = queue_.front().byte;
        queue_.pop_front();
    }
    return n;
}

std::size_t OutputSchedule::CountArrived(double now) const {
    std::size_t n = 0;
    for (const Entry &e : queue_) {
        if (!Arrived(e, now)) break;
        ++n;
    }
    return n;
}

void OutputSchedule::DiscardArrived(double now) {
    while (!queue_.empty() && Arrived(queue_.front(), now)) queue_.pop_front();
}

double OutputSchedule::NextArrival() const {
    if (queue_.empty() || queue_.front().gate > opened_) return std::numeric_limits<double>::infinity();
    return queue_.front().at;
}

}  // namespace sim

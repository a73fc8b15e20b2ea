#include "sim/schedule.h"

#include <algorithm>

namespace sim {

void OutputSchedule::Configure(const LineSettings &settings) {
    settings_ = settings;
    random_.seed(settings.seed);
}

void OutputSchedule::Add(std::string_view bytes, double earliest, double byteTime, std::uint64_t gate) {
    std::uniform_int_distribution<int> pieceLength(1, std::max(settings_.splitMax, 1));
    std::uniform_real_distribution<double> gap(0.0, std::max(settings_.splitGap, 0.0));
    int pieceLeft = settings_.splitMax > 0 ? pieceLength(random_) : -1;
    for (char c : bytes) {
        if (pieceLeft == 0) {
            // A new piece: the line stays silent for a while first.
            lineFreeAt_ = std::max(earliest, lineFreeAt_) + gap(random_);
            pieceLeft = pieceLength(random_);
        }
        if (pieceLeft > 0) --pieceLeft;
        const double wire = std::max(earliest, lineFreeAt_) + byteTime;
        lineFreeAt_ = wire;
        queue_.push_back(Entry{static_cast<unsigned char>(c), Delivered(wire), gate});
    }
}

double OutputSchedule::Delivered(double wire) {
    const double latency = settings_.usbLatency;
    if (latency <= 0) return wire;
    if (packetBytes_ == 0 || wire > packetAt_) {
        // The adapter sends what it holds at its next latency tick.
        packetAt_ = std::ceil(wire / latency) * latency;
        packetBytes_ = 0;
    }
    if (++packetBytes_ < kUsbPacketBytes) return packetAt_;
    // A full packet goes at once, with the bytes gathered in it before.
    int earlier = packetBytes_ - 1;
    for (auto it = queue_.rbegin(); it != queue_.rend() && earlier > 0 && it->at == packetAt_; ++it, --earlier)
        it->at = wire;
    packetBytes_ = 0;
    return wire;
}

void OutputSchedule::Clear() {
    queue_.clear();
    lineFreeAt_ = packetAt_ = -std::numeric_limits<double>::infinity();
    packetBytes_ = 0;
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

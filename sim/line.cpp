#include "sim/line.h"

#include <algorithm>
#include <string>

namespace sim {

double InstrumentLine::InstrumentByteTime() const {
    return std::max(ByteTime(Settings().baud), ByteTime(connectionBaud_));
}

void InstrumentLine::Write(const unsigned char *data, std::size_t count, double now, std::uint64_t replyGate) {
    const InstrumentFaults &faults = instrument_.Faults();
    const double byteTime = InstrumentByteTime();
    std::string echo, reply;
    for (std::size_t i = 0; i < count; ++i) {
        // The byte has reached the instrument once its wire time is over.
        const double arrived = std::max(now, inputFreeAt_) + byteTime;
        inputFreeAt_ = arrived;
        echo.clear();
        reply.clear();
        instrument_.Receive(data[i], echo, reply);
        if (!echo.empty()) output_.Add(echo, arrived - byteTime, byteTime);
        if (!reply.empty()) output_.Add(reply, arrived + turnaround + faults.delay, byteTime, replyGate);
    }
}

}  // namespace sim

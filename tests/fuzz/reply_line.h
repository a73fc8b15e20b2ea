// An instrument behind an in-process serial port that answers the next
// request with given bytes. The answer goes on the line once the program
// has written and then reads with nothing else waiting (as an instrument's
// turnaround keeps it off the line while the program takes its echo), so a
// flush right after the request does not lose it. A read with nothing to
// give returns at once: with the port's time-out at 0 no input ever waits.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/com.h"

namespace fuzz {

class ReplyLine : public platform::ComDevice {
public:
    // The bytes of the next answer; echo: the line returns every byte written.
    void Arm(std::string_view reply, bool echo);

    void Write(const unsigned char *data, std::size_t count) override;
    std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) override;
    std::size_t Available() override { return queued_.size() - position_; }
    void DiscardInput() override;

    std::size_t BytesWritten() const { return written_; }

private:
    std::string reply_;
    std::string queued_;  // bytes on their way to the program
    std::size_t position_ = 0;
    std::size_t written_ = 0;
    bool echo_ = false;
    bool released_ = false;
};

}  // namespace fuzz

#include "tests/fuzz/reply_line.h"

#include <algorithm>
#include <cstring>

namespace fuzz {

void ReplyLine::Arm(std::string_view reply, bool echo) {
    reply_.assign(reply);
    queued_.clear();
    position_ = 0;
    written_ = 0;
    echo_ = echo;
    released_ = false;
}

void ReplyLine::Write(const unsigned char *data, std::size_t count) {
    written_ += count;
    if (echo_) queued_.append(reinterpret_cast<const char *>(data), count);
}

std::size_t ReplyLine::Read(unsigned char *data, std::size_t count, double) {
    if (position_ == queued_.size() && written_ > 0 && !released_) {
        queued_ = reply_;
        position_ = 0;
        released_ = true;
    }
    const std::size_t n = std::min(count, queued_.size() - position_);
    std::memcpy(data, queued_.data() + position_, n);
    position_ += n;
    return n;
}

void ReplyLine::DiscardInput() {
    queued_.clear();
    position_ = 0;
}

}  // namespace fuzz

#include "cli/serve/reply_framer.h"

#include <algorithm>

namespace cli::serve {

bool ReplyFramer::IsWholeEcho() const {
    return length_ == request_.size() && std::equal(request_.begin(), request_.end(), frame_.begin());
}

bool ReplyFramer::InsideEcho() const {
    return length_ < request_.size() && request_[length_] == 0x01 &&
           std::equal(frame_.begin(), frame_.begin() + static_cast<std::ptrdiff_t>(length_), request_.begin());
}

void ReplyFramer::FollowEcho(unsigned char b) {
    if (heard_) return;
    // The echo: 0xFF 0xFF 0x00, the request, 0x01.
    const std::size_t n = request_.size();
    const std::size_t i = echoMatched_;
    const int expected = i < 2 ? 0xFF : i == 2 ? 0x00 : i < 3 + n ? request_[i - 3] : i == 3 + n ? 0x01 : -1;
    if (b == expected)
        ++echoMatched_;
    else
        heard_ = true;
}

std::size_t ReplyFramer::Take(const unsigned char *bytes, std::size_t count) {
    std::size_t used = 0;
    while (used < count && state_ == State::Waiting) {
        const unsigned char b = bytes[used++];
        FollowEcho(b);
        if (!inFrame_) {
            if (b == 0x00) {
                inFrame_ = true;
                length_ = 0;
            }
            continue;
        }
        if (b == 0x01 && IsWholeEcho()) {
            inFrame_ = false;
            continue;
        }
        if (b == 0x01 && !InsideEcho()) {
            state_ = State::Complete;
            break;
        }
        if (length_ == frame_.size()) {
            state_ = State::TooLong;
            break;
        }
        frame_[length_++] = b;
    }
    return used;
}

}  // namespace cli::serve

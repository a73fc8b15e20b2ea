// Finds the instrument's reply in what the line brings after a request:
// the lead-in up to the first 0x00 is skipped, the frame runs up to the
// next 0x01. The line's echo of the request (the frame itself, preamble
// and terminator included) is recognised by its bytes and passed over,
// whether or not the echo test found an echoing line. The frame may not be
// longer than an envelope's payload.
#pragma once
#include <array>
#include <cstddef>
#include <span>

#include "envelope/envelope.h"

namespace cli::serve {

class ReplyFramer {
public:
    enum class State { Waiting, Complete, TooLong };

    // request: the frame as it went out, without preamble and terminator;
    // it must outlive the framer.
    explicit ReplyFramer(std::span<const unsigned char> request) : request_(request) {}

    // Takes bytes in the order they came; returns how many it used (those
    // after the end of the reply are not its own).
    std::size_t Take(const unsigned char *bytes, std::size_t count);

    State Status() const { return state_; }
    // The reply without lead-in and terminator, once Complete.
    std::span<const unsigned char> Reply() const { return {frame_.data(), length_}; }
    // True once a byte has come that is not the request's echo.
    bool Heard() const { return heard_; }

private:
    // At a 0x01 inside a frame: true when the frame so far is the request's
    // echo up to a 0x01 that the request carries at that place.
    bool InsideEcho() const;
    bool IsWholeEcho() const;
    // Follows the bytes against the request's echo; sets heard_ at the
    // first that is not the echo's.
    void FollowEcho(unsigned char b);

    std::span<const unsigned char> request_;
    std::array<unsigned char, envelope::kMaxPayload> frame_{};
    std::size_t length_ = 0;
    bool inFrame_ = false;
    bool heard_ = false;
    std::size_t echoMatched_ = 0;  // bytes so far that are the start of the echo
    State state_ = State::Waiting;
};

}  // namespace cli::serve

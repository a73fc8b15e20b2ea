// One request on the link's serial line, for the server: the frame sent
// whole (preamble, the request, terminator), the reply read until it ends
// or the deadline passes. Runs on the open serial link through the link
// primitives, so a traffic log sees every byte.
#pragma once
#include <cstddef>
#include <span>

namespace cli::serve {

// deadline: on platform::Timer()'s clock. The reply, without lead-in and
// terminator, goes to reply (room for 1024 bytes) and its length to
// *replyLength. 0, or an error code of error_codes.h.
unsigned ExchangeOnLine(std::span<const unsigned char> request, double deadline, std::span<unsigned char> reply,
                        std::size_t *replyLength);

}  // namespace cli::serve

// The older binary frame, used by the password, no-operation and I/O commands.
// Request: 0xFF 0xFF 0x00, the instrument address (2..255), the command
// letter, the payload, a length byte 0x83 + payload length (mod 256), 0x01.
// Reply: a lead-in ending with 0x00, the address, the reply payload, a
// length byte 0x82 + reply payload length, 0x01.
#pragma once
#include <span>
#include <string_view>

namespace korvi70 {

// Where the terminator goes and whether the echo is flushed, by command.
enum class LegacyOrder {
    TerminatorThenFlush,  // password, clear password, no-operation: 0x01, drain, flush input
    FlushThenTerminator,  // write I/O: drain, flush input, then 0x01
    TerminatorNoFlush,    // read I/O: drain, then 0x01, no flush: an echo is read off, not flushed
};

// Runs the legacy sequence. reply receives the reply payload characters
// (reply.size() of them, plus a terminating NUL, so it needs one byte more);
// pass an empty span when the reply carries none.
// Result: 0 done, 2 a flush failed, 3 no valid reply.
int RunLegacy(unsigned char address, char letter, std::string_view payload, LegacyOrder order,
              std::span<char> reply = {});

}  // namespace korvi70

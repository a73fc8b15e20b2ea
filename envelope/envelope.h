// The envelope that carries Korvi70 frames over TCP between a client and a
// Korvi70 TCP server: a mark ('b' a frame, 'c' an error reported by the
// server), four hex digits giving the payload's length, then the payload.
// A request's payload is a frame without its preamble and terminator; a
// reply's is the instrument's frame without its lead-in and terminator, or,
// after 'c', four hex digits of an error code.
//
// Shared by the link's TCP client, the TCP server of vgx52ctl and the
// simulated gateway; it depends on nothing.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace envelope {

inline constexpr std::size_t kHeaderSize = 5;
// The link's buffers hold no more; a server refuses a longer request.
inline constexpr std::size_t kMaxPayload = 1024;
inline constexpr char kFrameMark = 'b';
inline constexpr char kErrorMark = 'c';

// Writes the five header bytes for a payload of `length` bytes (its low 16
// bits, upper-case digits) to out.
void PutHeader(char mark, std::size_t length, unsigned char *out);

// Reads five header bytes: true when they are the mark 'b' or 'c' and four
// hex digits of either case.
bool ParseHeader(const unsigned char *header, char *mark, std::size_t *length);

// A whole envelope around a payload.
std::string Wrap(char mark, std::string_view payload);
// The error envelope a server answers with: 'c', "0004", the code's four digits.
std::string ErrorReply(unsigned code);

// What the bytes a client has sent, from the start of an envelope on, hold.
enum class Scan {
    Incomplete,     // a request may still follow
    Complete,       // a whole request: its payload follows the header
    NotAnEnvelope,  // a byte that cannot start or belong to a request header
    TooLong,        // a header announcing more than kMaxPayload bytes
};
struct ScanResult {
    Scan verdict = Scan::Incomplete;
    std::size_t payloadLength = 0;  // when Complete
};
// A request starts with 'b'; every byte is judged as soon as it is there.
ScanResult ScanRequest(const unsigned char *bytes, std::size_t count);

}  // namespace envelope

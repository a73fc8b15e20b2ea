// What a client has sent the server: at most one whole request and what
// follows it, judged as the bytes come. While a request waits for its
// answer, what follows it stays unread beyond the buffer's room.
#pragma once
#include <array>
#include <cstddef>
#include <span>

#include "envelope/envelope.h"

namespace cli::serve {

class RequestReader {
public:
    // Room for the next bytes from the socket; empty while the buffer is full.
    std::span<unsigned char> Space() { return std::span<unsigned char>(bytes_).subspan(count_); }
    bool Full() const { return count_ == bytes_.size(); }
    // Takes n bytes read into Space(); the verdict on the buffer's start.
    envelope::Scan Added(std::size_t n);
    // The request is answered: what came after it moves up. The verdict on
    // what is left.
    envelope::Scan Consume();

    envelope::Scan Verdict() const { return scan_.verdict; }
    // The whole request at the start, its payload (when Verdict() is Complete).
    std::span<const unsigned char> Payload() const;
    // The length a header announced (when Verdict() is TooLong).
    std::size_t AnnouncedLength() const { return scan_.payloadLength; }
    unsigned char FirstByte() const { return bytes_[0]; }

private:
    envelope::Scan Judge();

    std::array<unsigned char, envelope::kHeaderSize + envelope::kMaxPayload> bytes_{};
    std::size_t count_ = 0;
    envelope::ScanResult scan_;
};

}  // namespace cli::serve

#include "envelope/envelope.h"

namespace envelope {
namespace {

int DigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

void PutDigits(std::size_t value, unsigned char *out) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (int i = 3; i >= 0; --i) {
        out[i] = static_cast<unsigned char>(kDigits[value & 0xF]);
        value >>= 4;
    }
}

}  // namespace

void PutHeader(char mark, std::size_t length, unsigned char *out) {
    out[0] = static_cast<unsigned char>(mark);
    PutDigits(length, out + 1);
}

bool ParseHeader(const unsigned char *header, char *mark, std::size_t *length) {
    if (header[0] != kFrameMark && header[0] != kErrorMark) return false;
    std::size_t value = 0;
    for (std::size_t i = 1; i < kHeaderSize; ++i) {
        const int digit = DigitValue(header[i]);
        if (digit < 0) return false;
        value = value * 16 + static_cast<std::size_t>(digit);
    }
    *mark = static_cast<char>(header[0]);
    *length = value;
    return true;
}

std::string Wrap(char mark, std::string_view payload) {
    unsigned char header[kHeaderSize];
    PutHeader(mark, payload.size(), header);
    std::string out(reinterpret_cast<const char *>(header), kHeaderSize);
    out += payload;
    return out;
}

std::string ErrorReply(unsigned code) {
    unsigned char digits[4];
    PutDigits(code, digits);
    return Wrap(kErrorMark, std::string_view(reinterpret_cast<const char *>(digits), sizeof digits));
}

ScanResult ScanRequest(const unsigned char *bytes, std::size_t count) {
    if (count == 0) return {};
    if (bytes[0] != kFrameMark) return {Scan::NotAnEnvelope};
    for (std::size_t i = 1; i < kHeaderSize && i < count; ++i)
        if (DigitValue(bytes[i]) < 0) return {Scan::NotAnEnvelope};
    if (count < kHeaderSize) return {};
    char mark = 0;
    std::size_t length = 0;
    ParseHeader(bytes, &mark, &length);
    if (length > kMaxPayload) return {Scan::TooLong, length};
    if (count < kHeaderSize + length) return {};
    return {Scan::Complete, length};
}

}  // namespace envelope

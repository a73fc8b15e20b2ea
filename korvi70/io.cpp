#include "korvi70/io.h"

#include <algorithm>
#include <array>
#include <span>

#include "korvi70/frame_hex.h"
#include "korvi70/legacy.h"
#include "korvi70/result_codes.h"

namespace {

constexpr int kMaxCount = 255;

bool InRange(int address, int start, int count, const void *bytes) {
    return address >= 2 && address <= 255 && start >= 0 && start <= 0xFFFF && count >= 1 && count <= kMaxCount &&
           bytes != nullptr;
}

// Start address as 4 hex digits and count as 2: the payload both frames begin with.
template <std::size_t N>
void AppendStartAndCount(korvi70::FixedText<N> &payload, int start, int count) {
    payload.AppendHex(static_cast<unsigned>(start), 4);
    payload.AppendHex(static_cast<unsigned>(count), 2);
}

}  // namespace

int Korvi70_PodWeWy(int address, int start, int count, unsigned char *bytes) {
    if (!InRange(address, start, count, bytes)) return korvi70::kRefused;
    korvi70::FixedText<8> payload;
    AppendStartAndCount(payload, start, count);
    // Two hex digits a byte, and room for the terminating NUL.
    std::array<char, 2 * kMaxCount + 1> reply{};
    const std::size_t chars = 2 * static_cast<std::size_t>(count);
    const int rc = korvi70::RunLegacy(static_cast<unsigned char>(address), 'F', payload.View(),
                                      korvi70::LegacyOrder::TerminatorNoFlush, std::span(reply.data(), chars + 1));
    if (rc != korvi70::kDone) return rc;

    std::array<unsigned char, kMaxCount> values{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        unsigned value = 0;
        if (!korvi70::ParseHex(std::string_view(reply.data() + 2 * i, 2), &value)) return korvi70::kNoValidReply;
        values[i] = static_cast<unsigned char>(value);
    }
    std::copy(values.begin(), values.begin() + count, bytes);
    return korvi70::kDone;
}

int Korvi70_ZapWeWy(int address, int start, int count, const unsigned char *bytes) {
    if (!InRange(address, start, count, bytes)) return korvi70::kRefused;
    korvi70::FixedText<8 + 2 * kMaxCount> payload;
    AppendStartAndCount(payload, start, count);
    for (int i = 0; i < count; ++i) payload.AppendHex(bytes[i], 2);
    return korvi70::RunLegacy(static_cast<unsigned char>(address), 'G', payload.View(),
                              korvi70::LegacyOrder::FlushThenTerminator);
}

#include "cli/serve/line_exchange.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "cli/serve/error_codes.h"
#include "cli/serve/reply_framer.h"
#include "korvi70/link.h"
#include "korvi70/password.h"
#include "platform/system.h"

namespace cli::serve {
namespace {

constexpr unsigned char kPreamble[3] = {0xFF, 0xFF, 0x00};

bool LineFailed() { return Korvi70_BladLacza != 0 && Korvi70_BladLacza != Korvi70_BladCzasu; }

// Reads what the line brings into the framer until the reply is whole or
// the deadline passes; false when the port fails.
bool ReadReply(ReplyFramer &framer, double deadline) {
    // A read asks for the bytes already waiting, or waits for the next one.
    std::array<unsigned char, 257> chunk;
    while (framer.Status() == ReplyFramer::State::Waiting) {
        const double left = deadline - platform::Timer();
        if (left <= 0) break;
        Korvi70_ZmienCzasOczekiwania(left);
        const int waiting = Korvi70_GetInQLen();
        if (LineFailed()) return false;
        const int want = std::clamp(waiting, 1, static_cast<int>(chunk.size()) - 1);
        const int got = Korvi70_ComRd(chunk.data(), want);
        if (LineFailed()) return false;
        if (got > 0) framer.Take(chunk.data(), static_cast<std::size_t>(got));
    }
    return true;
}

}  // namespace

unsigned ExchangeOnLine(std::span<const unsigned char> request, double deadline, std::span<unsigned char> reply,
                        std::size_t *replyLength) {
    *replyLength = 0;
    // Left-overs of an earlier reply must not pass for this one's.
    Korvi70_FlushOutQ();
    if (Korvi70_BladLacza != 0) return kLineFailed;
    Korvi70_FlushInQ();
    if (Korvi70_BladLacza != 0) return kLineFailed;

    std::array<unsigned char, sizeof kPreamble + envelope::kMaxPayload + 1> frame;
    const std::size_t n = std::min(request.size(), envelope::kMaxPayload);
    std::memcpy(frame.data(), kPreamble, sizeof kPreamble);
    std::memcpy(frame.data() + sizeof kPreamble, request.data(), n);
    frame[sizeof kPreamble + n] = 0x01;
    Korvi70_ComWrt(frame.data(), static_cast<int>(sizeof kPreamble + n + 1));
    if (Korvi70_BladLacza != 0) return kLineFailed;

    ReplyFramer framer(request.first(n));
    const bool portWorks = ReadReply(framer, deadline);
    Korvi70_PrzywrocCzasOczekiwania();
    if (!portWorks) return kLineFailed;
    if (framer.Status() != ReplyFramer::State::Complete) return framer.Heard() ? kReplyUnfinished : kNoReply;
    const std::span<const unsigned char> frameReply = framer.Reply();
    const std::size_t copied = std::min(frameReply.size(), reply.size());
    std::memcpy(reply.data(), frameReply.data(), copied);
    *replyLength = copied;
    return 0;
}

}  // namespace cli::serve

#include "korvi70/legacy.h"

#include "korvi70/frame.h"
#include "korvi70/held_frame.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "platform/system.h"

namespace korvi70 {
namespace {

// The request must have left the port before the echo is flushed; the
// wait is bounded by the time a full output queue takes plus the time-out.
void WaitUntilSent() {
    const double limit = platform::Timer() + 1.0 + (Korvi70_CzasOczekiwaniaRS > 0 ? Korvi70_CzasOczekiwaniaRS : 0);
    while (Korvi70_GetOutQLen() > 0 && platform::Timer() < limit) platform::Delay(0.001);
}

// On an echoing line the echo of the last bytes can still be on its way
// when the output queue reports empty; a flush at that moment would leave it
// to be read as the reply. Wait for it first (each read is bounded by the
// time-out), then flush whatever else came.
void AwaitEcho(int count) {
    if (Korvi70_JestEcho != 1) return;
    for (int i = 0; i < count; ++i) {
        Korvi70_ComRdByte();
        if (Korvi70_BladLacza != 0) return;
    }
}

}  // namespace

int RunLegacy(unsigned char address, char letter, std::string_view payload, LegacyOrder order, std::span<char> reply) {
    // The reply's payload is read in one block, followed in its buffer by a NUL.
    const std::size_t replyChars = reply.empty() ? 0 : reply.size() - 1;

    Korvi70_FlushOutQ();
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    Korvi70_FlushInQ();
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;

    // Write errors are not checked here: a request that did not go out
    // shows up as a missing reply.
    const HeldFrame frame;
    Korvi70_ComWrtByte(0xFF);
    Korvi70_ComWrtByte(0xFF);
    Korvi70_ComWrtByte(0x00);
    const unsigned char head[2] = {address, static_cast<unsigned char>(letter)};
    Korvi70_ComWrt(head, 2);
    if (!payload.empty()) Korvi70_ComWrt(payload.data(), static_cast<int>(payload.size()));
    const unsigned char length = static_cast<unsigned char>((0x83 + payload.size()) & 0xFF);
    Korvi70_ComWrt(&length, 1);

    const int written = 3 + 2 + static_cast<int>(payload.size()) + 1;
    switch (order) {
    case LegacyOrder::TerminatorThenFlush:
        Korvi70_ComWrtByte(0x01);
        WaitUntilSent();
        AwaitEcho(written + 1);
        Korvi70_FlushInQ();
        if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
        break;
    case LegacyOrder::FlushThenTerminator:
        WaitUntilSent();
        AwaitEcho(written);
        Korvi70_FlushInQ();
        if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
        Korvi70_ComWrtByte(0x01);
        break;
    case LegacyOrder::TerminatorNoFlush:
        WaitUntilSent();
        Korvi70_ComWrtByte(0x01);
        // The reply may already follow the echo, so nothing is flushed; but
        // the echo itself, with its own 0x00 and address byte, would pass
        // for the reply: it is taken off first.
        AwaitEcho(written + 1);
        break;
    }

    if (SkipLeadIn() != 0) return korvi70::kNoValidReply;
    const int replyAddress = Korvi70_ComRdByte();
    if (Korvi70_BladLacza != 0 || replyAddress != address) return korvi70::kNoValidReply;
    if (replyChars > 0) {
        Korvi70_ComRd(reply.data(), static_cast<int>(replyChars));
        if (Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
    }
    const int replyLength = Korvi70_ComRdByte();
    // Compared as a plain number: a reply length above 255 cannot match.
    if (Korvi70_BladLacza != 0 || replyLength != static_cast<int>(0x82 + replyChars)) return korvi70::kNoValidReply;
    const int end = Korvi70_ComRdByte();
    if (Korvi70_BladLacza != 0 || end != 0x01) return korvi70::kNoValidReply;
    return korvi70::kDone;
}

}  // namespace korvi70

// Serial link: the platform's port operations on Korvi70_NrZlacza, with the
// port's error value taken right after each call. A frame's writes may be
// held and sent as one (held_frame.h).
#include <array>
#include <cstring>

#include "korvi70/held_frame.h"
#include "korvi70/link.h"
#include "korvi70/transport.h"
#include "platform/com.h"

namespace korvi70 {
namespace {

// Longer than any frame the library sends; more is sent in parts.
constexpr int kHeldCapacity = 2048;

struct Held {
    bool holding = false;
    int count = 0;
    std::array<unsigned char, kHeldCapacity> bytes;
};
Held g_held;

int Done(int result) {
    Korvi70_BladLacza = platform::ReturnRS232Err();
    return result;
}

// Sends what is held: 0, or the failed write's error, which then becomes
// the outcome of the primitive that asked.
int Release() {
    if (g_held.count == 0) return 0;
    const int count = g_held.count;
    g_held.count = 0;
    platform::ComWrt(Korvi70_NrZlacza, g_held.bytes.data(), count);
    return platform::ReturnRS232Err();
}

int Failed(int err) {
    Korvi70_BladLacza = err;
    return err;
}

// The primitives that are no write send what is held first.
template <typename Call>
int AfterRelease(Call call) {
    if (const int err = Release(); err != 0) return Failed(err);
    return Done(call());
}

int ComWrt(const void *buffer, int count) {
    if (!g_held.holding || buffer == nullptr || count < 0)
        return AfterRelease([&] { return platform::ComWrt(Korvi70_NrZlacza, buffer, count); });
    if (count > kHeldCapacity - g_held.count) {
        if (const int err = Release(); err != 0) return Failed(err);
        if (count > kHeldCapacity) return Done(platform::ComWrt(Korvi70_NrZlacza, buffer, count));
    }
    std::memcpy(g_held.bytes.data() + g_held.count, buffer, static_cast<std::size_t>(count));
    g_held.count += count;
    Korvi70_BladLacza = 0;
    return count;
}

int ComWrtByte(int byte) {
    if (!g_held.holding) return AfterRelease([&] { return platform::ComWrtByte(Korvi70_NrZlacza, byte); });
    const unsigned char b = static_cast<unsigned char>(byte);
    ComWrt(&b, 1);
    if (Korvi70_BladLacza != 0) return Korvi70_BladLacza;
    // The terminator ends the frame: it leaves now.
    if (b == 0x01) {
        if (const int err = Release(); err != 0) return Failed(err);
    }
    return 1;
}

// Discarding the output queue discards what is held with it.
int FlushOutQ() {
    g_held.count = 0;
    return Done(platform::FlushOutQ(Korvi70_NrZlacza));
}
int FlushInQ() {
    return AfterRelease([] { return platform::FlushInQ(Korvi70_NrZlacza); });
}
int ComRd(void *buffer, int count) {
    return AfterRelease([&] { return platform::ComRd(Korvi70_NrZlacza, buffer, count); });
}
int ComRdByte() {
    return AfterRelease([] { return platform::ComRdByte(Korvi70_NrZlacza); });
}
int ComRdTerm(void *buffer, int count, int terminator) {
    return AfterRelease([&] { return platform::ComRdTerm(Korvi70_NrZlacza, buffer, count, terminator); });
}
int GetInQLen() {
    return AfterRelease([] { return platform::GetInQLen(Korvi70_NrZlacza); });
}
int GetOutQLen() {
    return AfterRelease([] { return platform::GetOutQLen(Korvi70_NrZlacza); });
}

}  // namespace

HeldFrame::HeldFrame() : holds_(!g_held.holding && Korvi70_JestEcho != 1) {
    if (holds_) g_held.holding = true;
}

HeldFrame::~HeldFrame() {
    if (!holds_) return;
    g_held.holding = false;
    if (const int err = Release(); err != 0) Korvi70_BladLacza = err;
}

const Transport kSerialTransport = {FlushOutQ, FlushInQ,  ComWrt,    ComRd,     ComWrtByte,
                                    ComRdByte, ComRdTerm, GetInQLen, GetOutQLen};

}  // namespace korvi70

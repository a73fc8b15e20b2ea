// The simulated instrument's request reader: bytes from the program's side
// go in one by one. Each byte gives back at most its echo and one bounded
// reply, and whatever the requests changed is a state the simulator can
// save and load back.
//
// Input: one option byte, then the line's bytes. Option bit 0 puts the
// right check into every hex frame (so mutated frames reach the command
// handlers rather than stopping at the check); bit 1 makes the line echo;
// bit 2 sends the bytes, 16 at a time, through the simulator's TCP gateway
// (envelopes around frames) instead.
#include <string>

#include "sim/gateway.h"
#include "sim/instrument.h"
#include "sim/state_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

// The longest reply: a hex frame with a few hundred data characters, or a
// loader's short answer.
constexpr std::size_t kMaxReply = 2048;

char HexDigit(unsigned v) { return "0123456789ABCDEF"[v & 0x0F]; }

// Rewrites the two characters before each 0x01 that ends a frame of at
// least 10 characters with the XOR of the characters before them.
std::string WithChecks(std::string bytes) {
    std::size_t start = std::string::npos;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\0') {
            start = i + 1;
        } else if (bytes[i] == '\x01' && start != std::string::npos) {
            if (i - start >= 10) {
                unsigned char x = 0;
                for (std::size_t k = start; k < i - 2; ++k) x ^= static_cast<unsigned char>(bytes[k]);
                bytes[i - 2] = HexDigit(x >> 4);
                bytes[i - 1] = HexDigit(x);
            }
            start = std::string::npos;
        }
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned options = data[0];
    std::string bytes(fuzz::AsText(data + 1, size - 1));
    if (options & 0x01) bytes = WithChecks(std::move(bytes));

    sim::Instrument instrument;
    instrument.Faults().echo = (options & 0x02) != 0;
    if (options & 0x04) {
        sim::GatewayFaults faults;
        sim::GatewayCounters counters;
        sim::Gateway gateway(instrument, faults, counters);
        for (std::size_t at = 0; at < bytes.size(); at += 16) {
            std::string out;
            const std::string_view chunk = std::string_view(bytes).substr(at, 16);
            gateway.Receive(chunk, out);
            // An envelope needs at least its 5 header bytes: one chunk can
            // complete at most a few, each with one bounded answer.
            FUZZ_CHECK(out.size() <= (chunk.size() / 5 + 1) * (5 + kMaxReply));
        }
        FUZZ_CHECK(counters.replies <= counters.envelopes);
    } else {
        for (char c : bytes) {
            std::string echo, reply;
            instrument.Receive(static_cast<unsigned char>(c), echo, reply);
            FUZZ_CHECK(echo.size() <= 1);
            FUZZ_CHECK(reply.size() <= kMaxReply);
        }
    }

    const std::string saved = sim::FormatState(instrument.State());
    sim::InstrumentState loaded;
    std::string error;
    FUZZ_CHECK(sim::ParseState(saved, loaded, &error));
    FUZZ_CHECK(sim::FormatState(loaded) == saved);
    return 0;
}

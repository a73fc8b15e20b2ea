// The requests a client sends `vgx52ctl serve`: its request reader takes
// the client's bytes in pieces as the socket gives them. Whatever the
// pieces, the requests it finds and the verdict it ends on are those of the
// whole stream read at once; no request is longer than the link's buffer
// and nothing is kept beyond one request and what follows it.
//
// Input: one byte that sets the size of the pieces (1 + its value), then
// the client's bytes.
#include <algorithm>
#include <string>
#include <vector>

#include "cli/serve/request_reader.h"
#include "envelope/envelope.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using envelope::Scan;

struct Outcome {
    std::vector<std::string> requests;
    Scan last = Scan::Incomplete;  // the verdict the stream ends on
};

// The stream read at once, one request after another.
Outcome WholeStream(const unsigned char *bytes, std::size_t size) {
    Outcome o;
    std::size_t at = 0;
    for (;;) {
        const envelope::ScanResult r = envelope::ScanRequest(bytes + at, size - at);
        o.last = r.verdict;
        if (r.verdict != Scan::Complete) return o;
        o.requests.emplace_back(reinterpret_cast<const char *>(bytes) + at + envelope::kHeaderSize, r.payloadLength);
        at += envelope::kHeaderSize + r.payloadLength;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0];
    const unsigned char *bytes = data + 1;
    const std::size_t count = size - 1;
    const Outcome expected = WholeStream(bytes, count);

    cli::serve::RequestReader reader;
    Outcome got;
    std::size_t at = 0;
    Scan verdict = Scan::Incomplete;
    while (verdict == Scan::Incomplete && at < count) {
        const std::span<unsigned char> space = reader.Space();
        // Room is left until a whole request is there.
        FUZZ_CHECK(!space.empty());
        const std::size_t n = std::min({piece, space.size(), count - at});
        std::copy(bytes + at, bytes + at + n, space.begin());
        at += n;
        verdict = reader.Added(n);
        while (verdict == Scan::Complete) {
            const std::span<const unsigned char> payload = reader.Payload();
            FUZZ_CHECK(payload.size() <= envelope::kMaxPayload);
            got.requests.emplace_back(payload.begin(), payload.end());
            verdict = reader.Consume();
        }
        if (verdict == Scan::TooLong) FUZZ_CHECK(reader.AnnouncedLength() > envelope::kMaxPayload);
    }
    got.last = verdict;
    FUZZ_CHECK(got.requests == expected.requests);
    FUZZ_CHECK(got.last == expected.last);
    return 0;
}

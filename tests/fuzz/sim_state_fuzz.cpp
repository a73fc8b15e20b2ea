// The simulator's state file: a file it refuses leaves the state as it was
// and says why; a file it takes gives a state that saves and loads back
// unchanged.
#include <string>

#include "sim/instrument_state.h"
#include "sim/state_file.h"
#include "tests/fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::string path = fuzz::WriteTempFile("sim.state", fuzz::AsText(data, size));
    static const std::string before = sim::FormatState(sim::InstrumentState{});
    sim::InstrumentState state;
    std::string error;
    if (!sim::LoadState(state, path, &error)) {
        FUZZ_CHECK(!error.empty());
        FUZZ_CHECK(sim::FormatState(state) == before);
        return 0;
    }
    const std::string saved = sim::FormatState(state);
    sim::InstrumentState again;
    FUZZ_CHECK(sim::ParseState(saved, again, &error));
    FUZZ_CHECK(sim::FormatState(again) == saved);
    return 0;
}

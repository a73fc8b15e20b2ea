// vgx52-sim: a simulated VGX52 on a pseudo-terminal (--com N) or behind a
// Korvi70 TCP gateway (--tcp PORT). Prints one line saying where it
// listens, serves until told to stop (SIGTERM or SIGINT; Ctrl+C on
// Windows), then removes its link.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/stop_request.h"
#include "sim/instrument.h"
#include "sim/options.h"
#include "sim/program.h"
#include "sim/state_setup.h"
#include "sim/tcp_server.h"

namespace {

int ServeTcp(sim::Instrument &instrument, const sim::SimOptions &options) {
    sim::GatewayServer server(instrument);
    server.Locked(
        [&](sim::GatewayFaults &faults, sim::Instrument &, sim::GatewayCounters &) { faults = options.gateway; });
    if (server.Listen(options.tcp) < 0) {
        std::fprintf(stderr, "vgx52-sim: cannot listen on 127.0.0.1:%d\n", options.tcp);
        return 1;
    }
    std::printf("listening on 127.0.0.1:%d\n", server.Port());
    std::fflush(stdout);
    server.Serve(platform::StopRequestSocket());
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    sim::SimOptions options;
    std::string error;
    if (!sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), &options, &error)) {
        std::fprintf(stderr, "vgx52-sim: %s\n%s", error.c_str(), sim::Usage());
        return 2;
    }
    if (options.help) {
        std::fputs(sim::Usage(), stdout);
        return 0;
    }
    if (!platform::InstallStopRequests()) {
        std::perror("vgx52-sim: signals");
        return 1;
    }
    sim::Instrument instrument;
    instrument.State().id = static_cast<unsigned char>(options.id);
    instrument.State().typeCode = options.typeCode;
    instrument.Faults() = options.faults;
    if (!sim::PrepareInstrumentState(instrument, options, &error)) {
        std::fprintf(stderr, "vgx52-sim: %s\n", error.c_str());
        return 1;
    }
    const int rc = options.com > 0 ? sim::ServePty(instrument, options) : ServeTcp(instrument, options);
    const bool saved = sim::SaveInstrumentState(instrument, options, &error);
    if (!saved) std::fprintf(stderr, "vgx52-sim: %s\n", error.c_str());
    // Windows waits for this before it ends a program whose console closed.
    platform::StopRequestDone();
    return saved || rc != 0 ? rc : 1;
}

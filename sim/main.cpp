// vgx52-sim: a simulated VGX52 on a pseudo-terminal (--com N) or behind a
// Korvi70 TCP gateway (--tcp PORT). Prints one line saying where it
// listens, serves until SIGTERM or SIGINT, then removes its link.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "sim/instrument.h"
#include "sim/options.h"
#include "sim/pty_server.h"
#include "sim/state_setup.h"
#include "sim/tcp_server.h"

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = write(g_signalPipe[1], &byte, 1);
}

bool InstallSignals() {
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    if (sigaction(SIGTERM, &action, nullptr) != 0 || sigaction(SIGINT, &action, nullptr) != 0) return false;
    signal(SIGPIPE, SIG_IGN);
    return true;
}

int ServePty(sim::Instrument &instrument, const sim::SimOptions &options) {
    sim::PtyServer server(instrument);
    server.Line().turnaround = options.turnaround;
    sim::Modem modem(server.Line(), options.modem);
    std::FILE *log = nullptr;
    if (options.modem.present) {
        if (!options.modemLog.empty() && (log = std::fopen(options.modemLog.c_str(), "a")) == nullptr) {
            std::perror(("vgx52-sim: " + options.modemLog).c_str());
            return 1;
        }
        // Each command line the modem receives, as it comes.
        modem.onLog = [log](const std::string &line) {
            std::FILE *to = log != nullptr ? log : stderr;
            std::fprintf(to, "%s%s\n", log != nullptr ? "" : "modem: ", line.c_str());
            std::fflush(to);
        };
        server.SetModem(&modem);
    }
    std::string error;
    if (!server.Open(options.com, &error)) {
        std::fprintf(stderr, "vgx52-sim: %s\n", error.c_str());
        if (log != nullptr) std::fclose(log);
        return 1;
    }
    std::printf("listening on COM%d %s\n", options.com, server.TerminalPath().c_str());
    std::fflush(stdout);
    server.Serve(g_signalPipe[0]);
    server.Close();
    if (log != nullptr) std::fclose(log);
    return 0;
}

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
    server.Serve(g_signalPipe[0]);
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
    if (!InstallSignals()) {
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
    const int rc = options.com > 0 ? ServePty(instrument, options) : ServeTcp(instrument, options);
    if (!sim::SaveInstrumentState(instrument, options, &error)) {
        std::fprintf(stderr, "vgx52-sim: %s\n", error.c_str());
        return rc != 0 ? rc : 1;
    }
    return rc;
}

#include <cstdio>
#include <string>

#include "platform/stop_request.h"
#include "sim/program.h"
#include "sim/pty_server.h"

namespace sim {

int ServePty(Instrument &instrument, const SimOptions &options) {
    PtyServer server(instrument, options.line);
    server.Line().turnaround = options.turnaround;
    Modem modem(server.Line(), options.modem);
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
    server.Serve(platform::StopRequestSocket());
    server.Close();
    if (log != nullptr) std::fclose(log);
    return 0;
}

}  // namespace sim

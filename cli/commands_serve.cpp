// serve [--listen ADDRESS:PORT] [--allow NETWORKS] [--idle S]: a Korvi70
// TCP server in front of the instrument on the serial port. The port is
// opened as the link opens it (38400 8N1, the echo test); clients reach
// the instrument through it with their "PolaczeniePrzezKorviTCP"
// connection. Serves until Ctrl+C or SIGTERM (on Windows also Ctrl+Break
// and the console's closing). The envelope carries no password: across
// the internet it belongs in an SSH tunnel or a VPN.
#include <cstdio>

#include "cli/command_table.h"
#include "cli/link_setup.h"
#include "cli/serve/line_exchange.h"
#include "cli/serve/server.h"
#include "cli/serve/settings.h"
#include "cli/traffic_log.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "platform/stop_request.h"

namespace cli {
namespace {

bool ParseServe(const std::vector<std::string> &args, Params &params, ArgError &error) {
    serve::ServeSettings settings;
    if (!serve::ParseServeArgs(args, settings, error)) return false;
    params.options = args;
    return true;
}

int RunServe(const Context &context, const Params &params) {
    serve::ServeSettings settings;
    ArgError parsed;
    serve::ParseServeArgs(params.options, settings, parsed);  // checked when parsed
    std::string error;
    if (!platform::InstallStopRequests()) {
        std::fprintf(context.err, "vgx52ctl: serve: cannot take stop requests\n");
        return korvi70::kNotDone;
    }
    serve::Server server(settings, serve::ExchangeOnLine, context.err);
    platform::detail::ListenError why{};
    if (!server.Listen(&why)) {
        std::fprintf(context.err, "vgx52ctl: serve: %s\n", serve::ListenFailure(settings, why).c_str());
        return korvi70::kLinkFailed;
    }
    const std::string where = platform::NetAddressText(server.Address());
    // Anyone who reaches the address could drive the instrument.
    if (!server.Address().IsLoopback() && settings.allow.Empty()) {
        std::fprintf(context.err,
                     "vgx52ctl: serve: %s can be reached from other computers: give --allow with the networks "
                     "that may connect\nTry 'vgx52ctl --help'.\n",
                     where.c_str());
        return kExitUsage;
    }

    const Options &options = *context.options;
    TrafficLog log;
    if (!OpenLogOption(log, options.logPath, context.err)) return kExitUsage;
    if (OpenLink(options, error) != 0) {
        std::fprintf(context.err, "vgx52ctl: %s\n", error.c_str());
        return korvi70::kLinkFailed;
    }
    std::fprintf(context.out, "listening on %s for COM%d\n", where.c_str(), Korvi70_NrZlacza);
    std::fflush(context.out);
    // When the network fails, the server has said so on err.
    const bool stoppedAsAsked = server.Serve(platform::StopRequestSocket());
    CloseLink();
    CloseLogOption(log, options.logPath, context.err);
    std::fprintf(context.err, "stopped: COM%d closed\n", Korvi70_NrZlacza);
    platform::StopRequestDone();
    return stoppedAsAsked ? korvi70::kDone : korvi70::kLinkFailed;
}

const Command kServeCommands[] = {
    {"serve", "[--listen ADDRESS:PORT] [--allow NETWORKS] [--idle S]",
     "serve the instrument to Korvi70 TCP clients (until Ctrl+C)", ParseServe, RunServe, true, true},
};

}  // namespace

std::span<const Command> ServeCommandTable() { return kServeCommands; }

}  // namespace cli

#include "cli/cli.h"

#include <string>

#include "cli/command_table.h"
#include "cli/link_setup.h"
#include "cli/modem_dial.h"
#include "cli/options.h"
#include "cli/traffic_log.h"
#include "ui/console.h"
#include "vgx52_version.h"

namespace cli {
namespace {

void PrintUsage(std::FILE *out) {
    std::fprintf(out,
                 "Usage: vgx52ctl [--port N | --tcp HOST[:PORT]] [--id ID] [--attempts N] [--timeout S]\n"
                 "                [--log FILE] COMMAND [ARGS]\n"
                 "\n"
                 "Sends one command to a VGX52 gas-parameter meter over the Korvi70 protocol.\n"
                 "\n"
                 "Options:\n"
                 "  --port N          serial port COMn (default: the shared connection configuration's)\n"
                 "  --tcp HOST[:PORT] through a Korvi70 TCP gateway (default port %d)\n"
                 "  --id ID           instrument ID the command is sent to, 0..255 (default 0)\n"
                 "  --attempts N      attempts while no valid reply comes (default %d)\n"
                 "  --timeout S       serial time-out in seconds, 0.05..5 (default %.1f)\n"
                 "  --log FILE        write every byte sent and received to FILE, in hex\n"
                 "  --dial NUMBER     reach the instrument through the modem on the serial port: dial,\n"
                 "                    run the command, hang up (--pulse: pulse dialling)\n"
                 "  --help, --version\n"
                 "\n"
                 "Commands:\n",
                 kDefaultTcpPort, korvi70::kProgramAttempts, kDefaultTimeout);
    for (const Command &command : AllCommands()) {
        std::string head = std::string(command.name) + (*command.synopsis ? " " : "") + command.synopsis;
        std::fprintf(out, "  %-26s %s\n", head.c_str(), command.summary);
    }
    std::fprintf(out,
                 "\n"
                 "Values are printed one per line. Exit status: 0 done, 1 refused (argument out of\n"
                 "range), 2 link failed, 3 no valid reply, 64 bad usage, 255 upgrade or settings\n"
                 "transfer not done, any other value the instrument's status.\n");
}

const char *Describe(int rc) {
    switch (rc) {
    case 1: return "refused: an argument is out of the accepted range, nothing was sent";
    case 2: return "the link failed while sending";
    case 3: return "no valid reply from the instrument";
    case -1: return "not done";
    default: return nullptr;
    }
}

int Usage(std::FILE *err, const std::string &message) {
    std::fprintf(err, "vgx52ctl: %s\nTry 'vgx52ctl --help'.\n", message.c_str());
    return kExitUsage;
}

// The command line not taken: a number out of range is refused as the
// instrument commands refuse one (before anything is sent), the rest is
// bad usage. where: "" or the command and ": ".
int NotTaken(std::FILE *err, const std::string &where, const ArgError &error) {
    if (!error.outOfRange) return Usage(err, where + error.message);
    std::fprintf(err, "vgx52ctl: %srefused: %s; nothing was sent\n", where.c_str(), error.message.c_str());
    return korvi70::kRefused;
}

}  // namespace

int RunCli(int argc, const char *const *argv, std::FILE *out, std::FILE *err) {
    // The libraries' popups (the link's messages among them) go to err as
    // "title: text": nothing may pop up in a command-line tool.
    ui::console::Install(err);
    Options options;
    ArgError error;
    if (!ParseOptions(argc, argv, options, error)) return NotTaken(err, "", error);
    if (options.help) {
        PrintUsage(out);
        return 0;
    }
    if (options.version) {
        std::fprintf(out, "vgx52ctl %s\n", VGX52_VERSION);
        return 0;
    }
    if (options.command.empty()) return Usage(err, "no command given");
    const Command *command = FindCommand(options.command);
    if (command == nullptr) return Usage(err, "unknown command '" + options.command + "'");
    Params params;
    if (!command->parse(options.args, params, error)) return NotTaken(err, options.command + ": ", error);

    Context context;
    context.id = options.id;
    context.attempts = options.attempts;
    context.out = out;
    context.err = err;
    context.options = &options;
    if (command->opensOwnLink) {
        if (!options.tcpHost.empty() || !options.dial.empty())
            return Usage(err, options.command + " needs the instrument on a serial port: it takes no --tcp or --dial");
        return command->run(context, params);
    }
    if (!CheckModemUsage(options, command->opensLink, error)) return NotTaken(err, "", error);
    if (!command->opensLink) return command->run(context, params);

    TrafficLog log;
    if (!OpenLogOption(log, options.logPath, err)) return kExitUsage;

    if (std::string why; OpenLink(options, why) != 0) {
        std::fprintf(err, "vgx52ctl: %s\n", why.c_str());
        return korvi70::kLinkFailed;
    }
    const auto run = [&] { return command->run(context, params); };
    bool dialFailed = false;
    const int rc = options.dial.empty() ? run() : RunDialled(options, run, err, &dialFailed);
    std::fflush(out);
    CloseLink();
    CloseLogOption(log, options.logPath, err);

    if (rc != 0 && !dialFailed) {
        const char *text = Describe(rc);
        if (text != nullptr)
            std::fprintf(err, "vgx52ctl: %s: %s\n", options.command.c_str(), text);
        else
            std::fprintf(err, "vgx52ctl: %s: the instrument answered with status %d\n", options.command.c_str(), rc);
    }
    return rc;
}

}  // namespace cli

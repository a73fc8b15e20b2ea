// Restart code and subordinate devices.
#include <climits>
#include <cstdio>

#include "cli/command_table.h"
#include "cli/options.h"
#include "korvi70/loader_commands.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;

unsigned char Destination(const Context &context) { return static_cast<unsigned char>(context.id); }

bool ParseRestartCode(const Args &args, Params &params, ArgError &error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        std::string value;
        if (arg == "--cpu") {
            if (i + 1 >= args.size()) return Fail(error, "--cpu needs a processor type");
            value = args[++i];
        } else if (arg.rfind("--cpu=", 0) == 0) {
            value = arg.substr(6);
        } else {
            return ExpectCount({arg}, 0, "[--cpu N]", error);
        }
        long cpu = 0;
        if (!ArgInt(value, INT_MIN, INT_MAX, "--cpu", cpu, error)) return false;
        params.cpu = static_cast<int>(cpu);
    }
    return true;
}

int RestartCode(const Context &context, const Params &params) {
    unsigned char code = 0;
    const int rc = WithAttempts(context, [&] { return Korvi70_PodKodRestartu(Destination(context), &code); });
    if (rc != korvi70::kDone) return rc;
    char text[Korvi70_RozmiarTekstuKoduRestartu];
    Korvi70_ZamienKodRestartuDoTekstu(code, params.cpu, text);
    PrintInt(context, code);
    PrintText(context, text);
    return 0;
}

bool NoArgs(const Args &args, Params &, ArgError &error) { return ExpectCount(args, 0, "", error); }

int SubDevices(const Context &context, const Params &) {
    int count = 0;
    const int rc = WithAttempts(context, [&] { return Korvi70_PodIleUrzadPodrzed(Destination(context), &count); });
    if (rc == korvi70::kDone) PrintInt(context, count);
    return rc;
}

bool DeviceNumber(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 1, "N", error) && ArgInt(args[0], INT_MIN, INT_MAX, "N", params.number[0], error);
}

int SubDevice(const Context &context, const Params &params) {
    unsigned char code1 = 0, code2 = 0;
    int value1 = 0, value2 = 0;
    char text[Korvi70_RozmiarTekstuUrzadPodrzed];
    const int rc = WithAttempts(context, [&] {
        return Korvi70_PodIlnfoOUrzadPodrzed(Destination(context), static_cast<int>(params.number[0]), &code1, &code2,
                                             &value1, &value2, text);
    });
    if (rc != korvi70::kDone) return rc;
    PrintInt(context, code1);
    PrintInt(context, code2);
    PrintInt(context, value1);
    PrintInt(context, value2);
    PrintText(context, text);
    return 0;
}

constexpr Command kCommands[] = {
    {"restart-code", "[--cpu N]", "cause of the last restart: the code, then its text (processor type N, 1)",
     ParseRestartCode, RestartCode},
    {"subdevices", "", "number of subordinate devices", NoArgs, SubDevices},
    {"subdevice", "N", "subordinate device N: two codes, two values, its text", DeviceNumber, SubDevice},
};

}  // namespace

std::span<const Command> LoaderCommandTable() { return kCommands; }

}  // namespace cli

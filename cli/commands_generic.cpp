// Identification, ID, serial number, clock, basic value and no-operation.
#include <climits>
#include <cstdio>

#include "cli/command_table.h"
#include "cli/options.h"
#include "korvi70/commands.h"
#include "korvi70/identify.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;

unsigned char Destination(const Context &context) { return static_cast<unsigned char>(context.id); }

bool NoArgs(const Args &args, Params &, ArgError &error) { return ExpectCount(args, 0, "", error); }

bool OneText(const Args &args, Params &params, ArgError &error) {
    if (!ExpectCount(args, 1, "TEXT", error)) return false;
    params.text = args[0];
    return true;
}

int Identify(const Context &context, const Params &) {
    korvi70::Identity identity;
    const int rc = korvi70::IdentifyInstrument(Destination(context), &identity, context.attempts);
    if (rc == korvi70::kDone)
        std::fprintf(context.out, "%04X\t%s\n", static_cast<unsigned>(identity.typeCode) & 0xFFFF, identity.name);
    return rc;
}

int Version(const Context &context, const Params &) {
    int version = 0;
    const int rc = WithAttempts(context, [&] { return Korvi70_PodWerOprogWewn(Destination(context), &version); });
    if (rc == korvi70::kDone) PrintInt(context, version);
    return rc;
}

int ReadId(const Context &context, const Params &) {
    unsigned char id = 0;
    const int rc = WithAttempts(context, [&] { return Korvi70_PodNrId(&id); });
    if (rc == korvi70::kDone) PrintInt(context, id);
    return rc;
}

bool ParseWriteId(const Args &args, Params &params, ArgError &error) {
    Args rest;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (arg == "--current" || arg.rfind("--current=", 0) == 0) {
            std::string value;
            if (arg == "--current") {
                if (i + 1 >= args.size()) return Fail(error, "--current needs an ID");
                value = args[++i];
            } else {
                value = arg.substr(10);
            }
            long current = 0;
            if (!ArgInt(value, 0, 255, "--current", current, error)) return false;
            params.current = static_cast<int>(current);
        } else {
            rest.push_back(arg);
        }
    }
    if (!ExpectCount(rest, 1, "NEW [--current ID]", error)) return false;
    // Range and sameness are the command's own checks (it refuses with 1).
    return ArgInt(rest[0], INT_MIN, INT_MAX, "NEW", params.number[0], error);
}

int WriteId(const Context &context, const Params &params) {
    const int current = params.current >= 0 ? params.current : context.id;
    return WithAttempts(context, [&] { return Korvi70_ZapNrId(current, static_cast<int>(params.number[0])); });
}

int ReadSerial(const Context &context, const Params &) {
    char text[Korvi70_DlugoscNumeruSeryjnego + 1];
    const int rc = WithAttempts(context, [&] { return Korvi70_PodNumerSeryjny(Destination(context), text); });
    if (rc == korvi70::kDone) PrintText(context, text);
    return rc;
}

int WriteSerial(const Context &context, const Params &params) {
    return WithAttempts(context, [&] { return Korvi70_ZapNumerSeryjny(Destination(context), params.text.c_str()); });
}

int ReadClock(const Context &context, const Params &) {
    char text[Korvi70_DlugoscCzasuDaty + 1];
    const int rc = WithAttempts(context, [&] { return Korvi70_PodCzasDate(Destination(context), text); });
    if (rc == korvi70::kDone) PrintText(context, text);
    return rc;
}

int WriteClock(const Context &context, const Params &params) {
    return WithAttempts(context, [&] { return Korvi70_ZapCzasDate(Destination(context), params.text.c_str()); });
}

int ReadBasic(const Context &context, const Params &) {
    double value = 0;
    const int rc = WithAttempts(context, [&] { return Korvi70_PodWartPodstawowa(Destination(context), &value); });
    if (rc == korvi70::kDone) PrintReal(context, value);
    return rc;
}

bool OneReal(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 1, "VALUE", error) && ArgReal(args[0], "VALUE", params.real, error);
}

int WriteBasic(const Context &context, const Params &params) {
    return WithAttempts(context, [&] { return Korvi70_ZapWartPodstawowa(Destination(context), params.real); });
}

bool OneAddress(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 1, "ADDRESS", error) &&
           ArgInt(args[0], INT_MIN, INT_MAX, "ADDRESS", params.number[0], error);
}

int Nop(const Context &context, const Params &params) {
    return WithAttempts(context, [&] { return Korvi70_NOP(static_cast<int>(params.number[0])); });
}

constexpr Command kCommands[] = {
    {"identify", "", "type code (hex) and the instrument's name", NoArgs, Identify},
    {"version", "", "internal software version", NoArgs, Version},
    {"read-id", "", "ID of the instrument on the line", NoArgs, ReadId},
    {"write-id", "NEW [--current ID]", "give the instrument (at --current, else --id) a new ID", ParseWriteId, WriteId},
    {"read-serial", "", "serial number", NoArgs, ReadSerial},
    {"write-serial", "TEXT", "write the serial number (8 characters)", OneText, WriteSerial},
    {"read-clock", "", "date and time text", NoArgs, ReadClock},
    {"write-clock", "TEXT", "write the date and time text (17 characters)", OneText, WriteClock},
    {"read-basic", "", "basic value", NoArgs, ReadBasic},
    {"write-basic", "VALUE", "write the basic value", OneReal, WriteBasic},
    {"nop", "ADDRESS", "no-operation probe (legacy frame) to ADDRESS 2..255", OneAddress, Nop},
};

}  // namespace

std::span<const Command> GenericCommandTable() { return kCommands; }

}  // namespace cli

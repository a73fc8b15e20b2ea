// The commands of vgx52ctl. Each command checks its arguments before the
// link is opened (bad usage never touches the instrument) and then runs.
// A new command is a row in a group's table and, for a new group, one line
// in AllCommands() (command_table.cpp).
#pragma once
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "cli/options.h"
#include "korvi70/attempts.h"

namespace cli {

// Arguments of a command after checking.
struct Params {
    long number[2] = {};               // integer arguments, in order
    double real = 0;                   // the real-valued argument
    char letter = 0;                   // a code or column letter
    std::string text;                  // a text argument
    std::vector<unsigned char> bytes;  // io-write
    int current = -1;                  // write-id --current
    int cpu = 1;                       // restart-code --cpu
    std::string program, extension;    // typ1 --program, --ext
    bool comment = false;              // typ1 --comment
    std::vector<std::string> options;  // serve: its own options, read again when it runs
};

struct Options;

struct Context {
    int id = 0;                                // destination of the commands
    int attempts = korvi70::kProgramAttempts;  // attempts while a command gives 3
    std::FILE *out = stdout;
    std::FILE *err = stderr;           // messages and progress of long commands
    const Options *options = nullptr;  // the global options, for a command that opens its own link
};

struct Command {
    const char *name;
    const char *synopsis;  // arguments, as shown in the usage text
    const char *summary;
    // False with the reason in error when the arguments do not fit.
    bool (*parse)(const std::vector<std::string> &args, Params &params, ArgError &error);
    // The command's result code.
    int (*run)(const Context &context, const Params &params);
    bool opensLink = true;  // false: runs without the link (ports)
    // Opens the serial link itself, from the options (serve): no --tcp, no --dial.
    bool opensOwnLink = false;
};

std::span<const Command> GenericCommandTable();
std::span<const Command> RegisterCommandTable();
std::span<const Command> LoaderCommandTable();
std::span<const Command> UpgradeCommandTable();
std::span<const Command> IoCommandTable();
std::span<const Command> PortCommandTable();
std::span<const Command> SettingsCommandTable();
std::span<const Command> DataCommandTable();
std::span<const Command> ModemCommandTable();
std::span<const Command> ServeCommandTable();

// Every command, in the order the usage text lists them.
const std::vector<Command> &AllCommands();
const Command *FindCommand(const std::string &name);

// Repeats a command while it gives 3, up to the context's attempts in all.
template <class F>
int WithAttempts(const Context &context, F &&command) {
    return korvi70::WithAttempts(command, context.attempts);
}

// Output: one value a line.
void PrintReal(const Context &context, double value);
void PrintInt(const Context &context, long long value);
void PrintText(const Context &context, const char *text);

// Argument checks shared by the command groups; each sets error on failure
// (a well-formed number outside min..max is refused, anything else that is
// not a number is bad usage).
bool ExpectCount(const std::vector<std::string> &args, std::size_t count, const char *synopsis, ArgError &error);
bool ArgInt(const std::string &text, long min, long max, const char *what, long &value, ArgError &error);
bool ArgReal(const std::string &text, const char *what, double &value, ArgError &error);
bool ArgLetter(const std::string &text, const char *what, char &letter, ArgError &error);

}  // namespace cli

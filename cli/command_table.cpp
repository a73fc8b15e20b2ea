#include "cli/command_table.h"

#include "cli/options.h"

namespace cli {

const std::vector<Command> &AllCommands() {
    static const std::vector<Command> all = [] {
        std::vector<Command> commands;
        for (auto group : {GenericCommandTable(), IoCommandTable(), RegisterCommandTable(), LoaderCommandTable(),
                           UpgradeCommandTable(), SettingsCommandTable(), ModemCommandTable(), PortCommandTable(),
                           DataCommandTable(), ServeCommandTable()})
            commands.insert(commands.end(), group.begin(), group.end());
        return commands;
    }();
    return all;
}

const Command *FindCommand(const std::string &name) {
    for (const Command &command : AllCommands())
        if (name == command.name) return &command;
    return nullptr;
}

void PrintReal(const Context &context, double value) { std::fprintf(context.out, "%.9g\n", value); }
void PrintInt(const Context &context, long long value) { std::fprintf(context.out, "%lld\n", value); }
void PrintText(const Context &context, const char *text) { std::fprintf(context.out, "%s\n", text); }

bool ExpectCount(const std::vector<std::string> &args, std::size_t count, const char *synopsis, ArgError &error) {
    if (args.size() == count) return true;
    for (const std::string &arg : args)
        if (arg.rfind("--", 0) == 0) return Fail(error, "unknown option " + arg.substr(0, arg.find('=')));
    std::string message = args.size() < count ? "missing arguments" : "too many arguments";
    if (*synopsis != '\0') message += std::string(" (expected: ") + synopsis + ")";
    return Fail(error, message);
}

bool ArgInt(const std::string &text, long min, long max, const char *what, long &value, ArgError &error) {
    const Number n = ParseInt(text, min, max, value);
    return n == Number::Taken || NumberFault(error, n,
                                             std::string(what) + " must be a whole number from " + std::to_string(min) +
                                                 " to " + std::to_string(max) + ", not \"" + text + "\"");
}

bool ArgReal(const std::string &text, const char *what, double &value, ArgError &error) {
    const Number n = ParseReal(text, value);
    return n == Number::Taken ||
           NumberFault(error, n, std::string(what) + " must be a finite number, not \"" + text + "\"");
}

bool ArgLetter(const std::string &text, const char *what, char &letter, ArgError &error) {
    if (text.size() == 1) {
        letter = text[0];
        return true;
    }
    return Fail(error, std::string(what) + " must be a single letter, not \"" + text + "\"");
}

}  // namespace cli

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

bool ExpectCount(const std::vector<std::string> &args, std::size_t count, const char *synopsis, std::string &error) {
    if (args.size() == count) return true;
    for (const std::string &arg : args)
        if (arg.rfind("--", 0) == 0) return Fail(error, "unknown option " + arg.substr(0, arg.find('=')));
    error = args.size() < count ? "missing arguments" : "too many arguments";
    if (*synopsis != '\0') error += std::string(" (expected: ") + synopsis + ")";
    return false;
}

bool ArgInt(const std::string &text, long min, long max, const char *what, long &value, std::string &error) {
    if (ParseInt(text, min, max, value)) return true;
    error = std::string(what) + " must be a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
            ", not \"" + text + "\"";
    return false;
}

bool ArgReal(const std::string &text, const char *what, double &value, std::string &error) {
    if (ParseReal(text, value)) return true;
    error = std::string(what) + " must be a finite number, not \"" + text + "\"";
    return false;
}

bool ArgLetter(const std::string &text, const char *what, char &letter, std::string &error) {
    if (text.size() == 1) {
        letter = text[0];
        return true;
    }
    error = std::string(what) + " must be a single letter, not \"" + text + "\"";
    return false;
}

}  // namespace cli

#include "app/command_line.h"

#include <string_view>

#include "app/text_scan.h"

namespace app {

CommandLine ScanCommandLine(int argc, const char *const *argv) {
    CommandLine result;
    for (int i = 1; i < argc && argv != nullptr; ++i) {
        if (argv[i] == nullptr) continue;
        const std::string_view argument = argv[i];
        if (argument.size() >= 5 && EqualsIgnoringCase(argument.substr(0, 5), "port:")) {
            std::string_view rest = argument.substr(5);
            int port = 0;
            if (ScanInt(rest, port)) {
                result.port = port;
                result.portGiven = 1;
            }
        }
        if (ContainsIgnoringCase(argument, "associate")) result.associate = 1;
    }
    return result;
}

}  // namespace app

#include "cli/serve/settings.h"

#include "cli/options.h"

namespace cli::serve {
namespace {

constexpr double kLongestIdle = 86400;

// "--name value" or "--name=value" at args[i]; false when args[i] is not
// the option. A missing value is an error.
bool OptionValue(const std::vector<std::string> &args, std::size_t &i, const std::string &name, std::string &value,
                 bool &missing) {
    const std::string &arg = args[i];
    if (arg.rfind(name + "=", 0) == 0) {
        value = arg.substr(name.size() + 1);
        return true;
    }
    if (arg != name) return false;
    missing = i + 1 >= args.size();
    if (!missing) value = args[++i];
    return true;
}

// "HOST:PORT", an IPv6 address in brackets.
std::string HostPort(const std::string &host, int port) {
    return (host.find(':') != std::string::npos ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

}  // namespace

bool ParseServeArgs(const std::vector<std::string> &args, ServeSettings &settings, ArgError &error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string value;
        bool missing = false;
        if (OptionValue(args, i, "--listen", value, missing)) {
            if (missing) return Fail(error, "--listen needs an address, such as 127.0.0.1:6666");
            if (!SplitHostPort(value, "--listen", 0, settings.host, settings.port, error)) return false;
        } else if (OptionValue(args, i, "--allow", value, missing)) {
            if (missing) return Fail(error, "--allow needs the networks that may connect, such as 192.168.1.0/24");
            if (std::string why; !settings.allow.Add(value, why)) return Fail(error, why);
        } else if (OptionValue(args, i, "--idle", value, missing)) {
            static const char *const kIdleRange = "--idle must be a number of seconds from 1 to 86400";
            double seconds = 0;
            if (missing) return Fail(error, kIdleRange);
            const Number n = ParseReal(value, seconds);
            if (n != Number::Taken) return NumberFault(error, n, kIdleRange);
            if (!(seconds >= 1 && seconds <= kLongestIdle)) return Refuse(error, kIdleRange);
            settings.idleSeconds = seconds;
        } else if (args[i].rfind("--", 0) == 0) {
            return Fail(error, "unknown option " + args[i].substr(0, args[i].find('=')));
        } else {
            return Fail(error, "too many arguments (expected: [--listen ADDRESS:PORT] [--allow NETWORKS] [--idle S])");
        }
    }
    return true;
}

std::string ListenFailure(const ServeSettings &settings, platform::detail::ListenError why, bool lowPortsPrivileged) {
    using platform::detail::ListenError;
    const std::string head = "cannot listen on " + HostPort(settings.host, settings.port) + ": ";
    const int other = settings.port == 6666 ? 6667 : 6666;
    const std::string wayOut = "Choose another with --listen, such as --listen " + HostPort(settings.host, other) +
                               ", and name it in the clients' connection configuration (#NrPortuTCP " +
                               std::to_string(other) + ")";
    switch (why) {
    case ListenError::NoPermission:
        if (!lowPortsPrivileged)
            return head + "another program holds the port for itself, or the system reserves it ('netsh interface " +
                   "ipv4 show excludedportrange protocol=tcp' lists the reserved ranges). " + wayOut;
        if (settings.port < 1024) return head + "a port below 1024 needs administrator rights. " + wayOut;
        return head + "not permitted";
    case ListenError::InUse: return head + "another program is listening there (--listen chooses another port)";
    case ListenError::NotLocal: return head + "the address is not one of this computer's";
    case ListenError::NoAddress: return head + "no such address";
    default: return head + "the system refused";
    }
}

}  // namespace cli::serve

#include "cli/options.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "korvi70/link.h"

namespace cli {
namespace {

// Limits of the link settings, as the shared configuration accepts them.
constexpr double kMinTimeout = 0.05;
constexpr double kMaxTimeout = 5.0;
constexpr int kMaxPort = 100;
constexpr int kMaxAttempts = 1000;

bool ParseTcpTarget(const std::string &text, Options &options, ArgError &error) {
    std::string host;
    int port = kDefaultTcpPort;
    if (!SplitHostPort(text, "--tcp", 1, host, port, error)) return false;
    if (host.size() >= sizeof Korvi70_NazwaServeraKorviTCP)
        return Fail(error, "--tcp: host name longer than " + std::to_string(sizeof Korvi70_NazwaServeraKorviTCP - 1) +
                               " characters");
    options.tcpHost = host;
    options.tcpPort = port;
    return true;
}

}  // namespace

bool SplitHostPort(const std::string &text, const char *option, int lowestPort, std::string &host, int &port,
                   ArgError &error) {
    const std::string name = option;
    std::string portText;
    host = text;
    if (!text.empty() && text.front() == '[') {
        const auto close = text.find(']');
        if (close == std::string::npos) return Fail(error, name + ": missing ']' in " + text);
        host = text.substr(1, close - 1);
        if (close + 1 < text.size()) {
            if (text[close + 1] != ':') return Fail(error, name + ": expected ':' after ']' in " + text);
            portText = text.substr(close + 2);
            if (portText.empty()) return Fail(error, name + ": missing port after ':'");
        }
    } else if (const auto colon = text.find(':');
               colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
        host = text.substr(0, colon);
        portText = text.substr(colon + 1);
        if (portText.empty()) return Fail(error, name + ": missing port after ':'");
    }
    if (host.empty()) return Fail(error, name + ": missing host name");
    long number = port;
    if (!portText.empty())
        if (const Number n = ParseInt(portText, lowestPort, 65535, number); n != Number::Taken)
            return NumberFault(error, n,
                               name + ": port must be a number from " + std::to_string(lowestPort) + " to 65535");
    port = static_cast<int>(number);
    return true;
}

Number ParseInt(const std::string &text, long min, long max, long &value) {
    if (text.empty()) return Number::Malformed;
    // Hex with 0x, else decimal.
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char *begin = text.c_str() + (hex ? 2 : 0);
    if (*begin == '\0' || std::isspace(static_cast<unsigned char>(*begin)) || *begin == '+' || (hex && *begin == '-'))
        return Number::Malformed;
    char *end = nullptr;
    errno = 0;
    const long n = std::strtol(begin, &end, hex ? 16 : 10);
    if (end == begin || *end != '\0') return Number::Malformed;
    if (errno == ERANGE || n < min || n > max) return Number::OutOfRange;
    value = n;
    return Number::Taken;
}

Number ParseReal(const std::string &text, double &value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return Number::Malformed;
    char *end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0') return Number::Malformed;
    // "inf" and "nan" are no numbers; digits beyond a double's range are.
    if (!std::isfinite(v)) return errno == ERANGE ? Number::OutOfRange : Number::Malformed;
    value = v;
    return Number::Taken;
}

bool NumberFault(ArgError &error, Number what, std::string message) {
    return what == Number::OutOfRange ? Refuse(error, std::move(message)) : Fail(error, std::move(message));
}

bool ParseOptions(int argc, const char *const *argv, Options &options, ArgError &error) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            if (arg == "-h" && !optionsEnded) {
                options.help = true;
            } else if (options.command.empty()) {
                options.command = arg;
            } else {
                options.args.push_back(arg);
            }
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // --name=value or --name value
        std::string name = arg, value;
        bool inlineValue = false;
        if (const auto eq = arg.find('='); eq != std::string::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            inlineValue = true;
        }
        if (name == "--help" || name == "--version" || name == "--pulse") {
            if (inlineValue) return Fail(error, name + " takes no value");
            (name == "--help" ? options.help : name == "--version" ? options.version : options.pulse) = true;
            continue;
        }
        const bool global = name == "--port" || name == "--tcp" || name == "--id" || name == "--attempts" ||
                            name == "--timeout" || name == "--log" || name == "--dial";
        if (!global) {
            // A command's own option (--current, --cpu): the command checks it.
            if (options.command.empty()) return Fail(error, "unknown option " + name);
            options.args.push_back(arg);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= argc) return Fail(error, name + " needs a value");
            value = argv[++i];
        }
        long number = 0;
        Number n = Number::Taken;
        if (name == "--port") {
            if ((n = ParseInt(value, 1, kMaxPort, number)) != Number::Taken)
                return NumberFault(error, n, "--port must be a COM number from 1 to " + std::to_string(kMaxPort));
            options.port = static_cast<int>(number);
        } else if (name == "--tcp") {
            if (!ParseTcpTarget(value, options, error)) return false;
        } else if (name == "--id") {
            if ((n = ParseInt(value, 0, 255, number)) != Number::Taken)
                return NumberFault(error, n, "--id must be a number from 0 to 255");
            options.id = static_cast<int>(number);
        } else if (name == "--attempts") {
            if ((n = ParseInt(value, 1, kMaxAttempts, number)) != Number::Taken)
                return NumberFault(error, n, "--attempts must be a number from 1 to " + std::to_string(kMaxAttempts));
            options.attempts = static_cast<int>(number);
        } else if (name == "--timeout") {
            double seconds = 0;
            if ((n = ParseReal(value, seconds)) == Number::Taken && (seconds < kMinTimeout || seconds > kMaxTimeout))
                n = Number::OutOfRange;
            if (n != Number::Taken)
                return NumberFault(error, n, "--timeout must be a number of seconds from 0.05 to 5");
            options.timeout = seconds;
        } else if (name == "--dial") {
            if (value.empty() || value.size() > 50) return Fail(error, "--dial needs a number of 1 to 50 characters");
            for (char c : value)
                if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
                    return Fail(error, "--dial: the number must be printable characters");
            options.dial = value;
        } else {
            if (value.empty()) return Fail(error, "--log needs a file name");
            options.logPath = value;
        }
    }
    if (options.port != 0 && !options.tcpHost.empty()) return Fail(error, "--port and --tcp cannot be used together");
    if (!options.dial.empty() && !options.tcpHost.empty()) return Fail(error, "--dial needs a serial port, not --tcp");
    if (options.pulse && options.dial.empty()) return Fail(error, "--pulse needs --dial");
    return true;
}

}  // namespace cli

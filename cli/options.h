// The command line of vgx52ctl: global options anywhere, the command word,
// and the command's own arguments (its options included) in order.
#pragma once
#include <string>
#include <utility>
#include <vector>

#include "korvi70/attempts.h"

namespace cli {

constexpr int kExitUsage = 64;
constexpr int kDefaultTcpPort = 66;
constexpr double kDefaultTimeout = 0.1;

struct Options {
    int port = 0;         // COM number; 0 = the shared configuration's
    std::string tcpHost;  // non-empty: through a TCP gateway
    int tcpPort = kDefaultTcpPort;
    int id = 0;                                // destination ID of the commands
    int attempts = korvi70::kProgramAttempts;  // as many as the program's screens make
    double timeout = kDefaultTimeout;
    std::string logPath;
    std::string dial;    // --dial NUMBER: through a dial-up modem on the serial port
    bool pulse = false;  // --pulse: dial with pulses instead of tones
    bool help = false;
    bool version = false;
    std::string command;
    std::vector<std::string> args;
};

// Why the command line was not taken: bad usage (exit status 64), or a
// well-formed number outside the range accepted, which is refused like an
// instrument command refuses it (status 1, nothing sent).
struct ArgError {
    std::string message;
    bool outOfRange = false;
};

// Fills options from argv[1..]; false with the reason in error.
bool ParseOptions(int argc, const char *const *argv, Options &options, ArgError &error);

// Bad usage: the message into error, and false, for argument checks.
inline bool Fail(ArgError &error, std::string message) {
    error.message = std::move(message);
    error.outOfRange = false;
    return false;
}
// A well-formed number out of range: likewise, refused.
inline bool Refuse(ArgError &error, std::string message) {
    error.message = std::move(message);
    error.outOfRange = true;
    return false;
}

// Splits "HOST", "HOST:PORT" or "[V6]:PORT" (PORT from lowestPort to
// 65535); port keeps its value when the text names none. Messages start
// with the option's name.
bool SplitHostPort(const std::string &text, const char *option, int lowestPort, std::string &host, int &port,
                   ArgError &error);

// Whole-text number parsing (no blanks, no trailing characters). A number
// too large for its type is well formed and out of range.
enum class Number { Taken, Malformed, OutOfRange };
Number ParseInt(const std::string &text, long min, long max, long &value);
Number ParseReal(const std::string &text, double &value);
// Fail or Refuse by what was wrong with a number; false.
bool NumberFault(ArgError &error, Number what, std::string message);

}  // namespace cli

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

// Fills options from argv[1..]; false with a message in error on bad usage.
bool ParseOptions(int argc, const char *const *argv, Options &options, std::string &error);

// Puts message into error and gives false, for argument checks.
inline bool Fail(std::string &error, std::string message) {
    error = std::move(message);
    return false;
}

// Splits "HOST", "HOST:PORT" or "[V6]:PORT" (PORT from lowestPort to
// 65535); port keeps its value when the text names none. Messages start
// with the option's name.
bool SplitHostPort(const std::string &text, const char *option, int lowestPort, std::string &host, int &port,
                   std::string &error);

// Whole-text number parsing (no trailing characters, no overflow).
bool ParseInt(const std::string &text, long min, long max, long &value);
bool ParseReal(const std::string &text, double &value);

}  // namespace cli

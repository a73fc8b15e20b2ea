// A scripted modem behind a serial port number: it records what the
// program writes and, at the end of each command line (its CR) or of an
// escape sequence (three '+' or '#'), queues the echo of the line (when its
// echo is on) and what the test's responder returns for it. The replies
// come over the simulated line's model (whole and at once by default);
// reads never wait for them themselves.
#pragma once
#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com.h"
#include "sim/line_settings.h"
#include "sim/schedule.h"

namespace modem_test {

class ScriptedModem : public platform::ComDevice {
public:
    // Gets the command line from its "AT" without the CR (or the three
    // escape characters); returns the reply.
    using Responder = std::function<std::string(const std::string &line)>;

    void Write(const unsigned char *data, std::size_t count) override;
    std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) override;
    std::size_t Available() override;
    void DiscardInput() override;

    void SetResponder(Responder responder) { responder_ = std::move(responder); }
    // How the replies travel from now on.
    void SetLine(const sim::LineSettings &line);
    bool echo = false;
    // Seconds the answer to a dial command ("ATD...") takes.
    double dialAnswerDelay = 0;
    // Everything the program wrote, and the command lines, in order.
    std::string Written();
    std::vector<std::string> Lines();
    // When the last character of each command line came (platform::Timer()).
    std::vector<double> LineTimes();
    void Clear();

private:
    std::mutex lock_;
    Responder responder_;
    std::string written_, line_;
    std::vector<std::string> lines_;
    std::vector<double> times_;
    sim::OutputSchedule out_;
};

// Modem replies as a modem with V1 sends them.
inline std::string Ok() { return "\r\nOK\r\n"; }
inline std::string Value(const std::string &value) { return "\r\n" + value + "\r\n" + Ok(); }

// A serial link open on the scripted modem as COM3, with the modem layer's
// state put back to its start; both ends of the read are tried by the tests.
class ModemTest : public ::testing::Test {
protected:
    static constexpr int kPort = 3;
    void SetUp() override;
    void TearDown() override;
    // Every command line gets `reply`.
    void AnswerAll(const std::string &reply);
    ScriptedModem modem_;
};

// A line every table of replies runs on, and the modem's reply time-out
// that lets a whole reply in on it.
struct ModemLine {
    const char *name;
    sim::LineSettings settings;
    double replyTime;
};
inline void PrintTo(const ModemLine &line, std::ostream *out) { *out << line.name; }

// The scripted modem on each line in turn: every reply whole and at once,
// paced at 9600 baud, and cut into pieces of 1..4 bytes up to 3 ms apart.
class ModemLineTest : public ModemTest, public ::testing::WithParamInterface<ModemLine> {
protected:
    void SetUp() override;
};

}  // namespace modem_test

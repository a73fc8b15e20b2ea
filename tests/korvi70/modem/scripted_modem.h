// A scripted modem behind a serial port number: it records what the
// program writes and, at the end of each command line (its CR) or of an
// escape sequence (three '+' or '#'), queues the echo of the line (when its
// echo is on) and what the test's responder returns for it. Reads never
// wait.
#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com.h"

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
    bool echo = false;
    // Everything the program wrote, and the command lines, in order.
    std::string Written();
    std::vector<std::string> Lines();
    void Clear();

private:
    std::mutex lock_;
    Responder responder_;
    std::string written_, line_;
    std::vector<std::string> lines_;
    std::deque<unsigned char> out_;
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

}  // namespace modem_test

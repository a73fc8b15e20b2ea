// A scripted instrument behind a serial port number, for byte-exact tests
// of the commands: it records every byte the program writes and, when a
// frame ends (0x01), queues what the test's responder returns for it.
// Nothing here ever waits: a read with nothing to give returns at once.
#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/com.h"

namespace korvi70_test {

class FakeLine : public platform::ComDevice {
public:
    // Gets the request bytes between the preamble's 0x00 and the 0x01;
    // returns the bytes to send back ("" = silence).
    using Responder = std::function<std::string(std::string_view frame)>;

    void Write(const unsigned char *data, std::size_t count) override;
    std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) override;
    std::size_t Available() override;
    void DiscardInput() override;

    void SetResponder(Responder responder) { responder_ = std::move(responder); }
    // Bytes queued for the program at once (an unsolicited answer).
    void Queue(std::string_view bytes);
    // Everything the program wrote, in order.
    const std::string &Written() const { return written_; }
    // The frames (as passed to the responder) seen so far.
    const std::vector<std::string> &Frames() const { return frames_; }
    void Clear();

private:
    std::mutex lock_;
    Responder responder_;
    std::string written_;
    std::string frame_;
    bool inFrame_ = false;
    std::vector<std::string> frames_;
    std::deque<unsigned char> out_;
    // A reply is still on the wire until the program next reads: a flush
    // right after the request does not lose it.
    std::string pending_;
};

// A reply frame as an instrument sends it: lead-in, own ID 71, source,
// transaction, status, data, check, 0x01.
std::string HexReply(unsigned source, unsigned transaction, unsigned status, std::string_view data,
                     bool breakCheck = false);
// The request text a command must send (header, data, check), without the
// preamble and terminator.
std::string HexRequestText(unsigned destination, unsigned transaction, unsigned command, std::string_view data);

// Opens a direct serial link on a fake line with transaction numbers fixed
// at 0x29 and a short time-out; closes it afterwards.
class FakeLineTest : public ::testing::Test {
protected:
    static constexpr int kPort = 3;
    static constexpr unsigned kTransaction = 0x29;
    void SetUp() override;
    void TearDown() override;
    // Answers every hex request with status and data (to the request's destination).
    void AnswerWith(unsigned status, std::string_view data, bool breakCheck = false);
    // The one frame the program sent, checked to be the only one.
    std::string OnlyFrame();
    FakeLine line_;
};

}  // namespace korvi70_test

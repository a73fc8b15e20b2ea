// Test fixtures: the link state put back to its defaults, and the simulated
// instrument behind an in-process port that records what the program wrote.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/transaction.h"
#include "platform/com.h"
#include "sim/com_device.h"
#include "sim/instrument.h"

namespace korvi70_test {

// A folder of its own for this test process, used as the drive root.
std::string TestDriveRoot();
// Puts every link setting back to its default and the drive root in place.
void ResetLinkState();

// The simulated instrument's port, with every byte the program wrote.
class TapDevice : public platform::ComDevice {
public:
    explicit TapDevice(sim::Instrument &instrument) : inner(instrument) {}
    void Write(const unsigned char *data, std::size_t count) override {
        written.append(reinterpret_cast<const char *>(data), count);
        writes.push_back(count);
        inner.Write(data, count);
        if (replyAtOnce) inner.Line().Output().Open(~std::uint64_t{0});
    }
    std::size_t Read(unsigned char *data, std::size_t count, double timeout) override {
        return inner.Read(data, count, timeout);
    }
    std::size_t Available() override { return inner.Available(); }
    void DiscardInput() override { inner.DiscardInput(); }

    sim::SimComDevice inner;
    std::string written;
    // A reply is on the line as soon as its request is complete, not only
    // once the program reads: what the program flushes after that is lost.
    bool replyAtOnce = false;
    std::vector<std::size_t> writes;  // the size of each write, as the port got them
};

// A serial link open on the simulated instrument (ID 5, type 0x1B0).
class SimLinkTest : public ::testing::Test {
protected:
    static constexpr int kPort = 77;
    void SetUp() override;
    void TearDown() override;
    // Opens the port again, so that the echo test sees the line as it is now.
    void Reopen();

    sim::Instrument instrument;
    TapDevice device{instrument};
};

// Byte strings with embedded zeros, written as in the frame tables.
inline std::string Bytes(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) s.push_back(static_cast<char>(b));
    return s;
}

// Transaction numbers a test chooses.
void UseTransactions(std::initializer_list<int> numbers);

}  // namespace korvi70_test

// The vgx52-sim program with its modem in front of the instrument on a
// pseudo-terminal linked as COMn, and the link open to it; the modem's log
// of the command lines it received.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/sim_process.h"

namespace modem_test {

class SimModemTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Starts the simulator on COM `port` (1..4) with extra switches and
    // opens a direct serial link to it.
    void Start(int port, std::vector<std::string> switches = {});
    // The command lines the modem has received so far.
    std::vector<std::string> ModemLog() const;

    int port_ = 0;
    std::string logPath_;
    sim::SimProcess process_;
};

}  // namespace modem_test

// The program's real screens, on whichever window back end the test
// installs, against the simulated instrument in this process: the main
// panel loaded from the program's resource file and a serial link open on
// the instrument, under a drive root of the test's own.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "sim/com_device.h"
#include "sim/instrument.h"

namespace screens {

inline constexpr int kPort = 62;

class ProgramScreens : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes the test's window back end the one in use, afresh.
    virtual void InstallBackend() = 0;

    // One tick of the main screen's polling timer.
    void Poll();

    std::string root_;
    sim::Instrument instrument_;
    sim::SimComDevice device_{instrument_};
};

// An Intel-HEX file of `pages` 256-byte pages of a counting pattern.
std::string HexFile(int pages);

}  // namespace screens

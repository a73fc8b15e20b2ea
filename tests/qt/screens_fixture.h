// The program's real screens on the Qt back end against the simulated
// instrument in this process: the main panel loaded from the program's
// resource file and a serial link open on the instrument, under a drive
// root of the test's own.
#pragma once
#include <gtest/gtest.h>

#include <QTimer>
#include <string>
#include <vector>

#include "sim/com_device.h"
#include "sim/instrument.h"

namespace qtscreens {

inline constexpr int kPort = 62;

class ProgramScreens : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // One tick of the main screen's polling timer.
    void Poll();

    std::string root_;
    sim::Instrument instrument_;
    sim::SimComDevice device_{instrument_};
};

// Answers every dialog that comes up with its first button (yes, OK), the
// way an operator who agrees to everything would, noting their titles.
class Agree {
public:
    Agree();
    std::vector<std::string> titles;

private:
    QTimer timer_;
};

// An Intel-HEX file of `pages` 256-byte pages of a counting pattern.
std::string HexFile(int pages);

}  // namespace qtscreens

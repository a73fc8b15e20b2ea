// The program's real screens, on whichever window back end the test
// installs, against the simulated instrument in this process: the main
// panel loaded from the program's resource file and a serial link open on
// the instrument, under a drive root of the test's own.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "sim/com_device.h"
#include "sim/instrument.h"
#include "sim/modem_device.h"
#include "tests/support/current_folder.h"

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

    // The Korvi70 library's dialogs on the panels of `resourceFile`, copied
    // into the project folder, which is also made the current folder (the
    // dialogs keep their values there); StopKorvi70Panels() undoes it.
    void UseKorvi70Panels(const char *resourceFile);
    void StopKorvi70Panels();
    // The simulated modem in front of the instrument on COM kModemPort, the
    // link open on it (dialling takes 2.5 s); DetachModem() goes back to the
    // instrument on kPort.
    static constexpr int kModemPort = 2;
    void AttachModem();
    void DetachModem();

    std::string root_;
    sim::Instrument instrument_;
    sim::SimComDevice device_{instrument_};
    std::unique_ptr<sim::ModemComDevice> modem_;
    std::unique_ptr<testdrive::InFolder> inRoot_;
};

// An Intel-HEX file of `pages` 256-byte pages of a counting pattern.
std::string HexFile(int pages);

}  // namespace screens

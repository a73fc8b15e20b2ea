#include "sim_modem.h"

#include <fstream>

#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "link_fixture.h"

namespace modem_test {

void SimModemTest::SetUp() {
    korvi70_test::ResetLinkState();
    Korvi70_CzasOdpowiedziModemu = 0.2;
    Korvi70_EchoModemu = 0;
    Korvi70_ZnakKoncaTransmisji = 0;
    Korvi70_PredkoscPolaczenia = 0;
    korvi70::modem::SetEarlyEnd(true);
}

void SimModemTest::TearDown() {
    Korvi70_ZamZlacze();
    process_.Stop();
    korvi70_test::ResetLinkState();
    korvi70::modem::SetEarlyEnd(true);
}

void SimModemTest::Start(int port, std::vector<std::string> switches) {
    port_ = port;
    logPath_ = korvi70_test::TestDriveRoot() + "/modem" + std::to_string(port) + ".log";
    std::remove(logPath_.c_str());
    switches.insert(switches.begin(), {"--com", std::to_string(port), "--modem", "--modem-log", logPath_});
    std::string line;
    ASSERT_TRUE(process_.Start(sim::SimProgramPath(), switches, &line)) << sim::SimProgramPath();
    Korvi70_NrZlacza = port;
    Korvi70_CzasOczekiwaniaRS = 0.2;
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

std::vector<std::string> SimModemTest::ModemLog() const {
    std::vector<std::string> lines;
    std::ifstream in(logPath_);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace modem_test

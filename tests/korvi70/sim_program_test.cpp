// The real serial and TCP code against the vgx52-sim program: a
// pseudo-terminal linked as COMn in the drive root, and the gateway on
// loopback.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <string>

#include "korvi70/config.h"
#include "korvi70/legacy.h"
#include "korvi70/link.h"
#include "korvi70/password.h"
#include "korvi70/transaction.h"
#include "link_fixture.h"
#include "sim/sim_process.h"

namespace korvi70_test {
namespace {

using ::testing::StartsWith;

constexpr int kTypeWidth[] = {4};

int Identify(unsigned *type) {
    return korvi70::RunTransaction(0, 3, {}, kTypeWidth,
                                   [&](int, std::string_view d) { return korvi70::ParseHex(d, type); });
}

bool Exists(const std::string &path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

class SimProgramTest : public ::testing::Test {
protected:
    void SetUp() override { ResetLinkState(); }
    void TearDown() override {
        Korvi70_ZamZlacze();
        ResetLinkState();
    }
    // Starts vgx52-sim on COMn with extra switches and opens the link to it.
    void OpenSerial(int com, std::vector<std::string> switches) {
        switches.insert(switches.begin(), {"--com", std::to_string(com)});
        std::string line;
        ASSERT_TRUE(process.Start(sim::SimProgramPath(), switches, &line)) << sim::SimProgramPath();
        EXPECT_THAT(line, StartsWith("listening on COM" + std::to_string(com) + " /dev/"));
        Korvi70_NrZlacza = com;
        Korvi70_CzasOczekiwaniaRS = 0.2;
        ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    }
    sim::SimProcess process;
};

TEST_F(SimProgramTest, SerialIdentifyNoOperationAndPasswordOverAPseudoTerminal) {
    OpenSerial(7, {});
    EXPECT_EQ(Korvi70_JestEcho, 0);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
    EXPECT_EQ(korvi70::RunLegacy(5, 'H', {}, korvi70::LegacyOrder::TerminatorThenFlush), 0);
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 0);
    EXPECT_EQ(Korvi70_KasujHaslo(5), 0);
    // Repeated commands stay in step.
    for (int i = 0; i < 20; ++i) ASSERT_EQ(Identify(&type), 0) << i;
}

TEST_F(SimProgramTest, TheProgramRemovesItsLinkWhenTerminated) {
    OpenSerial(8, {});
    const std::string link = TestDriveRoot() + "/com8";
    EXPECT_TRUE(Exists(link));
    Korvi70_ZamZlacze();
    const int status = process.Stop();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(Exists(link));
}

TEST_F(SimProgramTest, AnEchoingLineAndAnotherTypeCode) {
    OpenSerial(9, {"--echo", "--type", "0x1B3"});
    EXPECT_EQ(Korvi70_JestEcho, 1);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B3u);
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 0);
}

TEST_F(SimProgramTest, FaultSwitchesReachTheSerialLink) {
    OpenSerial(10, {"--status", "9", "--garbage"});
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 9);
}

TEST_F(SimProgramTest, SilenceOnTheSerialLinkGivesThree) {
    OpenSerial(11, {"--silent"});
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 3);
    EXPECT_EQ(Korvi70_BladLacza, Korvi70_BladCzasu);
}

TEST_F(SimProgramTest, IdentifyOverLoopbackThroughTheGatewayProgram) {
    std::string line;
    ASSERT_TRUE(process.Start(sim::SimProgramPath(), {"--tcp", "0"}, &line));
    const int port = sim::SimProcess::PortOf(line);
    ASSERT_GT(port, 0) << line;
    EXPECT_THAT(line, StartsWith("listening on 127.0.0.1:"));
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    Korvi70_NrPortuTCP = port;
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 0);
    EXPECT_EQ(type, 0x1B0u);
    EXPECT_EQ(Korvi70_PodajeHaslo(5), 0);
}

TEST_F(SimProgramTest, TheGatewayProgramsErrorSwitch) {
    std::string line;
    ASSERT_TRUE(process.Start(sim::SimProgramPath(), {"--tcp", "0", "--gateway-error", "0x10"}, &line));
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    Korvi70_NrPortuTCP = sim::SimProcess::PortOf(line);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    unsigned type = 0;
    EXPECT_EQ(Identify(&type), 2);
    EXPECT_EQ(Korvi70_BladLacza, 16);
}

}  // namespace
}  // namespace korvi70_test

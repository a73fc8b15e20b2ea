// The SDK's shared libraries as a C program uses them: every call goes from
// c_api.c (C99, public headers only) through the exported API.
#include "c_api.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "brandolux.h"
#include "korvi70.h"
#include "tests/support/free_port.h"
#include "toolvane.h"

namespace {

class CApiTest : public ::testing::Test {
protected:
    // No display: a window would wait for an operator who is not there.
    void SetUp() override {
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) unsetenv(name);
    }
    void TearDown() override {
        Korvi70_ZamZlacze();
        Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
    }
    // What the libraries write to stderr while the link to a closed port opens.
    static std::string MessageOfAFailedTcpLink(int *result) {
        testing::internal::CaptureStderr();
        *result = CApi_OpenTcp("127.0.0.1", testsupport::FreePort());
        return testing::internal::GetCapturedStderr();
    }
};

TEST_F(CApiTest, OperationsGiveTheirKnownResults) {
    EXPECT_EQ(CApi_CrcOfDigits(), 0x374B);
    EXPECT_EQ(CApi_Time2004(), 126230400u);
    EXPECT_EQ(CApi_WeekdayOf(0), 5) << "1 January 2000 was a Saturday";
    char name[Korvi70_RozmiarNazwyPrzyrzadu] = {};
    CApi_InstrumentName(432, 105, name);
    EXPECT_STREQ(name, "Miernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105");
    EXPECT_EQ(CApi_WriteReadOnlyReal(), Korvi70_Odrzucono);
}

TEST_F(CApiTest, TheProgramAndTheLibrarySeeTheSameState) {
    EXPECT_EQ(CApi_OwnId(), 0x71);
    // Port 7 is beyond the no-operation's COM1..COM4: the library refuses by
    // the value the program wrote, and the C++ side reads it back.
    EXPECT_EQ(CApi_NopWithPort(7), Korvi70_Odrzucono);
    EXPECT_EQ(Korvi70_NrZlacza, 7);
    EXPECT_STREQ(CApi_SensorFile(1), "P:\\Toolvane\\Dane\\ChkiTerm\\Pt100_01.Dan");
}

TEST_F(CApiTest, RecordsHaveTheSameLayoutInC) {
    EXPECT_EQ(CApi_SizeOfTm2000(), sizeof(Toolvane_tm2000));
    EXPECT_EQ(CApi_SizeOfSensor(), sizeof(Toolvane_CzujnikTemperatury));
    EXPECT_EQ(CApi_OffsetOfProgramCode(), offsetof(Toolvane_CzujnikTemperatury, kodProgramu));
}

TEST_F(CApiTest, WithoutAChoiceTheFirstMessageGoesToTheConsole) {
    int result = 0;
    const std::string written = MessageOfAFailedTcpLink(&result);
    EXPECT_EQ(result, -1);
    EXPECT_NE(written.find("Brak połączenia ze serverem Korvi70."), std::string::npos) << written;
}

TEST_F(CApiTest, TheChosenConsoleTakesTheMessages) {
    ASSERT_EQ(CApi_ChooseInterface(Brandolux_InterfejsKonsola), 0);
    int result = 0;
    const std::string written = MessageOfAFailedTcpLink(&result);
    EXPECT_EQ(result, -1);
    EXPECT_NE(written.find("Brak połączenia ze serverem Korvi70."), std::string::npos) << written;
}

TEST_F(CApiTest, WindowsNeedADisplayAndUnknownKindsAreRefused) {
    EXPECT_EQ(CApi_ChooseInterface(Brandolux_InterfejsOkna), -1);
    EXPECT_EQ(CApi_ChooseInterface(3), 1);
    EXPECT_EQ(CApi_ChooseInterface(-1), 1);
}

}  // namespace

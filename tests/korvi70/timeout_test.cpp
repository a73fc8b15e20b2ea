// Temporary serial time-outs.
#include <gtest/gtest.h>

#include <cmath>

#include "korvi70/link.h"
#include "korvi70/password.h"
#include "link_fixture.h"
#include "platform/com.h"

namespace korvi70_test {
namespace {

class TimeOutTest : public SimLinkTest {};

TEST_F(TimeOutTest, ChangeSetsOnlyThePortAndRestoreTakesTheConfiguredValue) {
    EXPECT_EQ(Korvi70_ZmienCzasOczekiwania(2.5), 0);
    EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), 2.5);
    EXPECT_DOUBLE_EQ(Korvi70_CzasOczekiwaniaRS, 0.05);
    EXPECT_EQ(Korvi70_PrzywrocCzasOczekiwania(), 0);
    EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), 0.05);
}

TEST_F(TimeOutTest, ATimeOutNotAboveZeroIsRefused) {
    for (double bad : {0.0, -1.0, std::nan("")}) {
        EXPECT_EQ(Korvi70_ZmienCzasOczekiwania(bad), 1);
        EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), 0.05);
    }
}

TEST_F(TimeOutTest, AClosedPortRefuses) {
    Korvi70_ZamZlacze();
    EXPECT_EQ(Korvi70_ZmienCzasOczekiwania(1.0), -1);
    EXPECT_EQ(Korvi70_PrzywrocCzasOczekiwania(), -1);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
}

TEST_F(TimeOutTest, ModemAndTcpLinksChangeNothing) {
    for (unsigned char type : {Korvi70_PolaczeniePrzezModem, Korvi70_PolaczeniePrzezKorviTCP}) {
        Korvi70_TypLacza = type;
        EXPECT_EQ(Korvi70_ZmienCzasOczekiwania(3.0), 0);
        EXPECT_EQ(Korvi70_ZmienCzasOczekiwania(0.0), 1);
        EXPECT_EQ(Korvi70_PrzywrocCzasOczekiwania(), 0);
        EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), 0.05);
    }
    Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
}

}  // namespace
}  // namespace korvi70_test

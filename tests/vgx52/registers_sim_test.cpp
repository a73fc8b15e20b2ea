// The register commands against the simulated instrument.
#include <bit>
#include <cstdint>

#include "tests/korvi70/link_fixture.h"
#include "vgx52/registers.h"

namespace {

class RegistersOnSim : public korvi70_test::SimLinkTest {
protected:
    sim::Vgx52State &vgx = instrument.State().vgx;
};

TEST_F(RegistersOnSim, SettingTheInstrumentForDryAir) {
    ASSERT_EQ(VGX52_ZapWartFloat(0, 'a', 287.055), 0);
    EXPECT_EQ(vgx.lowerReals[0], 0x438F870Au);
    double density = 0;
    ASSERT_EQ(VGX52_PodWartFloat(0, 'E', &density), 0);
    EXPECT_NEAR(density, 1.2922599, 5e-8);
    double constant = 0;
    ASSERT_EQ(VGX52_PodWartFloat(0, 'a', &constant), 0);
    EXPECT_EQ(constant, static_cast<double>(287.055f));
}

TEST_F(RegistersOnSim, EveryWritableRealComesBack) {
    for (char code : {'A', 'H', 'b', 'm', 'r'}) {
        const double value = -1.5 * code;
        ASSERT_EQ(VGX52_ZapWartFloat(0, code, value), 0) << code;
        double back = 0;
        ASSERT_EQ(VGX52_PodWartFloat(0, code, &back), 0) << code;
        EXPECT_EQ(back, value) << code;
    }
}

TEST_F(RegistersOnSim, RealIIsReadOnlyAndItsWriteNeverLeaves) {
    double value = 0;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'I', &value), 0);
    EXPECT_EQ(value, 20.5);
    device.written.clear();
    EXPECT_EQ(VGX52_ZapWartFloat(0, 'I', 1.0), 1);
    EXPECT_TRUE(device.written.empty());
}

TEST_F(RegistersOnSim, IntegersKeepTheirLow16Bits) {
    int value = 0;
    ASSERT_EQ(VGX52_ZapWartInt(0, 'A', 70000), 0);
    ASSERT_EQ(VGX52_PodWartInt(0, 'A', &value), 0);
    EXPECT_EQ(value, 70000 - 65536);
    ASSERT_EQ(VGX52_PodWartInt(0, 'B', &value), 0);
    EXPECT_EQ(value, -1);
    ASSERT_EQ(VGX52_PodWartInt(0, 'a', &value), 0);
    EXPECT_EQ(value, -32768);
}

TEST_F(RegistersOnSim, CodeValuesAndCalibrationTable) {
    int code = 0;
    ASSERT_EQ(VGX52_PodKod(0, 'D', &code), 0);
    EXPECT_EQ(code, 8);
    ASSERT_EQ(VGX52_ZapKrokWzorCisn(0, 15, 'C', 101325.0), 0);
    double value = 0;
    ASSERT_EQ(VGX52_PodKrokWzorCisn(0, 15, 'C', &value), 0);
    EXPECT_EQ(value, 101325.0);
    ASSERT_EQ(VGX52_PodKrokWzorCisn(0, 1, 'A', &value), 0);
    EXPECT_EQ(value, 10.0);
}

TEST_F(RegistersOnSim, StatusFiveComesBackWithoutData) {
    instrument.Faults().status = 5;
    double value = 42;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'E', &value), 5);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(VGX52_ZapWartInt(0, 'A', 1), 5);
}

TEST_F(RegistersOnSim, RepliesCutShortGiveThree) {
    instrument.Faults().cutAfter = 12;
    double value = 0;
    EXPECT_EQ(VGX52_PodWartFloat(0, 'E', &value), 3);
}

}  // namespace

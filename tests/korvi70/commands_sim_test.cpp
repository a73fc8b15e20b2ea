// The generic and loader commands against the simulated instrument.
#include <cstring>
#include <string>
#include <vector>

#include "korvi70/commands.h"
#include "tests/korvi70/link_fixture.h"

namespace {

using korvi70_test::SimLinkTest;

class CommandsOnSim : public SimLinkTest {
protected:
    sim::Vgx52State &vgx = instrument.State().vgx;
};

TEST_F(CommandsOnSim, IdentifyAndNameWithTheSoftwareVersion) {
    int type = 0, version = 0;
    ASSERT_EQ(Korvi70_PrzedstawSie(0, &type), 0);
    ASSERT_EQ(Korvi70_PodWerOprogWewn(0, &version), 0);
    char name[Korvi70_RozmiarNazwyPrzyrzadu];
    Korvi70_RozszerzNazwePrzyrzadu(type, name, version);
    EXPECT_STREQ(name, "Miernik parametrów gazu, model VGX52; H.Ver.:1; S.Ver.:105");
}

TEST_F(CommandsOnSim, IdIsWrittenAndReadBack) {
    ASSERT_EQ(Korvi70_ZapNrId(5, 9), 0);
    EXPECT_EQ(instrument.State().id, 9);
    unsigned char id = 0;
    ASSERT_EQ(Korvi70_PodNrId(&id), 0);
    EXPECT_EQ(id, 9);
    // The old address no longer answers.
    int type = 0;
    EXPECT_EQ(Korvi70_PrzedstawSie(5, &type), 3);
}

TEST_F(CommandsOnSim, WritingIdFiveOverFiveSendsNothing) {
    EXPECT_EQ(Korvi70_ZapNrId(5, 5), 1);
    EXPECT_TRUE(device.written.empty());
}

TEST_F(CommandsOnSim, SerialNumberAndClockRoundTrip) {
    ASSERT_EQ(Korvi70_ZapNumerSeryjny(5, "SN-00042"), 0);
    ASSERT_EQ(Korvi70_ZapCzasDate(5, "29.02.24 23:59:58"), 0);
    char serial[Korvi70_DlugoscNumeruSeryjnego + 1];
    char clock[Korvi70_DlugoscCzasuDaty + 1];
    ASSERT_EQ(Korvi70_PodNumerSeryjny(5, serial), 0);
    ASSERT_EQ(Korvi70_PodCzasDate(5, clock), 0);
    EXPECT_STREQ(serial, "SN-00042");
    EXPECT_STREQ(clock, "29.02.24 23:59:58");
}

TEST_F(CommandsOnSim, BasicValueIsRoundedToSinglePrecision) {
    ASSERT_EQ(Korvi70_ZapWartPodstawowa(0, 0.1), 0);
    EXPECT_EQ(vgx.basicValue, 0x3DCCCCCDu);
    double value = 0;
    ASSERT_EQ(Korvi70_PodWartPodstawowa(0, &value), 0);
    EXPECT_EQ(value, static_cast<double>(0.1f));
}

TEST_F(CommandsOnSim, SubDevicesAndRestartCode) {
    int count = 0;
    ASSERT_EQ(Korvi70_PodIleUrzadPodrzed(0, &count), 0);
    EXPECT_EQ(count, 2);
    unsigned char code1 = 0, code2 = 0;
    int value1 = 0, value2 = 0;
    char text[Korvi70_RozmiarTekstuUrzadPodrzed];
    ASSERT_EQ(Korvi70_PodIlnfoOUrzadPodrzed(0, 0, &code1, &code2, &value1, &value2, text), 0);
    EXPECT_EQ(code1, 0x01);
    EXPECT_EQ(code2, 0x10);
    EXPECT_EQ(value1, 0x0102);
    EXPECT_EQ(value2, 0x0304);
    EXPECT_STREQ(text, "CZUJNIK1");
    EXPECT_EQ(Korvi70_PodIlnfoOUrzadPodrzed(0, 2, &code1, &code2, &value1, &value2, text), sim::kStatusOutOfRange);

    vgx.restartCode = 0x0A;
    unsigned char code = 0;
    ASSERT_EQ(Korvi70_PodKodRestartu(0, &code), 0);
    char cause[Korvi70_RozmiarTekstuKoduRestartu];
    Korvi70_ZamienKodRestartuDoTekstu(code, 1, cause);
    EXPECT_STREQ(cause, "WatchDog, External input");
}

TEST_F(CommandsOnSim, LevelTwoUploadOfOnePageInFourQuarters) {
    std::vector<unsigned char> page(256);
    for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<unsigned char>(i * 7);
    ASSERT_EQ(Korvi70_UruchomUpgradeLoaderL2(0), 0);
    for (int offset = 0; offset < 256; offset += 64)
        ASSERT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, offset, 64, page.data() + offset), 0);
    ASSERT_EQ(Korvi70_ZapiszBuforDoPamieciFLASHUL2(0, 0x01E0), 0);
    ASSERT_EQ(Korvi70_ZamknijUpgradeLoaderL2(0), 0);
    EXPECT_TRUE(std::equal(page.begin(), page.end(), vgx.flash.begin() + 0x1E000));
    EXPECT_EQ(vgx.pagesWritten, 1);
}

TEST_F(CommandsOnSim, LevelTwoRefusalsComeBackAsStatus) {
    unsigned char data[64] = {};
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, 64, data), sim::kStatusLoaderClosed);
    ASSERT_EQ(Korvi70_UruchomUpgradeLoaderL2(0), 0);
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 224, 64, data), sim::kStatusOutOfRange);
    EXPECT_EQ(Korvi70_ZapiszBuforDoPamieciFLASHUL2(0, 512), sim::kStatusOutOfRange);
}

TEST_F(CommandsOnSim, LevelOneLoaderAnnouncesItselfWithOk) {
    ASSERT_EQ(Korvi70_UruchomUpgradeLoader(0), 0);
    EXPECT_TRUE(instrument.InRawMode());
    // Its end message brings the instrument back to frames.
    Korvi70_ComWrt(":C79", 4);
    char answer[3];
    Korvi70_ComRd(answer, 2);
    EXPECT_STREQ(answer, "OK");
    int version = 0;
    EXPECT_EQ(Korvi70_PodWerOprogWewn(0, &version), 0);
}

TEST_F(CommandsOnSim, FaultSwitches) {
    int type = 0;
    instrument.Faults().status = 5;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 5);
    instrument.Faults().status = 0;
    instrument.Faults().wrongCheck = true;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 3);
    instrument.Faults().wrongCheck = false;
    instrument.Faults().wrongTransaction = true;
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 3);
    instrument.Faults().wrongTransaction = false;
    instrument.Faults().silent = true;
    EXPECT_EQ(Korvi70_PodWerOprogWewn(0, &type), 3);
    instrument.Faults().silent = false;
    instrument.Faults().garbage = std::string(sim::kDefaultGarbage);
    EXPECT_EQ(Korvi70_PrzedstawSie(0, &type), 0);
    EXPECT_EQ(type, 0x1B0);
}

TEST_F(CommandsOnSim, AnEchoingLineStillCarriesEveryCommand) {
    instrument.Faults().echo = true;
    Reopen();
    ASSERT_EQ(Korvi70_JestEcho, 1);
    char serial[Korvi70_DlugoscNumeruSeryjnego + 1];
    ASSERT_EQ(Korvi70_ZapNumerSeryjny(0, "ECHO0001"), 0);
    ASSERT_EQ(Korvi70_PodNumerSeryjny(0, serial), 0);
    EXPECT_STREQ(serial, "ECHO0001");
    unsigned char data[64] = {1, 2, 3};
    ASSERT_EQ(Korvi70_UruchomUpgradeLoaderL2(0), 0);
    EXPECT_EQ(Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, 64, data), 0);
}

// The no-operation probe only goes out on COM1..COM4.
class NopOnSim : public ::testing::Test {
protected:
    void SetUp() override {
        korvi70_test::ResetLinkState();
        Korvi70_NrZlacza = 4;
        Korvi70_CzasOczekiwaniaRS = 0.05;
        platform::AttachComDevice(4, &device);
        ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    }
    void TearDown() override {
        Korvi70_ZamZlacze();
        platform::AttachComDevice(4, nullptr);
    }
    sim::Instrument instrument;
    sim::SimComDevice device{instrument};
};

TEST_F(NopOnSim, AnsweredAtTheInstrumentsAddressOnly) {
    EXPECT_EQ(Korvi70_NOP(5), 0);
    EXPECT_EQ(Korvi70_NOP(6), 3);
    EXPECT_EQ(Korvi70_NOP(1), 1);
}

}  // namespace

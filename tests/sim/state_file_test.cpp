// The simulator's state file: what is saved comes back, and damaged files
// are refused without touching the state.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>

#include "sim/state_file.h"

namespace {

sim::InstrumentState Changed() {
    sim::InstrumentState state;
    state.id = 0x2A;
    state.typeCode = 0x1B7;
    state.vgx.softwareVersion = 0x0123;
    state.vgx.basicValue = 0xC0200000;
    state.vgx.serial = std::string("A\\b\x01\xC3\xB3 =\n", 8);
    state.vgx.clock = "24.12.23 18:00:59";
    state.vgx.codes[6] = 0xDEADBEEF;
    state.vgx.upperReals[8] = 0x7FC00000;
    state.vgx.lowerReals[17] = 0x438F870A;
    state.vgx.integers = {1, 2, 3};
    state.vgx.calibration[14][2] = 0x12345678;
    state.vgx.restartCode = 0x0A;
    state.vgx.subDevices = {{0xAB, 0xCD, 0x1234, 0x5678, "X=Y\\Z  1"}};
    state.vgx.flash[0x1E000] = 0x00;
    state.vgx.flash[0x1FFFF] = 0x12;
    state.io[0x0000] = 0x01;
    state.io[0xFFFF] = 0xFE;
    return state;
}

void ExpectSame(const sim::InstrumentState &a, const sim::InstrumentState &b) {
    EXPECT_EQ(a.id, b.id);
    EXPECT_EQ(a.typeCode, b.typeCode);
    EXPECT_EQ(a.vgx.softwareVersion, b.vgx.softwareVersion);
    EXPECT_EQ(a.vgx.basicValue, b.vgx.basicValue);
    EXPECT_EQ(a.vgx.serial, b.vgx.serial);
    EXPECT_EQ(a.vgx.clock, b.vgx.clock);
    EXPECT_EQ(a.vgx.codes, b.vgx.codes);
    EXPECT_EQ(a.vgx.upperReals, b.vgx.upperReals);
    EXPECT_EQ(a.vgx.lowerReals, b.vgx.lowerReals);
    EXPECT_EQ(a.vgx.integers, b.vgx.integers);
    EXPECT_EQ(a.vgx.calibration, b.vgx.calibration);
    EXPECT_EQ(a.vgx.restartCode, b.vgx.restartCode);
    ASSERT_EQ(a.vgx.subDevices.size(), b.vgx.subDevices.size());
    for (std::size_t i = 0; i < a.vgx.subDevices.size(); ++i) {
        EXPECT_EQ(a.vgx.subDevices[i].code1, b.vgx.subDevices[i].code1);
        EXPECT_EQ(a.vgx.subDevices[i].value2, b.vgx.subDevices[i].value2);
        EXPECT_EQ(a.vgx.subDevices[i].text, b.vgx.subDevices[i].text);
    }
    EXPECT_TRUE(a.vgx.flash == b.vgx.flash);
    EXPECT_TRUE(a.io == b.io);
}

TEST(StateFile, EverythingSavedComesBack) {
    const sim::InstrumentState saved = Changed();
    sim::InstrumentState loaded;
    std::string error;
    ASSERT_TRUE(sim::ParseState(sim::FormatState(saved), loaded, &error)) << error;
    ExpectSame(saved, loaded);
}

TEST(StateFile, OnlyWrittenFlashPagesAndIoBlocksAreStoredAndTheRestComesBackUntouched) {
    sim::InstrumentState state;
    state.vgx.flash[0x100] = 0x00;
    state.io[0x1234] = 0x5A;
    const std::string text = sim::FormatState(state);
    EXPECT_NE(text.find("flash.0001="), std::string::npos);
    EXPECT_EQ(text.find("flash.0000="), std::string::npos);
    EXPECT_NE(text.find("io.1200=" + std::string(0x68, '0') + "5A"), std::string::npos);
    EXPECT_EQ(text.find("io.0000="), std::string::npos);
    sim::InstrumentState loaded;
    loaded.vgx.flash[0x5000] = 0x00;  // written before the load: not in the file
    loaded.io[0x0010] = 0x77;
    std::string error;
    ASSERT_TRUE(sim::ParseState(text, loaded, &error)) << error;
    EXPECT_EQ(loaded.vgx.flash[0x100], 0x00);
    EXPECT_EQ(loaded.vgx.flash[0x5000], 0xFF);
    EXPECT_EQ(loaded.io[0x1234], 0x5A);
    EXPECT_EQ(loaded.io[0x0010], 0x00);
}

TEST(StateFile, NoSubDevicesIsKept) {
    sim::InstrumentState state;
    state.vgx.subDevices.clear();
    sim::InstrumentState loaded;
    std::string error;
    ASSERT_TRUE(sim::ParseState(sim::FormatState(state), loaded, &error)) << error;
    EXPECT_TRUE(loaded.vgx.subDevices.empty());
}

TEST(StateFile, DamagedFilesAreRefusedAndChangeNothing) {
    const std::string good = sim::FormatState(Changed());
    const std::string header = "vgx52-sim state 1\n";
    const std::string cases[] = {
        "",
        "vgx52-sim state 2\nid=05\n",
        header + "id=5\n",
        header + "id=0G\n",
        header + "colour=red\n",
        header + "no equals sign\n",
        header + "serial=1234567\n",
        header + "serial=12345678X\n",
        header + "serial=1234567\\x4\n",
        header + "serial=1234567\\y41\n",
        header + "real.s=00000000\n",
        header + "int.b=0000\n",
        header + "cal.16.A=00000000\n",
        header + "cal.01.D=00000000\n",
        header + "cal.1.A=00000000\n",
        header + "flash.0200=" + std::string(512, 'F') + "\n",
        header + "flash.0001=" + std::string(511, 'F') + "\n",
        header + "flash.0001=" + std::string(510, 'F') + "GG\n",
        header + "io.0080=" + std::string(512, '0') + "\n",  // not at the start of a block
        header + "io.10000=" + std::string(512, '0') + "\n",
        header + "io.0100=" + std::string(510, '0') + "\n",
        header + "subdevice=01 02 0003 0004 SHORT\n",
        header + "subdevice=01020003 0004 12345678\n",
        header + "subdevices=some\n",
        good.substr(0, good.size() / 2) + "\nbroken",
    };
    for (const std::string &text : cases) {
        sim::InstrumentState state;
        state.id = 0x33;
        std::string error;
        EXPECT_FALSE(sim::ParseState(text, state, &error)) << text.substr(0, 60);
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(state.id, 0x33);
    }
}

TEST(StateFile, RandomBytesNeverCrashAndAreRefused) {
    std::mt19937 random(1234);
    const std::string good = sim::FormatState(Changed());
    for (int round = 0; round < 300; ++round) {
        std::string text = good;
        // Flip a few bytes of a good file, or make one of pure noise.
        if (round % 3 == 0) {
            text.assign(static_cast<std::size_t>(random() % 2000), '\0');
            for (char &c : text) c = static_cast<char>(random());
        } else {
            for (int flips = 0; flips < 1 + round % 5; ++flips)
                text[random() % text.size()] = static_cast<char>(random());
        }
        sim::InstrumentState state;
        std::string error;
        if (!sim::ParseState(text, state, &error)) {
            EXPECT_FALSE(error.empty());
        }
        EXPECT_EQ(state.vgx.serial.size(), sim::kSerialLength);
        EXPECT_EQ(state.vgx.clock.size(), sim::kClockLength);
        EXPECT_EQ(state.vgx.flash.size(), sim::kFlashSize);
    }
}

class StateFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/sim-state-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        path = folder + "/state.txt";
    }
    void TearDown() override {
        unlink(path.c_str());
        rmdir(folder.c_str());
    }
    std::string folder, path;
};

TEST_F(StateFileOnDisk, SaveThenLoad) {
    std::string error;
    // The second save replaces the first file, as every save after a
    // change does while the simulator runs.
    ASSERT_TRUE(sim::SaveState(sim::InstrumentState{}, path, &error)) << error;
    ASSERT_TRUE(sim::SaveState(Changed(), path, &error)) << error;
    sim::InstrumentState loaded;
    ASSERT_TRUE(sim::LoadState(loaded, path, &error)) << error;
    ExpectSame(Changed(), loaded);
}

TEST_F(StateFileOnDisk, MissingOrHugeFilesAreRefused) {
    sim::InstrumentState state;
    std::string error;
    EXPECT_FALSE(sim::LoadState(state, path, &error));
    {
        std::ofstream file(path);
        file << "vgx52-sim state 1\n" << std::string(3 * 1024 * 1024, '#') << "\n";
    }
    EXPECT_FALSE(sim::LoadState(state, path, &error));
    EXPECT_NE(error.find("too large"), std::string::npos);
    EXPECT_FALSE(sim::SaveState(state, folder + "/no/such/folder/state.txt", &error));
}

}  // namespace

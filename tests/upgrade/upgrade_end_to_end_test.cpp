// vgx52ctl upgrade end to end: the real programs over a pseudo-terminal,
// vgx52-sim keeping its state (flash and settings) in a file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hex_text.h"
#include "platform/system.h"
#include "sim/sim_process.h"
#include "sim/state_file.h"
#include "tests/cli/run_program.h"

namespace {

using namespace upgrade_test;
using ::testing::HasSubstr;
using ::testing::Not;

std::string Bin(const std::string &name) {
    const char *bin = std::getenv("VGX52_BIN");
    return std::string(bin != nullptr ? bin : ".") + "/" + name;
}

// The requests vgx52ctl sent, from its --log file: command code and data
// text of every hex frame, in order.
struct Sent {
    int command;
    std::string data;
};
std::vector<Sent> SentFrames(const std::string &logPath) {
    std::vector<Sent> frames;
    std::ifstream file(logPath);
    for (std::string line; std::getline(file, line);) {
        const std::size_t at = line.find(" TX FF FF 00 ");
        if (at == std::string::npos) continue;
        std::string text;
        for (std::size_t i = at + 13; i + 2 <= line.size(); i += 3) {
            const int byte = std::stoi(line.substr(i, 2), nullptr, 16);
            if (byte == 0x01) break;
            text.push_back(static_cast<char>(byte));
        }
        if (text.size() < 10) continue;
        // destination, source, transaction, command; data; check.
        frames.push_back({std::stoi(text.substr(6, 2), nullptr, 16), text.substr(8, text.size() - 10)});
    }
    return frames;
}

class UpgradeEndToEnd : public ::testing::Test {
protected:
    static constexpr int kCom = 4;

    void SetUp() override {
        char pattern[] = "/tmp/vgx52-upgrade-e2e-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        setenv("VGX52_ROOT", root.c_str(), 1);
        statePath = root + "/instrument.state";
        logPath = root + "/traffic.log";

        // An instrument with settings of its own.
        auto &vgx = before.vgx;
        before.id = 0x2C;
        vgx.serial = "E2E-0042";
        for (std::size_t i = 0; i < 13; ++i)
            vgx.lowerReals[i] = 0x3F800000u + static_cast<std::uint32_t>(i) * 0x00100000u;
        vgx.lowerReals[0] = 0x438F870A;  // 287.055
        vgx.lowerReals[1] = 0x80000000;  // -0
        vgx.lowerReals[2] = 0x00000001;  // the smallest denormal
        vgx.lowerReals[3] = 0x7F7FFFFF;  // the largest float
        vgx.lowerReals[4] = 0xC2F6E979;  // -123.456
        vgx.integers[0] = 0xBEEF;
        std::ofstream(statePath) << sim::FormatState(before);
    }
    void TearDown() override {
        simulator.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    void StartSim(std::vector<std::string> switches = {}) {
        switches.insert(switches.begin(), {"--com", std::to_string(kCom), "--state", statePath});
        std::string line;
        ASSERT_TRUE(simulator.Start(Bin("vgx52-sim"), switches, &line)) << Bin("vgx52-sim");
    }
    cli_test::ProgramResult Upgrade(const std::string &file, std::vector<std::string> more = {}) {
        std::vector<std::string> args = {"--port", std::to_string(kCom), "--log", logPath, "upgrade", file};
        args.insert(args.end(), more.begin(), more.end());
        return cli_test::RunProgram(Bin("vgx52ctl"), args, 120.0);
    }
    // The backup file an upgrade named on its error stream, "" when none.
    static std::string BackupNamedIn(const std::string &err) {
        const std::string mark = "upgrade: settings saved in ";
        const std::size_t at = err.find(mark);
        if (at == std::string::npos) return "";
        const std::size_t start = at + mark.size();
        return err.substr(start, err.find('\n', start) - start);
    }
    // The instrument's state once the simulator has ended and saved it.
    sim::InstrumentState After() {
        EXPECT_EQ(simulator.Stop(), 0);
        sim::InstrumentState state;
        std::string error;
        EXPECT_TRUE(sim::LoadState(state, statePath, &error)) << error;
        return state;
    }
    // A file with data at 0..0x3FFF and, above 64 KiB, 0x10000..0x1003F:
    // 257 pages, most of them in the gap between.
    std::string Firmware(const std::string &name, std::vector<unsigned char> *image) {
        image->assign(0x20000, 0xFF);
        std::vector<std::string> lines;
        for (int a = 0; a < 0x4000; a += 32) lines.push_back(DataRecord(a, Pattern(a, 32)));
        lines.push_back(LinearRecord(1));
        lines.push_back(DataRecord(0x0000, Pattern(0x10000, 64)));
        lines.push_back(EndRecord());
        for (int a = 0; a < 0x4000; ++a) (*image)[static_cast<std::size_t>(a)] = Pattern(a, 1)[0];
        for (int a = 0x10000; a < 0x10040; ++a) (*image)[static_cast<std::size_t>(a)] = Pattern(a, 1)[0];
        const std::string path = root + "/" + name;
        std::ofstream(path, std::ios::binary) << Join(lines);
        return path;
    }

    std::string root, statePath, logPath;
    sim::InstrumentState before;
    sim::SimProcess simulator;
};

TEST_F(UpgradeEndToEnd, FlashHoldsTheImageAndTheSettingsAreWrittenBack) {
    StartSim();
    std::vector<unsigned char> image;
    const std::string file = Firmware("firmware.hex", &image);
    const cli_test::ProgramResult r = Upgrade(file);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "257\n");
    // Not a terminal: plain lines, no bar redrawn in place.
    EXPECT_THAT(r.err, HasSubstr("upgrade: sending 257 pages\n"));
    EXPECT_THAT(r.err, HasSubstr("257/257 pages"));
    EXPECT_THAT(r.err, Not(HasSubstr("\r")));
    EXPECT_THAT(r.err, Not(HasSubstr("failed")));

    const sim::InstrumentState after = After();
    ASSERT_EQ(after.vgx.flash.size(), image.size());
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 257 * 256, after.vgx.flash.begin()));
    EXPECT_TRUE(std::all_of(after.vgx.flash.begin() + 257 * 256, after.vgx.flash.end(),
                            [](unsigned char b) { return b == 0xFF; }));
    EXPECT_EQ(after.vgx.lowerReals, before.vgx.lowerReals);
    EXPECT_EQ(after.vgx.integers, before.vgx.integers);
    EXPECT_EQ(after.vgx.serial, before.vgx.serial);
    EXPECT_EQ(after.id, before.id);

    // After the loader closed: the settings read before, written back in order.
    const std::vector<Sent> frames = SentFrames(logPath);
    auto close = std::find_if(frames.begin(), frames.end(), [](const Sent &s) { return s.command == 0x11; });
    ASSERT_NE(close, frames.end());
    std::vector<std::string> writes;
    for (auto f = close + 1; f != frames.end(); ++f)
        writes.push_back(HexDigits(static_cast<unsigned>(f->command), 2) + ":" + f->data);
    std::vector<std::string> expected;
    for (std::size_t i = 0; i < 13; ++i)
        expected.push_back("83:" + HexDigits('a' + static_cast<unsigned>(i), 2) +
                           HexDigits(before.vgx.lowerReals[i], 8));
    expected.push_back("85:41BEEF");
    expected.push_back("02:2C");
    expected.push_back("07:E2E-0042");
    EXPECT_EQ(writes, expected);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const Sent &s) { return s.command == 0x13; }), 257);
}

// The instrument falls silent mid-transfer: the upgrade ends within bounds,
// and the backup it wrote first gives a fresh instrument every setting back
// bit for bit.
TEST_F(UpgradeEndToEnd, InstrumentLostMidTransferEndsWithinBoundsAndItsBackupRestores) {
    StartSim({"--silent-after-pages", "5"});
    std::vector<unsigned char> image;
    const std::string file = Firmware("firmware.hex", &image);
    const double start = platform::Timer();
    const cli_test::ProgramResult r = Upgrade(file);
    const double took = platform::Timer() - start;
    EXPECT_EQ(r.status, 255);
    EXPECT_THAT(r.err, HasSubstr("did not complete: page 6 of 257"));
    EXPECT_THAT(r.err, HasSubstr("repeat the upgrade"));
    EXPECT_EQ(r.out, "");
    // Bounded: 10 quarters and 5 closes at 0.1 s each, no 2-second wait
    // (the limit leaves room for a loaded machine; a hang would be 120 s).
    EXPECT_LT(took, 20.0);

    const std::vector<Sent> frames = SentFrames(logPath);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const Sent &s) { return s.command == 0x83; }), 0);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const Sent &s) { return s.command == 0x11; }), 5);
    const sim::InstrumentState after = After();
    EXPECT_TRUE(std::equal(image.begin(), image.begin() + 5 * 256, after.vgx.flash.begin()));
    EXPECT_EQ(after.vgx.flash[5 * 256], 0xFF);

    const std::string backup = BackupNamedIn(r.err);
    ASSERT_EQ(backup.rfind(root + "/c/ProgramData/BRANDOLUX SoftWare Data/VGX52 ustawienia E2E-0042 ", 0), 0u) << r.err;
    EXPECT_THAT(r.err, HasSubstr("the settings read before are in " + backup));
    std::ofstream(statePath) << sim::FormatState(sim::InstrumentState());
    StartSim();
    const cli_test::ProgramResult restore =
        cli_test::RunProgram(Bin("vgx52ctl"), {"--port", std::to_string(kCom), "settings-restore", backup});
    EXPECT_EQ(restore.status, 0) << restore.err;
    EXPECT_EQ(restore.out, "16\n");
    const sim::InstrumentState fresh = After();
    EXPECT_TRUE(
        std::equal(before.vgx.lowerReals.begin(), before.vgx.lowerReals.begin() + 13, fresh.vgx.lowerReals.begin()));
    EXPECT_EQ(fresh.vgx.integers[0], before.vgx.integers[0]);
    EXPECT_EQ(fresh.vgx.serial, before.vgx.serial);
    EXPECT_EQ(fresh.id, before.id);
}

TEST_F(UpgradeEndToEnd, UnwritableBackupStopsTheUpgradeUnlessNoBackupIsGiven) {
    std::filesystem::create_directories(root + "/c");
    std::ofstream(root + "/c/ProgramData") << "a file where the data folder should be";
    StartSim();
    std::vector<unsigned char> image;
    const std::string file = Firmware("firmware.hex", &image);
    const cli_test::ProgramResult stopped = Upgrade(file);
    EXPECT_EQ(stopped.status, 255);
    EXPECT_THAT(stopped.err, HasSubstr("the settings backup"));
    EXPECT_THAT(stopped.err, HasSubstr("nothing was sent to the instrument (--no-backup upgrades without one)"));
    for (const Sent &s : SentFrames(logPath)) EXPECT_TRUE(s.command < 0x10 || s.command > 0x13) << s.command;

    const cli_test::ProgramResult done = Upgrade(file, {"--no-backup"});
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_THAT(done.err, HasSubstr("upgrade: no settings backup (--no-backup)\n"));
    EXPECT_EQ(BackupNamedIn(done.err), "");
}

TEST_F(UpgradeEndToEnd, DamagedFileSendsNothingToTheLoader) {
    StartSim();
    const std::string file = root + "/damaged.hex";
    std::string text = Join({DataRecord(0, Pattern(0, 16)), DataRecord(16, Pattern(16, 16)), EndRecord()});
    text[text.find("\n") + 12] ^= 0x01;  // a digit of line 2 changed: '0'<->'1', '2'<->'3', ...
    std::ofstream(file, std::ios::binary) << text;
    const cli_test::ProgramResult r = Upgrade(file);
    EXPECT_EQ(r.status, 255);
    EXPECT_THAT(r.err, HasSubstr("damaged.hex, line 2:"));
    EXPECT_THAT(r.err, HasSubstr("nothing was sent to the instrument"));
    for (const Sent &s : SentFrames(logPath)) EXPECT_TRUE(s.command < 0x10 || s.command > 0x13) << s.command;
    const sim::InstrumentState after = After();
    EXPECT_TRUE(std::all_of(after.vgx.flash.begin(), after.vgx.flash.end(), [](unsigned char b) { return b == 0xFF; }));
}

TEST_F(UpgradeEndToEnd, FileNamedForAnotherHardwareVersionIsRefused) {
    StartSim();  // type 0x1B0: hardware version 1
    std::vector<unsigned char> image;
    const std::string file = Firmware("VGX52HV3.A90", &image);
    const cli_test::ProgramResult r = Upgrade(file);
    EXPECT_EQ(r.status, 255);
    EXPECT_THAT(r.err, HasSubstr("made for hardware version 3, the instrument is version 1"));
    for (const Sent &s : SentFrames(logPath)) EXPECT_TRUE(s.command < 0x10 || s.command > 0x13) << s.command;
}

TEST_F(UpgradeEndToEnd, UsageErrorsTouchNothing) {
    StartSim();
    for (const auto &args :
         std::vector<std::vector<std::string>>{{"upgrade"}, {"upgrade", "f.hex", "--hw"}, {"upgrade", "a", "b"}}) {
        std::vector<std::string> all = {"--port", std::to_string(kCom), "--log", logPath};
        all.insert(all.end(), args.begin(), args.end());
        const cli_test::ProgramResult r = cli_test::RunProgram(Bin("vgx52ctl"), all);
        EXPECT_EQ(r.status, 64) << args.size() << r.err;
    }
    // Another destination than ID 0 is refused before anything is sent.
    std::vector<unsigned char> image;
    const std::string file = Firmware("firmware.hex", &image);
    const cli_test::ProgramResult r = cli_test::RunProgram(
        Bin("vgx52ctl"), {"--id", "3", "--port", std::to_string(kCom), "--log", logPath, "upgrade", file});
    EXPECT_EQ(r.status, 1);
    EXPECT_THAT(r.err, HasSubstr("always addresses ID 0"));
    EXPECT_TRUE(SentFrames(logPath).empty());
}

}  // namespace

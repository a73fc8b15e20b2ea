// The upgrade sequence through its hooks (no dialogs), the firmware paths
// and hardware versions, and the simulator's switch for an instrument lost
// in the middle of an upgrade.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "hex_text.h"
#include "sim/options.h"
#include "ui/headless.h"
#include "upgrade/settings_backup.h"
#include "upgrade/settings_transfer.h"
#include "upgrade/upgrade_sequence.h"
#include "upgrade_fixture.h"

namespace {

using namespace upgrade_test;

TEST(FirmwarePaths, FullPathAndBareNameForEachVersion) {
    char path[upgrade::kPathSize];
    char name[upgrade::kPathSize];
    upgrade::FirmwareFullPath(3, path, sizeof path);
    upgrade::FirmwareFileName(3, name, sizeof name);
    EXPECT_STREQ(path, "P:\\VGX52\\SoftWare\\AVR\\HV3\\Exe\\vgx52hv3.a90");
    EXPECT_STREQ(name, "vgx52hv3.a90");
    upgrade::FirmwareFullPath(8, path, sizeof path);
    EXPECT_STREQ(path, "P:\\VGX52\\SoftWare\\AVR\\HV8\\Exe\\vgx52hv8.a90");
}

TEST(FirmwarePaths, SmallBuffersAreCutNeverOverrun) {
    char buffer[16];
    std::memset(buffer, '#', sizeof buffer);
    upgrade::FirmwareFullPath(2, buffer, 10);
    EXPECT_STREQ(buffer, "P:\\VGX52\\");
    EXPECT_EQ(buffer[10], '#');
    std::memset(buffer, '#', sizeof buffer);
    upgrade::FirmwareFileName(2, buffer, 5);
    EXPECT_STREQ(buffer, "vgx5");
    EXPECT_EQ(buffer[5], '#');
    upgrade::FirmwareFileName(2, buffer, 0);  // nothing to write into
    EXPECT_EQ(buffer[0], 'v');
}

TEST(HardwareVersion, TypeCodeModuloEightPlusOne) {
    EXPECT_EQ(upgrade::HardwareVersionFromType(0x1B0), 1);
    EXPECT_EQ(upgrade::HardwareVersionFromType(439), 8);
    EXPECT_EQ(upgrade::HardwareVersionFromType(440), 1);
    EXPECT_EQ(upgrade::HardwareVersionFromType(0xFFFF), 8);
}

TEST(HardwareVersion, FirstCharacterOfTheAnswerIntoOneToEight) {
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer("4"), 4);
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer("0"), 1);
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer("9"), 8);
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer("73"), 7);
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer(""), 1);
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer(" 5"), 1);
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer("ą"), 1);
    EXPECT_EQ(upgrade::HardwareVersionFromAnswer(nullptr), 1);
}

// Hooks that note what they were told, in order.
class NotingHooks : public upgrade::UpgradeHooks {
public:
    std::vector<std::string> notes;
    bool accept = true;
    int askedVersion = 1;
    int asked = 0;

    void SettingReadFailed(int item, int result) override {
        notes.push_back("read " + std::string(upgrade::SettingName(item)) + " " + std::to_string(result));
    }
    void SettingWriteFailed(int item, int result) override {
        notes.push_back("write " + std::string(upgrade::SettingName(item)) + " " + std::to_string(result));
    }
    int AskHardwareVersion() override {
        ++asked;
        return askedVersion;
    }
    void HardwareVersionKnown(int version, bool identified) override {
        notes.push_back("version " + std::to_string(version) + (identified ? " identified" : " asked"));
    }
    void FirmwareMissing(const char *full, const char *bare) override {
        notes.push_back(std::string("missing ") + full + " | " + bare);
    }
    void FirmwareDamaged(const char *path, int line, const char *) override {
        notes.push_back(std::string("damaged ") + path + " " + std::to_string(line));
    }
    bool FirmwareLoaded(const char *path, int version, int pages) override {
        notes.push_back(std::string("loaded ") + path + " " + std::to_string(version) + " " + std::to_string(pages));
        return accept;
    }
    void BackupWritten(const char *path) override {
        backup = path;
        // Written before anything went to the loader.
        notes.push_back("backup, loader requests " + std::to_string(LoaderRequestsSoFar()));
    }
    bool GoOnWithoutBackup(const char *, const char *reason) override {
        notes.push_back(std::string("no backup: ") + reason);
        return goOnWithoutBackup;
    }
    void TransferStarting(int pages) override {
        notes.push_back("start " + std::to_string(pages) + ", loader requests " +
                        std::to_string(LoaderRequestsSoFar()));
    }
    void PageWritten(int page, int pages) override {
        notes.push_back("page " + std::to_string(page) + "/" + std::to_string(pages));
    }
    void TransferEnded(bool complete) override { notes.push_back(complete ? "ended" : "ended early"); }
    void TransferFailed(int page, int pages, int result, const char *backupPath) override {
        notes.push_back("failed " + std::to_string(page) + "/" + std::to_string(pages) + " " + std::to_string(result) +
                        (*backupPath ? " backup" : ""));
    }

    std::string backup;
    bool goOnWithoutBackup = false;

private:
    static int LoaderRequestsSoFar() {
        int n = 0;
        for (const Request &r : UpgradeTest::requests) n += r.command >= 16 && r.command <= 19;
        return n;
    }
};

class Sequence : public UpgradeTest {};

TEST_F(Sequence, GivenFileGoesThroughTheHooksInOrder) {
    std::vector<unsigned char> image;
    const std::string path = WriteTempFile("given.hex", FirmwareUpTo(0x2FF, &image));
    NotingHooks hooks;
    ASSERT_EQ(upgrade::RunUpgrade(hooks, path.c_str()), 0);
    EXPECT_EQ(hooks.notes,
              (std::vector<std::string>{"version 1 identified", "loaded " + path + " 1 3", "backup, loader requests 0",
                                        "start 3, loader requests 0", "page 0/3", "page 1/3", "page 2/3", "ended"}));
    EXPECT_EQ(delays, std::vector<double>{2.0});
    EXPECT_EQ(ObsUpgrade_IleStron, 3);
    EXPECT_EQ(Count(131), 13);
}

// The backup holds every setting read, bit for bit, in the maker's data
// folder under the serial number, before the first byte goes to the loader.
TEST_F(Sequence, BackupHoldsTheSettingsReadBeforeTheLoaderStarts) {
    auto &vgx = instrument.State().vgx;
    vgx.lowerReals[0] = 0x80000000;  // -0
    vgx.lowerReals[1] = 0x00000001;  // the smallest denormal
    vgx.lowerReals[2] = 0x7F7FFFFF;  // the largest float
    vgx.lowerReals[3] = 0x3EAAAAAB;  // 1/3
    vgx.integers[0] = 0x8000;
    vgx.serial = "SN 00/42";  // a blank and a slash
    instrument.State().id = 200;
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    NotingHooks hooks;
    ASSERT_EQ(upgrade::RunUpgrade(hooks), 0);

    ASSERT_EQ(Backups(), std::vector<std::string>{hooks.backup});
    const std::string name = hooks.backup.substr(hooks.backup.find_last_of("/\\") + 1);
    EXPECT_EQ(name.rfind("VGX52 ustawienia SN_00_42 20", 0), 0u) << name;
    // A serial number padded with blanks names the file without them.
    upgrade::SavedSettings padded;
    std::memcpy(padded.serial, "VG52    ", 8);
    padded.held[upgrade::kSerialNumber] = true;
    EXPECT_EQ(upgrade::BackupName(padded).rfind("VGX52 ustawienia VG52 20", 0), 0u) << upgrade::BackupName(padded);
    upgrade::SavedSettings saved;
    std::string error;
    ASSERT_EQ(upgrade::ReadSettingsFile(hooks.backup.c_str(), saved, nullptr, &error), 0) << error;
    for (int item = 0; item < upgrade::kSettingItems; ++item)
        EXPECT_TRUE(upgrade::SameSetting(saved, ObsUpgrade_Ustawienia, item)) << upgrade::SettingName(item);
    EXPECT_EQ(saved.integerA, -32768);
    EXPECT_STREQ(saved.serial, "SN 00/42");
}

TEST_F(Sequence, UnwritableBackupStopsTheUpgradeUnlessTheCallerGoesOn) {
    // A file where the data folder should be.
    std::filesystem::create_directories(std::filesystem::path(DataFolder()).parent_path().parent_path());
    std::ofstream(std::filesystem::path(DataFolder()).parent_path().string()) << "not a folder";
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    NotingHooks stop;
    EXPECT_EQ(upgrade::RunUpgrade(stop), -1);
    EXPECT_EQ(stop.notes.back().rfind("no backup: the folder ", 0), 0u) << stop.notes.back();
    EXPECT_EQ(LoaderRequests(), 0);

    NotingHooks goOn;
    goOn.goOnWithoutBackup = true;
    EXPECT_EQ(upgrade::RunUpgrade(goOn), 0);
    EXPECT_EQ(Count(19), 1);
}

// The screen's settings transfer as the library's entry points: one popup
// per item that failed, the others read and written.
TEST_F(Sequence, NamedSettingsFunctionsShowOnePopupPerFailedItem) {
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (!(request.command == 130 && request.data == "6D") && request.command != 2) return std::nullopt;
        sim::HexReply refused;
        refused.status = 12;
        return refused;
    };
    ui::headless::ExpectMessage("Wystąpił błąd.");
    ui::headless::ExpectMessage("Wystąpił błąd.");
    EXPECT_EQ(ObsUpgrade_OdczytajZPrzyrzaduUstawienia(), 1);
    EXPECT_FALSE(ObsUpgrade_Ustawienia.held[12]);
    EXPECT_TRUE(ObsUpgrade_Ustawienia.held[upgrade::kSerialNumber]);
    EXPECT_EQ(ObsUpgrade_ZapiszDoPrzyrzaduUstawienia(), 1);
    EXPECT_EQ(Popups(), (std::vector<std::string>{"Wystąpił błąd.|Odczyt z przyrządu niepoprawny.",
                                                  "Wystąpił błąd.|Zapis do przyrządu niepoprawny."}));
    EXPECT_EQ(Count(131), 12);  // "m" was not read: not written
    EXPECT_EQ(Count(7), 1);
}

TEST_F(Sequence, RefusedFirmwareSendsNothingToTheLoader) {
    std::vector<unsigned char> image;
    const std::string path = WriteTempFile("refused.hex", FirmwareUpTo(0x2FF, &image));
    NotingHooks hooks;
    hooks.accept = false;
    EXPECT_EQ(upgrade::RunUpgrade(hooks, path.c_str()), -1);
    EXPECT_EQ(LoaderRequests(), 0);
    EXPECT_EQ(Count(131), 0);
    EXPECT_TRUE(delays.empty());
}

TEST_F(Sequence, MissingGivenFileIsNotLookedForElsewhere) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    PutBareFirmware(1, FirmwareUpTo(0xFF, &image));
    NotingHooks hooks;
    const std::string path = TempFolder() + "/none.hex";
    EXPECT_EQ(upgrade::RunUpgrade(hooks, path.c_str()), -1);
    EXPECT_EQ(hooks.notes.back(), "missing " + path + " | ");
    EXPECT_EQ(LoaderRequests(), 0);
}

TEST_F(Sequence, MissingFirmwareNamesBothPathsTried) {
    NotingHooks hooks;
    EXPECT_EQ(upgrade::RunUpgrade(hooks), -1);
    EXPECT_EQ(hooks.notes.back(), "missing P:\\VGX52\\SoftWare\\AVR\\HV1\\Exe\\vgx52hv1.a90 | vgx52hv1.a90");
}

TEST_F(Sequence, SettingFailuresNameTheirItems) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        const bool readM = request.command == 130 && request.data == "6D";
        const bool writeId = request.command == 2;
        if (!readM && !writeId) return std::nullopt;
        sim::HexReply refused;
        refused.status = 12;
        return refused;
    };
    NotingHooks hooks;
    ASSERT_EQ(upgrade::RunUpgrade(hooks), 0);
    EXPECT_EQ(hooks.notes.front(), "read m 12");
    EXPECT_EQ(hooks.notes.back(), "write ID 12");
}

TEST_F(Sequence, UnansweredIdentifyAsksAndClampsTheAnswer) {
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (request.command != 3) return std::nullopt;
        sim::HexReply refused;
        refused.status = 4;
        return refused;
    };
    std::vector<unsigned char> image;
    PutFirmware(8, FirmwareUpTo(0xFF, &image));
    NotingHooks hooks;
    hooks.askedVersion = 12;
    ASSERT_EQ(upgrade::RunUpgrade(hooks), 0);
    EXPECT_EQ(hooks.asked, 1);
    EXPECT_EQ(Count(3), 1);  // a status is not repeated
    EXPECT_EQ(hooks.notes[0], "version 8 asked");
}

TEST_F(Sequence, SettingsReadSkippedAtWriteBackOnlyForThisUpgrade) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    bool failA = true;
    intercept = [&](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (!failA || request.command != 132) return std::nullopt;
        sim::HexReply refused;
        refused.status = 5;
        return refused;
    };
    NotingHooks first;
    ASSERT_EQ(upgrade::RunUpgrade(first), 0);
    EXPECT_EQ(Count(133), 0);
    failA = false;
    requests.clear();
    NotingHooks second;
    ASSERT_EQ(upgrade::RunUpgrade(second), 0);
    EXPECT_EQ(Count(133), 1);
}

TEST(SimulatorSwitch, InstrumentFallsSilentAfterItsPages) {
    sim::SimOptions options;
    std::string error;
    ASSERT_TRUE(sim::ParseOptions({"--com", "3", "--silent-after-pages", "2"}, &options, &error)) << error;
    EXPECT_EQ(options.faults.silentAfterPages, 2);
    sim::SimOptions refused;
    EXPECT_FALSE(sim::ParseOptions({"--com", "3", "--silent-after-pages", "x"}, &refused, &error));

    sim::Instrument instrument;
    instrument.Faults() = options.faults;
    const auto frame = [](int command, const std::string &data) {
        std::string text = HexDigits(0, 2) + "71" + "10" + HexDigits(static_cast<unsigned>(command), 2) + data;
        unsigned char x = 0;
        for (char c : text) x ^= static_cast<unsigned char>(c);
        return std::string("\xFF\xFF", 2) + std::string(1, '\0') + text + HexDigits(x, 2) + "\x01";
    };
    EXPECT_FALSE(instrument.Process(frame(16, "")).empty());
    EXPECT_FALSE(instrument.Process(frame(19, "0000")).empty());
    EXPECT_FALSE(instrument.Process(frame(19, "0001")).empty());
    EXPECT_EQ(instrument.State().vgx.pagesWritten, 2);
    EXPECT_TRUE(instrument.Process(frame(19, "0002")).empty());
    EXPECT_TRUE(instrument.Process(frame(3, "")).empty());
    EXPECT_EQ(instrument.State().vgx.pagesWritten, 2);
}

}  // namespace

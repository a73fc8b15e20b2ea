// vgx52ctl settings-save and settings-restore against the simulated
// instrument in this process: what they write, and how a restore reports
// every setting that did not come back as the file holds it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "cli/command_table.h"
#include "hex_text.h"
#include "upgrade_fixture.h"

namespace {

using namespace upgrade_test;

struct Outcome {
    int rc = 0;
    std::string out, err;
};

class SettingsCommands : public UpgradeTest {
protected:
    Outcome Command(const char *name, const std::string &file) {
        char *outText = nullptr, *errText = nullptr;
        std::size_t outSize = 0, errSize = 0;
        cli::Context context;
        context.out = open_memstream(&outText, &outSize);
        context.err = open_memstream(&errText, &errSize);
        cli::Params params;
        params.text = file;
        Outcome run;
        run.rc = cli::FindCommand(name)->run(context, params);
        std::fclose(context.out);
        std::fclose(context.err);
        run.out.assign(outText, outSize);
        run.err.assign(errText, errSize);
        std::free(outText);
        std::free(errText);
        return run;
    }
    // A file of this test's own.
    const std::string name = std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt";
    const std::string file = TempFolder() + "/" + name;
};

TEST_F(SettingsCommands, SavedSettingsGoBackIntoAnotherInstrument) {
    auto &vgx = instrument.State().vgx;
    for (std::size_t i = 0; i < 13; ++i) vgx.lowerReals[i] = 0x40490FDBu + static_cast<std::uint32_t>(i);
    vgx.integers[0] = 0xFFFF;
    vgx.serial = "SN-00042";
    instrument.State().id = 42;
    const sim::InstrumentState saved = instrument.State();
    const Outcome save = Command("settings-save", file);
    EXPECT_EQ(save.rc, 0) << save.err;
    EXPECT_EQ(save.out, "16\n");
    EXPECT_NE(ReadFile(file).find("# NumerSeryjny SN-00042\r\n"), std::string::npos);

    instrument.State() = sim::InstrumentState();
    const Outcome restore = Command("settings-restore", file);
    EXPECT_EQ(restore.rc, 0) << restore.err;
    EXPECT_EQ(restore.out, "16\n");
    EXPECT_EQ(restore.err, "");
    EXPECT_EQ(vgx.lowerReals, saved.vgx.lowerReals);
    EXPECT_EQ(vgx.integers[0], 0xFFFF);
    EXPECT_EQ(vgx.serial, "SN-00042");
    EXPECT_EQ(instrument.State().id, 42);
}

TEST_F(SettingsCommands, RestoreReportsEverySettingThatDidNotComeBack) {
    ASSERT_EQ(Command("settings-save", file).rc, 0);
    instrument.State().vgx.lowerReals[2] = 0x3FC00000;  // "c" is 1.5 in the instrument now
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        // "c" is taken without being kept; "e" no longer answers.
        if (request.command == 131 && request.data.substr(0, 2) == "63") return sim::HexReply();
        if (request.command == 130 && request.data == "65") {
            sim::HexReply silent;
            silent.silent = true;
            return silent;
        }
        return std::nullopt;
    };
    const Outcome restore = Command("settings-restore", file);
    EXPECT_EQ(restore.rc, -1);
    EXPECT_EQ(restore.out, "14\n");
    EXPECT_EQ(restore.err,
              "settings-restore: setting c differs: the file holds 0, the instrument 1.5\n"
              "settings-restore: setting e could not be read back (no valid reply 3)\n");
}

TEST_F(SettingsCommands, RestoreKeepsAnIdOfZeroAndLeavesOutBadLines) {
    WriteTempFile(name, "# NrId 0\r\n# Nastawa_a 2\r\n# Nastawa_b x\r\n");
    const Outcome restore = Command("settings-restore", file);
    EXPECT_EQ(restore.rc, 0) << restore.err;
    EXPECT_EQ(restore.out, "2\n");
    EXPECT_EQ(restore.err, "settings-restore: " + file +
                               ", line 3: not a finite single-precision number: x; left out\n"
                               "settings-restore: the file's ID is 0; the instrument keeps its ID 5\n");
    EXPECT_EQ(Count(2), 0);
    EXPECT_EQ(instrument.State().vgx.lowerReals[0], 0x40000000u);
}

TEST_F(SettingsCommands, NothingIsWrittenFromASilentInstrumentOrSentFromAnEmptyFile) {
    instrument.Faults().silent = true;
    const Outcome save = Command("settings-save", file);
    EXPECT_EQ(save.rc, 3);
    EXPECT_EQ(ReadFile(file), "");
    instrument.Faults().silent = false;

    WriteTempFile(name, "no settings here\r\n");
    requests.clear();
    const Outcome restore = Command("settings-restore", file);
    EXPECT_EQ(restore.rc, -1);
    EXPECT_NE(restore.err.find("holds no settings"), std::string::npos) << restore.err;
    EXPECT_TRUE(requests.empty());
}

}  // namespace

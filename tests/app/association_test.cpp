#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "app/association.h"
#include "test_env.h"
#include "toolvane/folders.h"
#include "ui/headless.h"

namespace {

using apptest::TempDrive;

const std::string kFileName = "Korvi70 Programs Associates.kfg";
const std::string kRecord =
    "\r\n# 01B0\tGUID:{3D0B5E27-91C4-4A6E-B2F3-7C18E9A04D55}"
    "\tProgram:\"/opt/vgx52/bin/vgx52\"\tIcon:\"/opt/vgx52/bin/VGX52.ico\""
    "\tLabel:\"User Program for Gas Parameter Measurement Device, model VGX52, software version: 1.01\"\r\n";
const char kMessageTitle[] = "An error occurred";
const char kMessageText[] =
    "Uninstall this software, install BRANDOLUX USB SoftWare luncher, and after that install "
    "this software again";

void SetPaths() {
    std::snprintf(Toolvane_ZbiorProgramu, sizeof Toolvane_ZbiorProgramu, "%s", "/opt/vgx52/bin/vgx52");
    std::snprintf(Toolvane_ZbiorIkony, sizeof Toolvane_ZbiorIkony, "%s", "/opt/vgx52/bin/VGX52.ico");
}

class AppAssociation : public ::testing::Test {
protected:
    void SetUp() override {
        ui::headless::Install();
        SetPaths();
    }
    // Creates an (empty or given) associations file in a data folder.
    std::string PrepareFile(const TempDrive &drive, const std::string &folder, const std::string &content = "") {
        drive.MakeFolder(folder);
        const std::string host = drive.Host(folder + "\\" + kFileName);
        apptest::WriteBytes(host, content);
        return host;
    }
    void ExpectNoMessage() {
        EXPECT_TRUE(ui::headless::Popups().empty());
        EXPECT_TRUE(ui::headless::Failures().empty());
    }
    void ExpectFailureMessage() {
        ASSERT_EQ(ui::headless::Popups().size(), 1u);
        EXPECT_EQ(ui::headless::Popups()[0].request.title, kMessageTitle);
        EXPECT_EQ(ui::headless::Popups()[0].request.message, kMessageText);
    }
};

TEST_F(AppAssociation, RecordBytesAreExact) {
    TempDrive drive("10.0");
    const std::string host = PrepareFile(drive, apptest::kDataVista);
    ui::headless::ExpectMessage(kMessageTitle);  // must stay unused
    EXPECT_EQ(Fun_WriteAssociation(), 0);
    EXPECT_EQ(apptest::ReadBytes(host), kRecord);
    EXPECT_EQ(ui::headless::PendingPopups(), 1u);
}

TEST_F(AppAssociation, SecondRunAppendsAnIdenticalRecordAfterExistingText) {
    TempDrive drive("10.0");
    const std::string before = "# 0123\tGUID:{other}\tProgram:\"x\"\r\n";
    const std::string host = PrepareFile(drive, apptest::kDataVista, before);
    EXPECT_EQ(Fun_WriteAssociation(), 0);
    EXPECT_EQ(Fun_WriteAssociation(), 0);
    EXPECT_EQ(apptest::ReadBytes(host), before + kRecord + kRecord);
    ExpectNoMessage();
}

TEST_F(AppAssociation, WindowsXpAndTwoThousandUseDocumentsAndSettings) {
    for (const char *version : {"5.1", "5.0"}) {
        TempDrive drive(version);
        const std::string host = PrepareFile(drive, apptest::kDataXp);
        // A file in the other folder must not be the one written.
        const std::string other = PrepareFile(drive, apptest::kDataVista);
        EXPECT_EQ(Fun_WriteAssociation(), 0) << version;
        EXPECT_EQ(apptest::ReadBytes(host), kRecord) << version;
        EXPECT_EQ(apptest::ReadBytes(other), "") << version;
    }
    ExpectNoMessage();
}

TEST_F(AppAssociation, VistaAndLaterUseProgramData) {
    for (const char *version : {"6", "6.1", "10.0"}) {
        TempDrive drive(version);
        const std::string host = PrepareFile(drive, apptest::kDataVista);
        const std::string other = PrepareFile(drive, apptest::kDataXp);
        EXPECT_EQ(Fun_WriteAssociation(), 0) << version;
        EXPECT_EQ(apptest::ReadBytes(host), kRecord) << version;
        EXPECT_EQ(apptest::ReadBytes(other), "") << version;
    }
    ExpectNoMessage();
}

TEST_F(AppAssociation, OtherVersionsFailWithTheMessage) {
    for (const char *version : {"5.2", "4.0", "4"}) {
        ui::headless::Install();
        TempDrive drive(version);
        const std::string vista = PrepareFile(drive, apptest::kDataVista);
        const std::string xp = PrepareFile(drive, apptest::kDataXp);
        EXPECT_EQ(Fun_WriteAssociation(), 1) << version;
        ExpectFailureMessage();
        EXPECT_EQ(apptest::ReadBytes(vista), "");
        EXPECT_EQ(apptest::ReadBytes(xp), "");
    }
}

TEST_F(AppAssociation, MissingFileIsNeverCreated) {
    TempDrive drive("10.0");
    drive.MakeFolder(apptest::kDataVista);
    ui::headless::ExpectMessage(kMessageTitle);
    EXPECT_EQ(Fun_WriteAssociation(), 1);
    ExpectFailureMessage();
    EXPECT_TRUE(ui::headless::Failures().empty());
    EXPECT_FALSE(apptest::Exists(drive.Host(std::string(apptest::kDataVista) + "\\" + kFileName)));
}

TEST_F(AppAssociation, FolderOrPipeInPlaceOfTheFileIsNeverWritten) {
    for (const bool pipe : {false, true}) {
        ui::headless::Install();
        TempDrive drive("10.0");
        drive.MakeFolder(apptest::kDataVista);
        const std::string host = drive.Host(std::string(apptest::kDataVista) + "\\" + kFileName);
        ASSERT_EQ(pipe ? mkfifo(host.c_str(), 0600) : mkdir(host.c_str(), 0700), 0);
        ui::headless::ExpectMessage(kMessageTitle);
        EXPECT_EQ(Fun_WriteAssociation(), 1) << (pipe ? "pipe" : "folder");
        ExpectFailureMessage();
    }
}

TEST_F(AppAssociation, MissingFolderIsNeverCreated) {
    TempDrive drive("10.0");
    ui::headless::ExpectMessage(kMessageTitle);
    EXPECT_EQ(Fun_WriteAssociation(), 1);
    ExpectFailureMessage();
    EXPECT_FALSE(apptest::Exists(drive.Host(apptest::kDataVista)));
}

TEST(AppAssociationRecord, TypeCodeIsFourUpperCaseHexDigits) {
    const std::string record = app::AssociationRecord("p", "i");
    EXPECT_EQ(record.substr(0, 8), "\n# 01B0\t");
    EXPECT_EQ(record.back(), '\n');
    EXPECT_EQ(record.find('\n', 1), record.size() - 1) << "one line per record";
    EXPECT_NE(app::AssociationRecord(nullptr, nullptr).find("\tProgram:\"\"\tIcon:\"\"\t"), std::string::npos);
}

}  // namespace

// Where the program works: its own folder is not the user's to write in.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/work_folder.h"
#include "platform/paths.h"
#include "tests/support/current_folder.h"
#include "ui/headless.h"

namespace {

namespace fs = std::filesystem;

class WorkFolder : public ::testing::Test {
protected:
    void SetUp() override {
        ui::headless::Install();
        std::string pattern = (fs::temp_directory_path() / "vgx52-work-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        base_ = pattern;
        fs::create_directories(program_ = base_ / "Program Files" / "VGX52");
        fs::create_directories(documents_ = base_ / "Documents");
        fs::create_directories(elsewhere_ = base_ / "firmware");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(base_, ignored);
    }
    static bool InFolder(const fs::path &folder) {
        return platform::SameFolder(fs::current_path().string(), folder.string());
    }

    fs::path base_, program_, documents_, elsewhere_;
};

TEST_F(WorkFolder, StartedInItsOwnFolderTheProgramWorksInTheUsersFolder) {
    struct Case {
        const char *what;
        std::string programFolder;  // as the program knows its folder
        std::string userFiles;
    } cases[] = {
        {"plain", program_.string(), documents_.string()},
        {"the program's folder given with a separator", program_.string() + platform::kFolderSeparator,
         documents_.string()},
    };
    for (const Case &c : cases) {
        ui::headless::Install();
        fs::remove_all(documents_ / "VGX52");
        testdrive::InFolder started(program_.string());
        EXPECT_EQ(app::SettleWorkFolder(c.programFolder, c.userFiles), 0) << c.what;
        EXPECT_TRUE(InFolder(documents_ / "VGX52")) << c.what << ": " << fs::current_path();
        EXPECT_TRUE(ui::headless::Popups().empty()) << c.what;
    }
    // A second start finds the folder and what the operator left in it.
    std::ofstream(documents_ / "VGX52" / "vgx52hv1.a90") << ":00000001FF\n";
    testdrive::InFolder started(program_.string());
    EXPECT_EQ(app::SettleWorkFolder(program_.string(), documents_.string()), 0);
    EXPECT_TRUE(InFolder(documents_ / "VGX52"));
    EXPECT_TRUE(fs::exists("vgx52hv1.a90")) << "a bare file name is found there";
}

TEST_F(WorkFolder, StartedAnywhereElseOrWithoutAUsersFolderItStays) {
    struct Case {
        const char *what;
        fs::path start;
        std::string userFiles;
    } cases[] = {
        {"started in the operator's folder", elsewhere_, documents_.string()},
        {"started in the folder above the program", program_.parent_path(), documents_.string()},
        {"no user's folder (Linux)", program_, ""},
    };
    for (const Case &c : cases) {
        testdrive::InFolder started(c.start.string());
        EXPECT_EQ(app::SettleWorkFolder(program_.string(), c.userFiles), 0) << c.what;
        EXPECT_TRUE(InFolder(c.start)) << c.what;
        EXPECT_FALSE(fs::exists(documents_ / "VGX52")) << c.what;
    }
    EXPECT_TRUE(ui::headless::Popups().empty());
}

TEST_F(WorkFolder, AFolderThatCannotBeMadeIsReportedAndTheProgramStays) {
    std::ofstream(documents_ / "VGX52") << "a file in the folder's place";
    testdrive::InFolder started(program_.string());
    EXPECT_EQ(app::SettleWorkFolder(program_.string(), documents_.string()), platform::kPathErrIsFile);
    EXPECT_TRUE(InFolder(program_));
    const auto &popups = ui::headless::Popups();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].request.title, "Wystąpił błąd.");
    EXPECT_EQ(popups[0].request.message, "Nie można utworzyć katalogu roboczego " + documents_.string() +
                                             platform::kFolderSeparator +
                                             "VGX52: " + platform::PathErrorText(platform::kPathErrIsFile));
}

}  // namespace

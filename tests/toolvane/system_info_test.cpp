#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/paths.h"
#include "toolvane/folders.h"
#include "toolvane/system_info.h"
#include "ui/headless.h"

namespace fs = std::filesystem;

namespace {

const char kErrorTitle[] = "Wystąpił błąd.";
// Between the program folder and a name in the recorded paths.
const std::string sep = platform::kFolderSeparator;

// A temporary drive root and program folder; the Windows version is set per test.
class SystemInfo : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vgx52-sysinfo-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        setenv("VGX52_ROOT", root_.c_str(), 1);
        setenv("VGX52_WINVER", "10.0", 1);
        folder_ = root_ + "/bin";
        fs::create_directories(folder_);
        std::ofstream(folder_ + sep + "VGX52_G.uir") << "panel P 1\n";
        toolvane::SetProgramFolderForTests(folder_.c_str());
        std::snprintf(Toolvane_NazwaProgramu, sizeof Toolvane_NazwaProgramu, "%s", "vgx52");
        ui::headless::Install();
    }
    void TearDown() override {
        toolvane::SetProgramFolderForTests(nullptr);
        unsetenv("VGX52_ROOT");
        unsetenv("VGX52_WINVER");
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    void ExpectMessage(const char *text) {
        ASSERT_EQ(ui::headless::Popups().size(), 1u);
        EXPECT_EQ(ui::headless::Popups()[0].request.title, kErrorTitle);
        EXPECT_EQ(ui::headless::Popups()[0].request.message, text);
    }
    std::string root_, folder_;
};

TEST_F(SystemInfo, WindowsTenFillsEveryPath) {
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 0);
    EXPECT_EQ(std::string(Toolvane_KatalogProgramu), folder_);
    EXPECT_EQ(std::string(Toolvane_ZbiorProgramu), folder_ + sep + "vgx52");
    EXPECT_EQ(std::string(Toolvane_ZbiorIkony), folder_ + sep + "VGX52.ico");
    EXPECT_STREQ(Toolvane_NazwaZbioruUir, "VGX52_G.uir");
    EXPECT_EQ(std::string(Toolvane_ZbiorUir), folder_ + sep + "VGX52_G.uir");
    EXPECT_STREQ(Toolvane_NazwaZbioruKonfig, "VGX52.kfg");
    EXPECT_STREQ(Toolvane_KatalogDanych, "C:\\ProgramData\\BRANDOLUX SoftWare Data");
    EXPECT_STREQ(Toolvane_ZbiorKonfig, "C:\\ProgramData\\BRANDOLUX SoftWare Data\\VGX52.kfg");
    EXPECT_STREQ(Toolvane_ZbiorSkojarzenNumerowSeryjnych,
                 "C:\\ProgramData\\BRANDOLUX SoftWare Data\\serial number associates.txt");
    EXPECT_STREQ(Toolvane_NazwaZbioruGkp, "VGX52.gkp");
    EXPECT_EQ(std::string(Toolvane_ZbiorGkp), folder_ + sep + "VGX52.gkp");
    EXPECT_TRUE(ui::headless::Popups().empty());
}

TEST_F(SystemInfo, DataFolderFollowsTheWindowsVersion) {
    struct Case {
        const char *version, *data, *config, *associates;
    };
    const Case cases[] = {
        {"5.0", "C:\\Documents and Settings\\BRANDOLUX SoftWare Data",
         "C:\\Documents and Settings\\BRANDOLUX SoftWare Data\\VGX52.kfg", ""},
        {"5.1", "C:\\Documents and Settings\\BRANDOLUX SoftWare Data",
         "C:\\Documents and Settings\\BRANDOLUX SoftWare Data\\VGX52.kfg", ""},
        // 5.2 gets the folder of later versions rather than none at all.
        {"5.2", "C:\\ProgramData\\BRANDOLUX SoftWare Data", "C:\\ProgramData\\BRANDOLUX SoftWare Data\\VGX52.kfg", ""},
        {"4", "C:\\ProgramData\\BRANDOLUX SoftWare Data", "C:\\ProgramData\\BRANDOLUX SoftWare Data\\VGX52.kfg", ""},
        {"6", "C:\\ProgramData\\BRANDOLUX SoftWare Data", "C:\\ProgramData\\BRANDOLUX SoftWare Data\\VGX52.kfg",
         "C:\\ProgramData\\BRANDOLUX SoftWare Data\\serial number associates.txt"},
    };
    for (const Case &c : cases) {
        setenv("VGX52_WINVER", c.version, 1);
        ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 0) << c.version;
        EXPECT_STREQ(Toolvane_KatalogDanych, c.data) << c.version;
        EXPECT_STREQ(Toolvane_ZbiorKonfig, c.config) << c.version;
        // No associates path survives from an earlier call.
        EXPECT_STREQ(Toolvane_ZbiorSkojarzenNumerowSeryjnych, c.associates) << c.version;
    }
}

TEST_F(SystemInfo, StartNameWithAFolderIsNotPrefixedAgain) {
    for (const char *name : {"/usr/local/bin/vgx52", "./vgx52", "build/bin/vgx52", "C:\\VGX52\\vgx52"}) {
        std::snprintf(Toolvane_NazwaProgramu, sizeof Toolvane_NazwaProgramu, "%s", name);
        ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 0);
        EXPECT_EQ(std::string(Toolvane_ZbiorProgramu), folder_ + sep + "vgx52") << name;
    }
}

TEST_F(SystemInfo, TrailingSeparatorIsNotDoubled) {
    for (const std::string &folder : {folder_ + "/", folder_ + "\\"}) {
        toolvane::SetProgramFolderForTests(folder.c_str());
        ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 0) << folder;
        EXPECT_EQ(std::string(Toolvane_ZbiorGkp), folder + "VGX52.gkp");
        EXPECT_EQ(std::string(Toolvane_ZbiorIkony), folder + "VGX52.ico");
        EXPECT_EQ(std::string(Toolvane_ZbiorProgramu), folder + "vgx52");
    }
}

TEST_F(SystemInfo, MissingResourceFileGivesElevenWithMessage) {
    fs::remove(folder_ + sep + "VGX52_G.uir");
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 11);
    ExpectMessage("Nie możliwe jest odnalezienie zbioru z grafiką interfejsu użytkownika.");
    // The paths built before the failure are there, the later ones empty.
    EXPECT_EQ(std::string(Toolvane_ZbiorProgramu), folder_ + sep + "vgx52");
    EXPECT_STREQ(Toolvane_ZbiorUir, "");
    EXPECT_STREQ(Toolvane_ZbiorKonfig, "");
    EXPECT_STREQ(Toolvane_ZbiorGkp, "");
}

TEST_F(SystemInfo, ResourceFileOfAnotherModelIsNotTaken) {
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX53"), 11);
    // The resource file's name follows the model; a folder of that name is no file.
    fs::create_directories(folder_ + "/VGX53_G.uir");
    ui::headless::Install();
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX53"), 11);
    EXPECT_EQ(ui::headless::Popups().size(), 1u);
}

TEST_F(SystemInfo, NoProgramFolderGivesTenWithMessage) {
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 0);
    toolvane::SetProgramFolderForTests("");
    ui::headless::Install();
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 10);
    ExpectMessage("Nie możliwe jest określenie bieżącego katalogu programu.");
    EXPECT_STREQ(Toolvane_KatalogProgramu, "");
    EXPECT_STREQ(Toolvane_ZbiorProgramu, "");
    EXPECT_STREQ(Toolvane_ZbiorKonfig, "");
}

TEST_F(SystemInfo, OverlongProgramFolderIsRefusedNotCut) {
    const std::string longFolder = "/" + std::string(256, 'a');
    toolvane::SetProgramFolderForTests(longFolder.c_str());
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 10);
    EXPECT_STREQ(Toolvane_KatalogProgramu, "");
    // Exactly 256 characters are kept; the resource file then does not fit in 260.
    const std::string folder256 = "/" + std::string(255, 'b');
    toolvane::SetProgramFolderForTests(folder256.c_str());
    std::snprintf(Toolvane_NazwaProgramu, sizeof Toolvane_NazwaProgramu, "%s", "ąęó");
    ASSERT_EQ(Toolvane_ZbierzInfoOSystemie("VGX52"), 11);
    EXPECT_EQ(std::string(Toolvane_KatalogProgramu), folder256);
    EXPECT_EQ(std::strlen(Toolvane_ZbiorIkony), 260u);
    // 260 bytes would end inside "ę": the path stops before it.
    EXPECT_EQ(std::string(Toolvane_ZbiorProgramu), folder256 + sep + "ą");
}

TEST_F(SystemInfo, RealProgramFolderIsTheTestsFolder) {
    toolvane::SetProgramFolderForTests(nullptr);
    // The test program has no resource file beside it unless one was copied there.
    const int result = Toolvane_ZbierzInfoOSystemie("NOSUCHMODEL");
    EXPECT_EQ(result, 11);
    char self[4096] = {};
    ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
    EXPECT_EQ(std::string(Toolvane_KatalogProgramu), fs::path(self).parent_path().string());
}

class CheckIfDirectoryExist : public SystemInfo {
protected:
    std::string Cwd() { return fs::current_path().string(); }
};

TEST_F(CheckIfDirectoryExist, ExistingFolderGivesZero) {
    const std::string before = Cwd();
    EXPECT_EQ(Toolvane_CheckIfDirectoryExist(folder_.c_str(), 0), 0);
    EXPECT_EQ(Cwd(), before);
}

TEST_F(CheckIfDirectoryExist, MissingFolderWithoutCreateIsNotCreated) {
    const std::string before = Cwd();
    const std::string missing = root_ + "/missing";
    EXPECT_LT(Toolvane_CheckIfDirectoryExist(missing.c_str(), 0), 0);
    EXPECT_FALSE(fs::exists(missing));
    EXPECT_EQ(Cwd(), before);
}

TEST_F(CheckIfDirectoryExist, MissingFolderWithCreateIsCreated) {
    const std::string before = Cwd();
    const std::string missing = root_ + "/made";
    EXPECT_EQ(Toolvane_CheckIfDirectoryExist(missing.c_str(), 1), 0);
    EXPECT_TRUE(fs::is_directory(missing));
    EXPECT_EQ(Cwd(), before);
}

TEST_F(CheckIfDirectoryExist, WindowsPathsLiveUnderTheDriveRoot) {
    fs::create_directories(root_ + "/c/ProgramData");
    const std::string before = Cwd();
    EXPECT_LT(Toolvane_CheckIfDirectoryExist("C:\\ProgramData\\BRANDOLUX SoftWare Data", 0), 0);
    EXPECT_EQ(Toolvane_CheckIfDirectoryExist("C:\\ProgramData\\BRANDOLUX SoftWare Data", 1), 0);
    EXPECT_TRUE(fs::is_directory(root_ + "/c/ProgramData/BRANDOLUX SoftWare Data"));
    EXPECT_EQ(Toolvane_CheckIfDirectoryExist("c:\\programdata\\brandolux software data", 0), 0);
    EXPECT_EQ(Cwd(), before);
}

TEST_F(CheckIfDirectoryExist, AFileIsNoFolder) {
    const std::string file = folder_ + sep + "VGX52_G.uir";
    EXPECT_LT(Toolvane_CheckIfDirectoryExist(file.c_str(), 1), 0);
    EXPECT_TRUE(fs::is_regular_file(file));
}

}  // namespace

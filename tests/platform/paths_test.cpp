#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/paths.h"
#include "test_support.h"

using namespace platform;
using platform_test::ScopedEnv;
using platform_test::TempDir;
using platform_test::WriteFile;

namespace {

class PathTest : public ::testing::Test {
protected:
    TempDir root;
    ScopedEnv env{"VGX52_ROOT", root.path()};

    void MakeDirs(const std::string &relative) {
        std::string path = root.path();
        std::size_t start = 0;
        while (start <= relative.size()) {
            const std::size_t slash = relative.find('/', start);
            path += "/" + relative.substr(start, slash - start);
            mkdir(path.c_str(), 0755);
            if (slash == std::string::npos) break;
            start = slash + 1;
        }
    }
};

TEST(DriveRootTest, ComesFromRootVariableThenXdgThenHome) {
    {
        ScopedEnv r("VGX52_ROOT", "/srv/vgx52/");
        ScopedEnv x("XDG_DATA_HOME", "/xdg");
        EXPECT_EQ(DriveRoot(), "/srv/vgx52");
    }
    ScopedEnv r("VGX52_ROOT", std::nullopt);
    ScopedEnv h("HOME", "/home/operator");
    {
        ScopedEnv x("XDG_DATA_HOME", "/xdg/data");
        EXPECT_EQ(DriveRoot(), "/xdg/data/vgx52");
    }
    {
        ScopedEnv x("XDG_DATA_HOME", std::nullopt);
        EXPECT_EQ(DriveRoot(), "/home/operator/.local/share/vgx52");
    }
    {
        // A relative XDG_DATA_HOME is invalid and must be ignored.
        ScopedEnv x("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(DriveRoot(), "/home/operator/.local/share/vgx52");
    }
}

TEST_F(PathTest, DriveLettersMapToLowerCaseFoldersUnderTheRoot) {
    EXPECT_EQ(HostPath("C:\\Korvi70.Kfg"), root / "c/Korvi70.Kfg");
    EXPECT_EQ(HostPath("P:\\VGX52\\SoftWare\\AVR\\HV1\\Exe\\vgx52hv1.a90"),
              root / "p/VGX52/SoftWare/AVR/HV1/Exe/vgx52hv1.a90");
    EXPECT_EQ(HostPath("d:\\x.txt"), root / "d/x.txt");
    EXPECT_EQ(HostPath("C:"), root / "c");
    EXPECT_EQ(HostPath("C:\\Dir\\"), root / "c/Dir/");
    EXPECT_EQ(HostPath("C:\\\\Doubled\\\\Sep"), root / "c/Doubled/Sep");
}

TEST_F(PathTest, LeadingBackslashMeansDriveC) {
    EXPECT_EQ(HostPath("\\Korvi70\\Korvi70.Gkp"), root / "c/Korvi70/Korvi70.Gkp");
}

TEST_F(PathTest, ExistingComponentsAreFoundWithoutRegardToCaseAtEveryLevel) {
    MakeDirs("c/ProgramData/BRANDOLUX SoftWare Data");
    WriteFile(root / "c/ProgramData/BRANDOLUX SoftWare Data/VGX52.kfg", "x");
    EXPECT_EQ(HostPath("C:\\PROGRAMDATA\\brandolux software data\\vgx52.KFG"),
              root / "c/ProgramData/BRANDOLUX SoftWare Data/VGX52.kfg");
    // Missing names are kept as written, under the parents as found on disk.
    EXPECT_EQ(HostPath("C:\\programdata\\Brandolux SoftWare DATA\\New File.txt"),
              root / "c/ProgramData/BRANDOLUX SoftWare Data/New File.txt");
    EXPECT_EQ(HostPath("C:\\programdata\\NoSuch\\programdata"), root / "c/ProgramData/NoSuch/programdata");
}

TEST_F(PathTest, DriveFolderItselfIsFoundWithoutRegardToCase) {
    MakeDirs("P/VGX52");
    EXPECT_EQ(HostPath("P:\\vgx52"), root / "P/VGX52");
}

TEST_F(PathTest, ExactSpellingWinsOverOtherCaseVariants) {
    MakeDirs("c");
    WriteFile(root / "c/File.txt", "1");
    WriteFile(root / "c/FILE.TXT", "2");
    EXPECT_EQ(HostPath("C:\\FILE.TXT"), root / "c/FILE.TXT");
    EXPECT_EQ(HostPath("C:\\File.txt"), root / "c/File.txt");
    // Neither spelling given: the choice must be stable, not directory order.
    EXPECT_EQ(HostPath("C:\\file.txt"), root / "c/FILE.TXT");
}

TEST_F(PathTest, PolishLettersAreMatchedWithoutRegardToCase) {
    MakeDirs("c/Zbiór Łódź");
    EXPECT_EQ(HostPath("C:\\ZBIÓR łÓDŹ"), root / "c/Zbiór Łódź");
}

TEST_F(PathTest, DotDotNeverClimbsAboveTheDrive) {
    EXPECT_EQ(HostPath("C:\\..\\..\\etc\\passwd"), root / "c/etc/passwd");
    EXPECT_EQ(HostPath("C:\\a\\.\\b\\..\\c.txt"), root / "c/a/c.txt");
}

TEST_F(PathTest, HostPathsAreNotMappedToTheDriveRoot) {
    EXPECT_EQ(HostPath("/tmp/Some Dir/File.TXT"), "/tmp/Some Dir/File.TXT");
    EXPECT_EQ(HostPath("/opt/vgx52/bin\\VGX52.ico"), "/opt/vgx52/bin/VGX52.ico");
    EXPECT_EQ(HostPath(""), "");
}

TEST_F(PathTest, RelativePathsStayRelativeAndAreLookedUpInTheCurrentFolder) {
    std::string saved;
    ASSERT_EQ(GetDir(saved), 0);
    MakeDirs("work/Sub Dir");
    WriteFile(root / "work/Sub Dir/Data.TXT", "x");
    ASSERT_EQ(SetDir(root / "work"), 0);
    EXPECT_EQ(HostPath("sub dir\\data.txt"), "Sub Dir/Data.TXT");
    EXPECT_EQ(HostPath("missing\\File"), "missing/File");
    EXPECT_TRUE(FileExists("SUB DIR\\DATA.txt"));
    ASSERT_EQ(SetDir(saved), 0);
}

TEST_F(PathTest, FileQueriesGoThroughTheTranslation) {
    MakeDirs("c/Korvi70");
    WriteFile(root / "c/Korvi70/Korvi70.Gkp", "12345");
    EXPECT_TRUE(FileExists("\\korvi70\\korvi70.gkp"));
    EXPECT_FALSE(FileExists("C:\\Korvi70"));  // a folder is not a file
    EXPECT_TRUE(DirectoryExists("c:\\KORVI70"));
    EXPECT_FALSE(DirectoryExists("C:\\Korvi70\\Korvi70.Gkp"));
    EXPECT_EQ(FileSize("C:\\KORVI70\\KORVI70.GKP"), 5);
    EXPECT_EQ(FileSize("C:\\Korvi70\\absent"), -1);
    EXPECT_EQ(FileSize("C:\\Korvi70"), -1);
    EXPECT_FALSE(FileExists(""));
}

TEST_F(PathTest, MakeDirReportsWhyItFailed) {
    MakeDirs("c");
    EXPECT_EQ(MakeDir("C:\\ProgramData"), 0);
    EXPECT_TRUE(DirectoryExists(root / "c/ProgramData"));
    EXPECT_EQ(MakeDir("C:\\programdata"), kPathErrExists);  // found without regard to case
    EXPECT_EQ(MakeDir("C:\\No\\Such\\Parent"), kPathErrNotFound);
    EXPECT_EQ(MakeDir(""), kPathErrInvalid);
    WriteFile(root / "c/plain", "");
    EXPECT_EQ(MakeDir("C:\\plain\\sub"), kPathErrIsFile);
}

TEST(FreshDriveTest, DriveFoldersAreMadeOnFirstNeedLikeAlwaysPresentDrives) {
    TempDir base;
    const std::string root = base / "not/yet/there";
    ScopedEnv env("VGX52_ROOT", root);
    EXPECT_FALSE(DirectoryExists("C:\\"));
    EXPECT_EQ(MakeDir("C:\\ProgramData"), 0);
    EXPECT_TRUE(DirectoryExists(root + "/c/ProgramData"));
    // Only the drive is implied; other missing parents are still an error.
    EXPECT_EQ(MakeDir("P:\\VGX52\\SoftWare"), kPathErrNotFound);
    EXPECT_TRUE(DirectoryExists(root + "/p"));
    EXPECT_FALSE(DirectoryExists(root + "/p/VGX52"));
}

TEST_F(PathTest, MakeDirsMakesEveryMissingLevel) {
    EXPECT_EQ(platform::MakeDirs("C:\\ProgramData\\BRANDOLUX SoftWare Data"), 0);
    EXPECT_TRUE(DirectoryExists(root / "c/ProgramData/BRANDOLUX SoftWare Data"));
    EXPECT_EQ(platform::MakeDirs("c:\\programdata\\brandolux software data"), 0);  // exists already
    WriteFile(root / "c/ProgramData/file", "");
    EXPECT_EQ(platform::MakeDirs("C:\\ProgramData\\file\\sub"), kPathErrIsFile);
    EXPECT_EQ(platform::MakeDirs(""), kPathErrInvalid);
}

TEST_F(PathTest, SetDirFailureLeavesTheCurrentFolder) {
    std::string before, after;
    ASSERT_EQ(GetDir(before), 0);
    EXPECT_LT(SetDir("C:\\does\\not\\exist"), 0);
    ASSERT_EQ(GetDir(after), 0);
    EXPECT_EQ(before, after);
    EXPECT_FALSE(before.empty());
}

// The program tells whether it was started in its own folder by this.
TEST_F(PathTest, SameFolderSeesThroughSpellingsAndLinks) {
    MakeDirs("c/Program Files/VGX52");
    MakeDirs("c/Users");
    const std::string program = root / "c/Program Files/VGX52";
    ASSERT_EQ(symlink(program.c_str(), (root / "link").c_str()), 0);
    WriteFile(program + "/vgx52", "");
    struct Case {
        std::string a, b;
        bool same;
    } cases[] = {
        {program, program, true},
        {program, program + "/", true},
        {program, root / "c/Program Files/./VGX52", true},
        {program, root / "c/Users/../Program Files/VGX52", true},
        {program, root / "link", true},
        {program, "C:\\Program Files\\VGX52", true},  // a Windows path, through the drive root
        {program, root / "c/Users", false},
        {program, root / "c/Program Files", false},
        {program + "/vgx52", program + "/vgx52", false},  // a file is no folder
        {program, root / "c/absent", false},
        {root / "c/absent", root / "c/absent", false},
        {program, "", false},
    };
    for (const Case &c : cases) EXPECT_EQ(SameFolder(c.a, c.b), c.same) << c.a << " | " << c.b;
}

TEST(ProgramFolderTest, IsTheFolderHoldingTheRunningTest) {
    const std::string folder = ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder[0], '/');
    EXPECT_NE(folder.back(), '/');
    EXPECT_EQ(access((folder + "/platform_tests").c_str(), X_OK), 0);
}

}  // namespace

// Paths, folders and text files on Windows: real drive paths, no drive
// root, UTF-8 names with Polish letters through the wide-character calls.
#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/paths.h"
#include "platform/textfile.h"
#include "platform/wide_windows.h"

using namespace platform;

namespace {

class WindowsPathsTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
        root_ = detail::Narrow(temp) + "vgx52-paths-" + std::to_string(GetCurrentProcessId());
        ASSERT_EQ(MakeDir(root_), 0) << root_;
    }
    void TearDown() override { std::filesystem::remove_all(std::filesystem::path(detail::Widen(root_))); }
    std::string Under(const std::string &name) const { return root_ + "\\" + name; }
    std::string root_;
};

TEST_F(WindowsPathsTest, DrivePathsAreTheSystemsOwn) {
    EXPECT_EQ(HostPath("C:\\Korvi70.Kfg"), "C:\\Korvi70.Kfg");
    EXPECT_EQ(HostPath("\\Korvi70\\x.txt"), "\\Korvi70\\x.txt");
    EXPECT_EQ(HostPath("dane\\a.txt"), "dane\\a.txt");
    const std::string folder = ProgramFolder();
    ASSERT_GE(folder.size(), 3u);
    EXPECT_EQ(folder[1], ':') << folder;
    EXPECT_NE(folder.back(), '\\');
    EXPECT_TRUE(DirectoryExists(folder)) << folder;
}

TEST_F(WindowsPathsTest, FoldersAreMadeFoundAndRefusedAsOnLinux) {
    const std::string top = Under("Zażółć");
    const std::string deep = Under("Zażółć\\gęślą\\jaźń");
    const std::string file = Under("plik.txt");
    struct Case {
        const char *what;
        int got, want;
    };
    const Case cases[] = {
        {"make one", MakeDir(top), 0},
        {"make it again", MakeDir(top), kPathErrExists},
        {"parent missing", MakeDir(top + "\\brak\\x"), kPathErrNotFound},
        {"make all", MakeDirs(deep), 0},
        {"make all again", MakeDirs(deep), 0},
        {"empty", MakeDir(""), kPathErrInvalid},
    };
    for (const Case &c : cases) EXPECT_EQ(c.got, c.want) << c.what;
    EXPECT_TRUE(DirectoryExists(deep));
    // Letter case does not matter on Windows: the system says so itself.
    EXPECT_TRUE(DirectoryExists(root_ + "\\ZAżółć\\GĘŚLĄ"));

    TextFileWriter w;
    ASSERT_TRUE(w.Open(file, TextFileWriter::Mode::Truncate));
    ASSERT_TRUE(w.Write("ąę\n"));
    ASSERT_EQ(w.Close(), 0);
    EXPECT_EQ(FileSize(file), 4);  // two Windows-1250 bytes and CR LF
    EXPECT_FALSE(DirectoryExists(file));
    EXPECT_EQ(MakeDir(file + "\\x"), kPathErrIsFile);
    EXPECT_EQ(MakeDirs(file + "\\x\\y"), kPathErrIsFile);

    std::string before, now;
    ASSERT_EQ(GetDir(before), 0);
    ASSERT_EQ(SetDir(deep), 0);
    ASSERT_EQ(GetDir(now), 0);
    EXPECT_EQ(now, deep);
    EXPECT_EQ(SetDir(before), 0);
    EXPECT_EQ(SetDir(root_ + "\\brak"), kPathErrNotFound);
}

TEST_F(WindowsPathsTest, TextFilesKeepTheirCodePageAndReplaceAtomically) {
    const std::string folder = Under("łódź");
    ASSERT_EQ(MakeDir(folder), 0);
    const std::string path = Under("łódź\\ustawienia.txt");
    for (const char *text : {"pierwsza\n", "druga źdźbło\n"}) {
        TextFileWriter w;
        ASSERT_TRUE(w.Open(path, TextFileWriter::Mode::AtomicReplace));
        ASSERT_TRUE(w.Write(text));
        ASSERT_EQ(w.Close(), 0);
    }
    {
        TextFileWriter w;  // dropped without Close: the file stays as it was
        ASSERT_TRUE(w.Open(path, TextFileWriter::Mode::AtomicReplace));
        ASSERT_TRUE(w.Write("porzucona\n"));
    }
    TextFileWriter append;
    EXPECT_FALSE(append.Open(folder + "\\brak.txt", TextFileWriter::Mode::Append));  // never creates
    ASSERT_TRUE(append.Open(path, TextFileWriter::Mode::Append));
    ASSERT_TRUE(append.Write("trzecia\n"));
    ASSERT_EQ(append.Close(), 0);

    TextFileReader r;
    ASSERT_TRUE(r.Open(path));
    std::string line;
    EXPECT_EQ(r.ReadLine(line, 100), 12);
    EXPECT_EQ(line, "druga źdźbło");
    EXPECT_EQ(r.ReadLine(line, 100), 7);
    EXPECT_EQ(line, "trzecia");
    EXPECT_EQ(r.ReadLine(line, 100), -2);
    r.Close();

    // Nothing but the file itself is left in the folder: no temporary files.
    int entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(detail::Widen(folder))) ++entries;
    EXPECT_EQ(entries, 1);

    // The run-time's narrow calls take the same UTF-8 names (the programs'
    // manifest makes UTF-8 their code page), so code outside the platform
    // layer that opens files with std::ofstream finds them too.
    std::ofstream(folder + "\\źdźbło.txt") << "x";
    EXPECT_EQ(FileSize(folder + "\\źdźbło.txt"), 1);
}

// A program started in its own folder moves to the user's Documents: the
// folder is the system's, and the comparison sees through spellings.
TEST_F(WindowsPathsTest, TheUsersDocumentsAndOneFolderUnderOtherSpellings) {
    const std::string documents = UserFilesFolder();
    ASSERT_GE(documents.size(), 3u);
    EXPECT_EQ(documents[1], ':') << documents;
    EXPECT_TRUE(DirectoryExists(documents)) << documents;

    const std::string program = Under("Program Files\\VGX52");
    ASSERT_EQ(MakeDirs(program), 0);
    std::ofstream(std::filesystem::path(detail::Widen(program + "\\vgx52.exe"))) << "";
    std::string upper = program;
    for (char &c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string slashes = program;
    for (char &c : slashes)
        if (c == '\\') c = '/';
    struct Case {
        std::string other;
        bool same;
    } cases[] = {
        {program, true},
        {program + "\\", true},
        {upper, true},
        {slashes, true},
        {Under("Program Files\\.\\VGX52"), true},
        {Under("x\\..\\Program Files\\VGX52"), true},
        {Under("Program Files"), false},
        {program + "\\vgx52.exe", false},  // a file is no folder
        {Under("brak"), false},
        {"", false},
    };
    for (const Case &c : cases) EXPECT_EQ(SameFolder(program, c.other), c.same) << c.other;
}

// A file that is not saved is reported with the system's own reason.
TEST_F(WindowsPathsTest, AFileThatCannotBeSavedKeepsTheSystemsReason) {
    // A settings file that cannot be replaced: another program holds it
    // open without letting it be deleted, as a file of another user
    // refuses the right to delete it.
    const std::string path = Under("VGX52.kfg");
    std::ofstream(std::filesystem::path(detail::Widen(path)), std::ios::binary) << "old\r\n";
    const HANDLE held = CreateFileW(detail::Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    TextFileWriter w;
    ASSERT_TRUE(w.Open(path, TextFileWriter::Mode::AtomicReplace));
    EXPECT_TRUE(w.Write("new\n"));
    EXPECT_EQ(w.Close(), -1);
    const std::string refused = w.Reason();
    EXPECT_TRUE(refused == detail::ErrorText(ERROR_SHARING_VIOLATION) ||
                refused == detail::ErrorText(ERROR_ACCESS_DENIED))
        << refused;
    CloseHandle(held);
    EXPECT_EQ(FileSize(path), 5) << "the old file stays whole";
    int entries = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(detail::Widen(root_))) ++entries;
    EXPECT_EQ(entries, 1) << "no temporary file left";

    EXPECT_FALSE(w.Open(Under("brak\\VGX52.kfg"), TextFileWriter::Mode::AtomicReplace));
    EXPECT_EQ(w.Reason(), detail::ErrorText(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(w.Open(Under("brak.kfg"), TextFileWriter::Mode::Append));
    EXPECT_EQ(w.Reason(), detail::ErrorText(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(w.Open(path, TextFileWriter::Mode::AtomicReplace));
    EXPECT_EQ(w.Reason(), "") << "a success forgets the failure before it";
    EXPECT_EQ(w.Close(), 0);

    const std::string denied = detail::ErrorText(ERROR_ACCESS_DENIED);
    EXPECT_FALSE(denied.empty());
    EXPECT_NE(denied.back(), '\n');
    EXPECT_EQ(detail::ErrorText(0x2FFFFFFF), "error 805306367") << "a code the system has no words for";
}

}  // namespace

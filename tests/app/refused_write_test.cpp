// Files that are there but refuse what is written (a full disk, a file of
// another user): the operator is told which file and why. A file-size
// limit makes the system refuse the bytes, as it does for every user.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <string>

#include "app/association.h"
#include "app/config_file.h"
#include "test_env.h"
#include "toolvane/folders.h"
#include "ui/headless.h"

namespace {

using apptest::TempDrive;

// Writes beyond `bytes` fail with EFBIG for the life of the object.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        signal_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, signal_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

private:
    rlimit old_{};
    void (*signal_)(int) = SIG_DFL;
};

void ExpectOneReport(const std::string &path) {
    const auto &popups = ui::headless::Popups();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].request.title, "Wystąpił błąd.");
    EXPECT_EQ(popups[0].request.message, "Nie można zapisać zbioru " + path + ": " + std::strerror(EFBIG));
}

TEST(AppRefusedWrite, AnAssociationsFileThatRefusesTheRecordIsNamedNotBlamedOnTheLauncher) {
    ui::headless::Install();
    TempDrive drive("10.0");
    const std::string host = drive.Host(std::string(apptest::kDataVista) + "\\Korvi70 Programs Associates.kfg");
    apptest::WriteBytes(host, "# records\r\n");
    {
        FileSizeLimit limit(11);
        EXPECT_EQ(Fun_WriteAssociation(), 1);
    }
    ExpectOneReport(host);
    EXPECT_EQ(apptest::ReadBytes(host), "# records\r\n");
}

TEST(AppRefusedWrite, ASettingsFileThatCannotBeRewrittenAtExitIsReportedOnce) {
    ui::headless::Install();
    TempDrive drive("10.0");
    const std::string windowsPath = std::string(apptest::kDataVista) + "\\VGX52.kfg";
    const std::string host = drive.Host(windowsPath);
    apptest::WriteBytes(host, "# NumerZlacza 3\r\n");
    {
        FileSizeLimit limit(100);  // the new file is longer
        app::SaveConfigAtExit(windowsPath.c_str());
        app::SaveConfigAtExit(windowsPath.c_str());
    }
    ExpectOneReport(host);
    EXPECT_EQ(apptest::ReadBytes(host), "# NumerZlacza 3\r\n") << "the old file stays whole";
}

}  // namespace

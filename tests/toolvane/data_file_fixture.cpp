#include "data_file_fixture.h"

#include <cstdlib>
#include <fstream>

#include "platform/textfile.h"
#include "tests/support/drive_path.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace toolvane_test {

namespace fs = std::filesystem;

void DataFileTest::SetUp() {
    std::string folder = (fs::temp_directory_path() / "toolvane-data-XXXXXX").string();
    ASSERT_NE(mkdtemp(folder.data()), nullptr);
    root_ = folder;
    setenv("VGX52_ROOT", (root_ / "drive").string().c_str(), 1);
    program_ = root_ / "program";
    fs::create_directories(program_);
    const char *source = std::getenv("VGX52_SOURCE");
    ASSERT_NE(source, nullptr) << "VGX52_SOURCE names the source tree";
    // Beside the program, and in the fixed folder that one program's table reader falls back on.
    const fs::path fixed = testdrive::HostPath((root_ / "drive").string(), "P:\\Toolvane\\LWCVI");
    fs::create_directories(fixed);
    for (const fs::path &folder : {program_, fixed})
        fs::copy_file(fs::path(source) / "ui" / "Tolvan_G.Uir", folder / "Tolvan_G.Uir");
    ui::headless::Install();
    ui::SetProjectFolder(program_.string().c_str());
}

void DataFileTest::TearDown() {
    ui::SetProjectFolder(nullptr);
    ui::headless::Install();
    unsetenv("VGX52_ROOT");
    std::error_code ignored;
    fs::remove_all(root_, ignored);
}

std::string DataFileTest::WriteLines(const std::string &name, const std::vector<std::string> &lines) {
    const fs::path path = program_ / name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    for (const std::string &line : lines) out << platform::Utf8ToCp1250(line) << "\r\n";
    return path.string();
}

void DataFileTest::WatchEveryLine(std::function<void()> watch) {
    watch_ = std::move(watch);
    // Each non-waiting look passes the one-second wait; the next one runs
    // the watch, which queues itself again.
    ui::headless::SetPollAdvance(1.0);
    QueueWatch();
}

void DataFileTest::QueueWatch() {
    ui::headless::QueueAction([this] {
        watch_();
        QueueWatch();
    });
    ui::headless::QueueWait(1.0);
}

}  // namespace toolvane_test

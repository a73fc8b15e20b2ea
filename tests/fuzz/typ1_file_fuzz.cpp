// TYP1 data files (Windows-1250 text): the table readers never store more
// rows than the limit nor write outside the columns, and the comment reader
// gives valid UTF-8 lines.
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "toolvane/data_files.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace {

constexpr int kLimit = 16;
constexpr int kGuard = 4;
constexpr double kUntouched = -12345.5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    ui::headless::Install();
    const std::string path = fuzz::WriteTempFile("fuzz.dan", fuzz::AsText(data, size));
    // The column count comes from the input, so every count gets its turn.
    const int count = size > 0 ? 1 + data[0] % 4 : 1;
    for (const char *program : {static_cast<const char *>(nullptr), "P"}) {
        std::vector<std::vector<double>> columns(count, std::vector<double>(kLimit + kGuard, kUntouched));
        std::vector<double *> pointers;
        for (auto &column : columns) pointers.push_back(column.data());
        int rows = -1;
        const int rc = program
                           ? Toolvane_OdczytZbiorDanychTyp1Prog(path.c_str(), "dan", kLimit, count, pointers.data(),
                                                                &rows, program)
                           : Toolvane_OdczytZbiorDanychTyp1(path.c_str(), "dan", kLimit, count, pointers.data(), &rows);
        FUZZ_CHECK(rc == 0 || rc == 1 || (program && rc == 2));
        if (rc == 1) {
            FUZZ_CHECK(size == 0);  // the only way a file we wrote is refused
            continue;
        }
        FUZZ_CHECK(rows >= 0 && rows <= kLimit);
        FUZZ_CHECK(rc != 2 || rows == 0);
        for (const auto &column : columns)
            for (int r = rows; r < kLimit + kGuard; ++r) FUZZ_CHECK(column[r] == kUntouched);
    }

    const int panel = ui::NewPanel(0, "", 0, 0, 100, 100);
    const int box = ui::NewCtrl(panel, ui::CTRL_TEXT_BOX, "", 0, 0);
    FUZZ_CHECK(Toolvane_OdczytKomentZeZbioru(path.c_str(), "DAN", panel, box) == (size == 0 ? 1 : 0));
    for (const std::string &line : ui::model::FindControl(panel, box)->lines) {
        FUZZ_CHECK(fuzz::IsValidUtf8(line));
        FUZZ_CHECK(line.size() <= 600 * 3);
    }
    FUZZ_CHECK(ui::model::PanelHandles().size() == 1u);  // the popups are gone
    return 0;
}

// The thermometer characteristics the library ships, read through the
// sensor table from the drive root as set up for a user, against values
// published in the standards' tables.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "data_file_fixture.h"
#include "tests/support/drive_path.h"
#include "toolvane/data_files.h"
#include "ui/headless.h"

namespace toolvane_test {
namespace {

namespace fs = std::filesystem;

class SensorFiles : public DataFileTest {
protected:
    void SetUp() override {
        DataFileTest::SetUp();
        // What scripts/setup-drive does: the drive's folder names the shipped data.
        const fs::path folder = testdrive::HostPath((root_ / "drive").string(), "P:\\Toolvane\\Dane");
        fs::create_directories(folder);
        const fs::path shipped = fs::path(std::getenv("VGX52_SOURCE")) / "data" / "ChkiTerm";
        std::error_code noLinks;
        fs::create_directory_symlink(shipped, folder / "ChkiTerm", noLinks);
        // What the Windows installer does where links cannot be made: a copy.
        if (noLinks) fs::copy(shipped, folder / "ChkiTerm", fs::copy_options::recursive);
    }
};

TEST_F(SensorFiles, NominalCharacteristicsMatchThePublishedTables) {
    struct Case {
        int index;
        int rows, step;
        double first, last;
        std::map<int, double> ohms;  // published, rounded to 0.001 ohm (0.01 for Ni and Cu)
        double tolerance;
    } cases[] = {
        // IEC 60751:2008 table.
        {1, 526, 2, -200, 850, {{-200, 18.520}, {-100, 60.256}, {0, 100.000}, {100, 138.506}, {850, 390.481}}, 0.0006},
        // GOST 6651-2009 tables (nickel 0.00617, copper 0.00426).
        {2, 241, 1, -60, 180, {{-60, 69.45}, {0, 100.00}, {100, 161.72}, {180, 223.21}}, 0.006},
        {3, 251, 1, -50, 200, {{-50, 78.70}, {0, 100.00}, {100, 142.60}, {200, 185.20}}, 0.006},
    };
    for (const Case &c : cases) {
        ui::headless::Install();
        ASSERT_EQ(Toolvane_OdczytNominalChkeCzujZeZbioru(c.index), 0) << c.index;
        ASSERT_EQ(Toolvane_NominalnaChkaLiczbaWierszy, c.rows) << c.index;
        EXPECT_EQ(Toolvane_NominalnaChkaKol1[0], c.first);
        EXPECT_EQ(Toolvane_NominalnaChkaKol1[c.rows - 1], c.last);
        for (int r = 1; r < c.rows; ++r) {
            ASSERT_EQ(Toolvane_NominalnaChkaKol1[r] - Toolvane_NominalnaChkaKol1[r - 1], c.step) << c.index;
            ASSERT_GT(Toolvane_NominalnaChkaKol2[r], Toolvane_NominalnaChkaKol2[r - 1]) << c.index;
        }
        for (const auto &[celsius, ohms] : c.ohms) {
            const int row = (celsius - static_cast<int>(c.first)) / c.step;
            EXPECT_NEAR(Toolvane_NominalnaChkaKol2[row], ohms, c.tolerance) << c.index << " at " << celsius;
        }
        EXPECT_TRUE(ui::headless::Popups().empty());
    }
}

TEST_F(SensorFiles, IndicesWithoutAFileAreRejected) {
    for (const int index : {0, -1, 4}) EXPECT_EQ(Toolvane_OdczytNominalChkeCzujZeZbioru(index), 1) << index;
    EXPECT_TRUE(ui::model::PanelHandles().empty());
}

}  // namespace
}  // namespace toolvane_test

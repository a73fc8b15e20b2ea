// The TYP1 table and comment readers and the character replacement, on the
// headless back end.
#include "toolvane/data_files.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "data_file_fixture.h"
#include "tests/support/drive_path.h"
#include "ui/Tolvan_G.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace toolvane_test {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using Row = std::vector<double>;
constexpr double kFill = std::numeric_limits<double>::quiet_NaN();  // stands for "the all-bits-set value"

std::uint64_t Bits(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::string Repeat(const std::string &text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

Lines Table(int columns, int declared, int rows, const Lines &header = {"#TYP 1"}) {
    Lines lines = header;
    lines.push_back("#DANE " + std::to_string(columns) + " x " + std::to_string(declared));
    for (int r = 1; r <= rows; ++r) {
        std::string line = "#";
        for (int c = 1; c <= columns; ++c) line += " " + std::to_string(r * 10 + c);
        lines.push_back(line);
    }
    return lines;
}

// Lowers the open-files limit to the descriptors in use for its lifetime.
class NoFreeDescriptors {
public:
    NoFreeDescriptors() {
        getrlimit(RLIMIT_NOFILE, &saved_);
        const int next = dup(0);
        close(next);
        rlimit tight = saved_;
        tight.rlim_cur = static_cast<rlim_t>(next);
        setrlimit(RLIMIT_NOFILE, &tight);
    }
    ~NoFreeDescriptors() { setrlimit(RLIMIT_NOFILE, &saved_); }

private:
    rlimit saved_{};
};

class DataFiles : public DataFileTest {
protected:
    struct Read {
        int result = -1;
        int rows = -1;
        std::vector<Row> table;  // the stored rows
    };
    Read ReadTable(const std::string &path, int columns, int limit, const char *program = nullptr,
                   const char *extension = "dan") {
        std::vector<std::vector<double>> data(columns, std::vector<double>(limit > 0 ? limit : 1, -1.0));
        std::vector<double *> pointers;
        for (auto &column : data) pointers.push_back(column.data());
        Read read;
        read.result = program ? Toolvane_OdczytZbiorDanychTyp1Prog(path.c_str(), extension, limit, columns,
                                                                   pointers.data(), &read.rows, program)
                              : Toolvane_OdczytZbiorDanychTyp1(path.c_str(), extension, limit, columns, pointers.data(),
                                                               &read.rows);
        for (int r = 0; r < read.rows && r < limit; ++r) {
            Row row;
            for (int c = 0; c < columns; ++c) row.push_back(data[c][r]);
            read.table.push_back(row);
        }
        return read;
    }
};

void ExpectRows(const std::vector<Row> &got, const std::vector<Row> &want, const std::string &what) {
    ASSERT_EQ(got.size(), want.size()) << what;
    for (std::size_t r = 0; r < want.size(); ++r)
        for (std::size_t c = 0; c < want[r].size(); ++c) {
            if (std::isnan(want[r][c]))
                EXPECT_EQ(Bits(got[r][c]), ~std::uint64_t{0}) << what << " row " << r << " column " << c;
            else
                EXPECT_EQ(got[r][c], want[r][c]) << what << " row " << r << " column " << c;
        }
}

TEST_F(DataFiles, TableReadsAsTheHeaderAndRowsSay) {
    // The 600th character ends a value and the 601st is a blank: the value is whole.
    const Lines spaceOver600 = {"#TYP 1", "#DANE 2 x 2", "# 1" + std::string(594, ' ') + "2.5 # 8 8", "# 3 4"};
    const Lines cutInsideAValue = {"#TYP 1", "#DANE 2 x 2", "# 1" + std::string(595, ' ') + "2.25# 8 8", "# 3 4"};
    // 100 values "k.000001" joined by commas, about 1000 characters: the
    // 600th character falls inside value 61, or (with 9 blanks after the
    // "#") the 601st is the comma after value 60.
    std::string commaRow = "#";
    for (int k = 1; k <= 100; ++k) commaRow += (k > 1 ? "," : "") + std::to_string(k) + ".000001";
    const Lines commaCut = {"#TYP 1", "#DANE 100 x 2", commaRow, "# 7"};
    const Lines commaAtTheEnd = {"#TYP 1", "#DANE 100 x 2", "#" + std::string(9, ' ') + commaRow.substr(1), "# 7"};
    const std::vector<Row> firstSixty = [] {
        Row first(100, kFill), second(100, kFill);
        for (int k = 1; k <= 60; ++k) first[static_cast<std::size_t>(k - 1)] = k + 0.000001;
        second[0] = 7;
        return std::vector<Row>{first, second};
    }();
    struct Case {
        const char *what;
        Lines lines;
        int columns, limit;
        const char *program;
        int result;
        std::vector<Row> rows;
    } cases[] = {
        {"the example file",
         {"#TYP 1", "#KodProgramu Ch-ka_Pt100", "#STARTKOMEN", "any text", "#ENDKOMEN", "#DANE 2 x 3", "# 1.0 10.0",
          "# 2.0 20.0", "# 3.0 30.0"},
         2,
         10,
         nullptr,
         0,
         {{1, 10}, {2, 20}, {3, 30}}},
        {"500 declared rows, limit 100", Table(1, 500, 500), 1, 100, nullptr, 0,
         [] {
             std::vector<Row> rows;
             for (int r = 1; r <= 100; ++r) rows.push_back({r * 10.0 + 1});
             return rows;
         }()},
        {"rows past the declared count", Table(2, 2, 5), 2, 10, nullptr, 0, {{11, 12}, {21, 22}}},
        {"a short row, 4294967296 skipped, other separators",
         {"#typ 1", "#dane 3 x 4", "# 1 2", "# 5 4294967296 6", "#7;8,9e1", "# -1.5e-3 +2 x"},
         3,
         10,
         nullptr,
         0,
         {{1, 2, kFill}, {7, 8, 90}, {-0.0015, 2, kFill}}},
        {"lines without # are no rows",
         {"#TYP 1", "#DANE 1 x 2", "5", "", "# 6", "# 7"},
         1,
         10,
         nullptr,
         0,
         {{6}, {7}}},
        {"another column count", Table(3, 2, 2), 2, 10, nullptr, 0, {}},
        {"a later header with the right count",
         {"#TYP 1", "#DANE 3 x 9", "#DANE 1 x 1", "# 4", "# 5"},
         1,
         10,
         nullptr,
         0,
         {{4}}},
        {"not type 1", Table(1, 2, 2, {"#TYP 2"}), 1, 10, nullptr, 0, {}},
        {"keywords with blanks after the #",
         {"#  KodProgramu P", "# TYP 1", "#\tDANE 2 x 2", "# 1 2", "# 3 4"},
         2,
         10,
         "P",
         0,
         {{1, 2}, {3, 4}}},
        {"no header at all", {"# 1", "# 2"}, 1, 10, nullptr, 0, {}},
        {"a row over 600 characters ending at a blank", spaceOver600, 2, 10, nullptr, 0, {{1, 2.5}, {3, 4}}},
        {"a row over 600 characters cut inside a value", cutInsideAValue, 2, 10, nullptr, 0, {{1, kFill}, {3, 4}}},
        {"a comma-separated row cut inside a value", commaCut, 100, 10, nullptr, 0, firstSixty},
        {"a comma-separated row whose 601st character is a comma", commaAtTheEnd, 100, 10, nullptr, 0, firstSixty},
        {"program code in any letter case",
         Table(1, 1, 1, {"#KODPROGRAMU ch-KA_pt100", "#TYP 1"}),
         1,
         10,
         "Ch-ka_Pt100",
         0,
         {{11}}},
        {"program code after the table", {"#TYP 1", "#DANE 1 x 1", "#KodProgramu P", "# 1"}, 1, 10, "P", 2, {}},
        {"another program", Table(1, 1, 1, {"#TYP 1", "#KodProgramu Q"}), 1, 10, "P", 2, {}},
        {"program's table with another column count", Table(2, 1, 1, {"#TYP 1", "#KodProgramu P"}), 1, 10, "P", 2, {}},
        {"program's table of no rows", Table(1, 0, 3, {"#TYP 1", "#KodProgramu P"}), 1, 10, "P", 0, {}},
    };
    for (const Case &c : cases) {
        ui::headless::Install();
        const Read read = ReadTable(WriteLines("table.dan", c.lines), c.columns, c.limit, c.program);
        EXPECT_EQ(read.result, c.result) << c.what;
        EXPECT_EQ(read.rows, static_cast<int>(c.rows.size())) << c.what;
        ExpectRows(read.table, c.rows, c.what);
        EXPECT_TRUE(ui::headless::Popups().empty()) << c.what;
        EXPECT_TRUE(ui::model::PanelHandles().empty()) << c.what << ": the popup stays";
        EXPECT_FALSE(ui::headless::WaitCursor()) << c.what;
    }
}

TEST_F(DataFiles, ReadersRejectArgumentsBeforeShowingAnything) {
    const std::string good = WriteLines("PT100_01.DAN", Table(1, 1, 1));
    WriteLines("empty.dan", {});
    fs::create_directory(program_ / "folder.dan");
    ASSERT_EQ(mkfifo((program_ / "pipe.dan").string().c_str(), 0600), 0);
    struct Case {
        std::string path;
        const char *extension;
        int columns, limit;
    } cases[] = {
        {"", "dan", 1, 10},
        {(program_ / "absent.dan").string(), "dan", 1, 10},
        {(program_ / "empty.dan").string(), "dan", 1, 10},
        {(program_ / "folder.dan").string(), "dan", 1, 10},
        {(program_ / "pipe.dan").string(), "dan", 1, 10},
        {good, "txt", 1, 10},
        {good + "/", "dan", 1, 10},
        {good, "dan", 0, 10},
        {good, "dan", 101, 10},
        {good, "dan", 1, -1},
    };
    for (const Case &c : cases) {
        const Read read = ReadTable(c.path, c.columns, c.limit, nullptr, c.extension);
        const Read prog = ReadTable(c.path, c.columns, c.limit, "P", c.extension);
        EXPECT_EQ(read.result, 1) << c.path << " " << c.extension << " " << c.columns;
        EXPECT_EQ(prog.result, 1) << c.path << " " << c.extension << " " << c.columns;
        if (c.columns == 1 && c.limit > 0) {
            EXPECT_EQ(Toolvane_OdczytKomentZeZbioru(c.path.c_str(), c.extension, -1, -1), 1) << c.path;
        }
    }
    double *none[1] = {nullptr};
    int rows = 0;
    EXPECT_EQ(Toolvane_OdczytZbiorDanychTyp1(good.c_str(), "dan", 1, 1, none, &rows), 1);
    EXPECT_EQ(Toolvane_OdczytZbiorDanychTyp1Prog(good.c_str(), "dan", 1, 1, none, &rows, "P"), 1);
    EXPECT_TRUE(ui::headless::Popups().empty());
    EXPECT_TRUE(ui::model::PanelHandles().empty());

    // The upper-case name passes the lower-case extension.
    EXPECT_EQ(ReadTable(good, 1, 10, nullptr, "dan").rows, 1);
}

TEST_F(DataFiles, ProgressPopupFollowsTheReadAndStopKeepsTheRowsSoFar) {
    const std::string path = WriteLines("big.dan", Table(2, 50, 50, {"#TYP 1", "#KodProgramu P"}));
    struct Seen {
        std::string title;
        double percent = -1, counterMax = -1;
        int counter = -1;
    } last;
    int lines = 0;
    WatchEveryLine([&] {
        const int panel = ui::model::TopPopup();
        ui::GetPanelAttribute(panel, ui::ATTR_TITLE, &last.title);
        ui::GetCtrlVal(panel, PANEL_ODCZ_PROCENT, &last.percent);
        ui::GetCtrlVal(panel, PANEL_ODCZ_WIERSZE, &last.counter);
        ui::GetCtrlAttribute(panel, PANEL_ODCZ_WIERSZE, ui::ATTR_MAX_VALUE, &last.counterMax);
        if (++lines == 20) ui::headless::QueueCommit(ui::headless::TopPopup(), PANEL_ODCZ_STOP);
    });
    const Read read = ReadTable(path, 2, 40, "P");
    EXPECT_EQ(read.result, 0);
    EXPECT_GT(read.rows, 0);
    EXPECT_LT(read.rows, 40) << "the stop came mid-file";
    EXPECT_EQ(static_cast<int>(read.table.size()), read.rows);
    EXPECT_EQ(last.title, "Odczyt zbioru danych TYP1 z programu P");
    // Seen a line before the stop reached the reader.
    EXPECT_NEAR(last.counter, read.rows, 1);
    EXPECT_DOUBLE_EQ(last.percent, last.counter * 100.0 / 50) << "of the 50 rows the file declares";
    EXPECT_EQ(last.counterMax, 40.0);
    EXPECT_TRUE(ui::model::PanelHandles().empty());
    EXPECT_FALSE(ui::headless::WaitCursor());
}

TEST_F(DataFiles, PopupComesFromTheResourceFileWhereEachReaderLooks) {
    const std::string path = WriteLines("t.dan", Table(1, 1, 1, {"#TYP 1", "#KodProgramu P"}));
    const fs::path here = root_ / "cwd";
    fs::create_directories(here);
    const fs::path before = fs::current_path();
    fs::current_path(here);
    const std::string fixed = "P:\\Toolvane\\LWCVI\\Tolvan_G.Uir";
    struct Case {
        bool inProgramFolder, inCurrentFolder, inFixedFolder;
        const char *program;
        std::string from;  // "" = no popup
    } cases[] = {
        {true, false, true, nullptr, "Tolvan_G.Uir"},
        {false, false, true, nullptr, fixed},
        {false, false, false, nullptr, ""},
        {true, true, true, "P", "Tolvan_G.Uir"},
        {true, false, true, "P", fixed},
        {false, true, true, "P", fixed},  // found here, but the bare name is taken from the program's folder
        {true, false, false, "P", ""},
    };
    const fs::path source = fs::path(std::getenv("VGX52_SOURCE")) / "ui" / "Tolvan_G.Uir";
    for (const Case &c : cases) {
        const std::pair<bool, fs::path> places[] = {
            {c.inProgramFolder, program_ / "Tolvan_G.Uir"},
            {c.inCurrentFolder, here / "tolvan_g.uir"},
            {c.inFixedFolder, testdrive::HostPath((root_ / "drive").string(), fixed)}};
        for (const auto &[present, file] : places) {
            fs::remove(file);
            if (present) fs::copy_file(source, file);
        }
        ui::headless::Install();
        std::string from = "";
        WatchEveryLine([&] {
            const ui::model::Panel *panel = ui::model::FindPanel(ui::model::TopPopup());
            from = panel ? panel->fileName : "";
        });
        const Read read = ReadTable(path, 1, 10, c.program);
        EXPECT_EQ(from, c.from) << c.inProgramFolder << c.inCurrentFolder << c.inFixedFolder << " " << !!c.program;
        EXPECT_EQ(read.rows, 1) << "read with or without its popup";
    }
    fs::current_path(before);
}

TEST_F(DataFiles, ClosingEitherPopupsWindowStopsTheRead) {
    const std::string table = WriteLines("big.dan", Table(1, 50, 50));
    Lines commentLines = {"#STARTKOMEN"};
    for (int i = 0; i < 50; ++i) commentLines.push_back("line " + std::to_string(i));
    const std::string comment = WriteLines("comment.dan", commentLines);
    for (const bool readsComment : {false, true}) {
        ui::headless::Install();
        int lines = 0;
        std::size_t commentRead = 0;
        WatchEveryLine([&] {
            if (readsComment)
                commentRead = ui::model::FindControl(ui::model::TopPopup(), PANEL_KOMENT_TEKST)->lines.size();
            if (++lines == 10) ui::headless::QueueClose(ui::headless::TopPopup());
        });
        if (readsComment) {
            EXPECT_EQ(Toolvane_OdczytKomentZeZbioru(comment.c_str(), "dan", -1, -1), 0);
            EXPECT_GT(commentRead, 0u);
            EXPECT_LT(commentRead, 50u);
        } else {
            const Read read = ReadTable(table, 1, 100);
            EXPECT_GT(read.rows, 0);
            EXPECT_LT(read.rows, 50);
        }
        EXPECT_TRUE(ui::model::PanelHandles().empty());
    }
}

TEST_F(DataFiles, FileThatCannotBeOpenedIsReportedOnce) {
    const std::string path = WriteLines("table.dan", Table(1, 1, 1));
    struct Case {
        const char *program;
        int result;
    } cases[] = {{nullptr, 0}, {"P", 2}};
    for (const Case &c : cases) {
        ui::headless::Install();
        ui::headless::ExpectMessage("Wystąpił błąd.");
        Read read;
        {
            // No file can be opened once every descriptor is taken (root included).
            const NoFreeDescriptors full;
            read = ReadTable(path, 1, 10, c.program);
        }
        EXPECT_EQ(read.result, c.result);
        EXPECT_EQ(read.rows, 0);
        ASSERT_EQ(ui::headless::Popups().size(), 1u);
        EXPECT_EQ(ui::headless::Popups()[0].request.message, "Nie umiem odczytać zbioru danych wejściowych.");
        EXPECT_TRUE(ui::headless::Failures().empty());
    }
}

TEST_F(DataFiles, CommentBlockFillsBothTextBoxes) {
    struct Case {
        const char *what;
        Lines lines;
        Lines text;
        int start, end;
    } cases[] = {
        {"a block",
         {"#TYP 1", "before", "#startkomen", "Zażółć gęślą jaźń", "", "#skipped", "second", "#ENDKOMEN", "after"},
         {"Zażółć gęślą jaźń", "second"},
         1,
         1},
        {"no block", {"#TYP 1", "text", "#DANE 1 x 1", "# 1"}, {"Brak komentarza"}, 0, 0},
        {"keywords with a blank after the #", {"# STARTKOMEN", "one", "#\tENDKOMEN", "two"}, {"one"}, 1, 1},
        {"a block without its end", {"#STARTKOMEN", "one", "two"}, {"one", "two"}, 1, 0},
        {"an over-long line is one line",
         {"#STARTKOMEN", Repeat("ab", 310) + "#ENDKOMEN", "#ENDKOMEN"},
         {Repeat("ab", 300)},
         1,
         1},
    };
    for (const Case &c : cases) {
        ui::headless::Install();
        const std::string path = WriteLines("comment.dan", c.lines);
        // The caller's own text box: the comment panel loaded by the test.
        const int caller = ui::LoadPanel(0, "Tolvan_G.Uir", PANEL_KOMENT);
        ASSERT_GT(caller, 0);
        ui::ResetTextBox(caller, PANEL_KOMENT_TEKST, "old\ntext");
        Lines popupText;
        int start = -1, end = -1;
        WatchEveryLine([&] {
            const int panel = ui::model::TopPopup();
            const ui::model::Control *box = ui::model::FindControl(panel, PANEL_KOMENT_TEKST);
            if (box) popupText = box->lines;
            ui::GetCtrlVal(panel, PANEL_KOMENT_POCZATEK, &start);
            ui::GetCtrlVal(panel, PANEL_KOMENT_KONIEC, &end);
        });
        EXPECT_EQ(Toolvane_OdczytKomentZeZbioru(path.c_str(), "DAN", caller, PANEL_KOMENT_TEKST), 0) << c.what;
        EXPECT_EQ(popupText, c.text) << c.what;
        EXPECT_EQ(ui::model::FindControl(caller, PANEL_KOMENT_TEKST)->lines, c.text) << c.what;
        EXPECT_EQ(start, c.start) << c.what;
        EXPECT_EQ(end, c.end) << c.what;
        EXPECT_EQ(ui::model::PanelHandles(), std::vector<int>{caller}) << c.what << ": the popup stays";
    }
}

// The text is UTF-8 counted in characters; the two characters are
// Windows-1250 codes ('\xB9' is "ą", '\xEA' "ę", '\x80' "€").
TEST_F(DataFiles, ReplacementStopsAtLineFeedTerminatorOrLength) {
    struct Case {
        const char *text;
        int maxLength;
        char find, replacement;
        const char *after;
        int replaced;
    } cases[] = {
        {"a,b,c", 3, ',', ';', "a;b,c", 1},
        {"a,b,c", 5, ',', ';', "a;b;c", 2},
        {"a,b\n,c", 9, ',', ';', "a;b\n,c", 1},
        {",,", 9, ',', ';', ";;", 2},
        {"a,b", 0, ',', ';', "a,b", 0},
        {"", 5, ',', ';', "", 0},
        {"ąb,c", 3, ',', ';', "ąb;c", 1},  // the limit counts characters
        {"ąb,c", 2, ',', ';', "ąb,c", 0},
        {"żąb,ą", 9, '\xB9', '\xEA', "żęb,ę", 2},
        {"żąb,ą", 9, '\xB9', ',', "ż,b,,", 2},  // shorter: the text moves up
        {"ąą\nąx", 9, '\xB9', 'a', "aa\nąx", 2},
        {"ąąb", 1, '\xB9', 'a', "aąb", 1},
        {"€1,€", 9, '\x80', 'E', "E1,E", 2},
        {"a,b", 9, ',', '\xB9', "a,b", 0},     // longer: the text has no room to grow
        {"a\xC4,", 9, ',', ';', "a\xC4;", 1},  // a broken sequence is a character of its own
    };
    for (const Case &c : cases) {
        char buffer[24];
        std::memset(buffer, '#', sizeof buffer);
        const std::size_t size = std::strlen(c.text) + 1;
        std::memcpy(buffer, c.text, size);
        EXPECT_EQ(Toolvane_ZamienZnakiWLancuchu(buffer, c.maxLength, c.find, c.replacement), c.replaced) << c.text;
        EXPECT_STREQ(buffer, c.after) << c.text;
        EXPECT_EQ(std::string(buffer + size, sizeof buffer - size), std::string(sizeof buffer - size, '#'))
            << c.text << ": written past the terminator";
    }
    EXPECT_EQ(Toolvane_ZamienZnakiWLancuchu(nullptr, 5, ',', ';'), 0);
}

}  // namespace
}  // namespace toolvane_test

// Reading the table of a TYP1 file in two passes: the first looks for the
// header (type 1 and, for one program's table, its program code), the
// second for the "DANE" line and the rows after it.
#include <algorithm>
#include <cstring>
#include <string>

#include "platform/ascii.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "toolvane/data_file_checks.h"
#include "toolvane/data_files.h"
#include "toolvane/reader_popup.h"
#include "toolvane/typ1_line.h"
#include "ui/Tolvan_G.h"
#include "ui/ui.h"

namespace {

using namespace toolvane;

struct TableRequest {
    const char *path;
    int rowLimit;
    int columnCount;
    double **columns;
    const char *programCode;  // null: any program
};

enum class Pass { Done, Stopped, ReadError };

// Next line, an over-long one cut as the readers keep it: -2 at the end,
// -1 on a read error.
int NextLine(platform::TextFileReader &file, std::string &line, bool row) {
    const int kept = file.ReadLine(line, typ1::kLineMax + 1);
    if (kept > static_cast<int>(typ1::kLineMax)) typ1::TrimOverLong(line, row);
    return kept;
}

// First pass: true when the header the request needs was found.
Pass FindHeader(platform::TextFileReader &file, ReaderPopup &popup, const TableRequest &request, bool &found) {
    bool typeSeen = false, codeSeen = false;
    std::string line;
    for (;;) {
        const int kept = NextLine(file, line, false);
        if (kept == -2) break;
        if (kept < 0) return Pass::ReadError;
        bool tableReached = false;
        if (!line.empty() && line[0] == '#') {
            const std::string keyword = typ1::Keyword(line);
            int type = 0;
            if (keyword == "TYP" && typ1::FirstInt(line, type) && type == 1) typeSeen = true;
            if (request.programCode != nullptr) {
                if (keyword == "KODPROGRAMU" &&
                    platform::EqualsIgnoringAsciiCase(typ1::FirstWord(line), request.programCode))
                    codeSeen = true;
                // The program code counts only above the table.
                if (keyword == "DANE") {
                    codeSeen = false;
                    tableReached = true;
                }
            }
        }
        if (popup.StopRequested()) return Pass::Stopped;
        found = typeSeen && (request.programCode == nullptr || codeSeen);
        if (found || tableReached) break;
    }
    return Pass::Done;
}

// The all-bits-set pattern: what a value the row does not give holds.
double FillValue() {
    double value;
    std::memset(&value, 0xFF, sizeof value);
    return value;
}

// Second pass: the "DANE" line with the right number of columns, then its rows.
Pass ReadRows(platform::TextFileReader &file, ReaderPopup &popup, const TableRequest &request, bool &started,
              int &stored) {
    const int panel = popup.Panel();
    int declared = 1;
    double step = 0.0;
    std::string line;
    double scratch[Toolvane_MaksKolumn];
    while (stored < request.rowLimit && stored < declared) {
        const int kept = NextLine(file, line, started);
        if (kept == -2) break;
        if (kept < 0) return Pass::ReadError;
        if (!line.empty() && line[0] == '#') {
            if (!started) {
                typ1::TableHeader header;
                if (typ1::Keyword(line) == "DANE" && typ1::ParseTableHeader(line, header)) {
                    if (header.columns == request.columnCount) {
                        started = true;
                        declared = header.rows;
                        step = header.rows > 0 ? 100.0 / header.rows : 0.0;
                        ui::SetCtrlVal(panel, PANEL_ODCZ_PROCENT, 0.0);
                    }
                    declared = std::min(declared, request.rowLimit);
                }
            } else {
                std::fill(std::begin(scratch), std::end(scratch), FillValue());
                typ1::ReadRow(line, scratch, request.columnCount);
                double *end = scratch + request.columnCount;
                if (std::find(scratch, end, typ1::kSkipValue) == end) {
                    for (int j = 0; j < request.columnCount; ++j) request.columns[j][stored] = scratch[j];
                    ++stored;
                    ui::SetCtrlVal(panel, PANEL_ODCZ_PROCENT, std::min(100.0, stored * step));
                    ui::SetCtrlVal(panel, PANEL_ODCZ_WIERSZE, stored);
                }
            }
        }
        if (popup.StopRequested()) return Pass::Stopped;
    }
    return Pass::Done;
}

// 0 when the table started, 2 when it did not, 1 when rejected.
int ReadTable(const TableRequest &request, const char *extension, int *rowsRead) {
    if (!toolvane::AcceptableDataFile(request.path, extension)) return 1;
    if (request.columnCount < 1 || request.columnCount > Toolvane_MaksKolumn) return 1;
    if (request.columns == nullptr || rowsRead == nullptr || request.rowLimit < 0) return 1;
    for (int j = 0; j < request.columnCount; ++j)
        if (request.columns[j] == nullptr) return 1;

    *rowsRead = 0;
    const bool forProgram = request.programCode != nullptr;
    ReaderPopup popup(PANEL_ODCZ, PANEL_ODCZ_STOP,
                      forProgram ? PanelLookup::SearchCurrentFolder : PanelLookup::BareNameFirst);
    const int panel = popup.Panel();
    if (forProgram) {
        const std::string title = std::string("Odczyt zbioru danych TYP1 z programu ") + request.programCode;
        ui::SetPanelAttribute(panel, ui::ATTR_TITLE, title.c_str());
    }
    ui::SetCtrlVal(panel, PANEL_ODCZ_PROCENT, 0.0);
    ui::SetCtrlAttribute(panel, PANEL_ODCZ_WIERSZE, ui::ATTR_MAX_VALUE, static_cast<double>(request.rowLimit));
    ui::SetCtrlVal(panel, PANEL_ODCZ_WIERSZE, 0);
    popup.Show();

    platform::TextFileReader file;
    if (!file.Open(request.path, platform::Encoding::Cp1250)) {
        toolvane::ShowDataFileError();
        return forProgram ? 2 : 0;
    }
    bool found = false, started = false;
    int stored = 0;
    Pass pass = FindHeader(file, popup, request, found);
    if (pass == Pass::Done && found) {
        pass = file.Rewind() ? ReadRows(file, popup, request, started, stored) : Pass::ReadError;
    }
    file.Close();
    // A read error keeps the rows read before it, and says so.
    if (pass == Pass::ReadError) toolvane::ShowDataFileError();
    *rowsRead = stored;
    return !forProgram || started ? 0 : 2;
}

}  // namespace

int Toolvane_OdczytZbiorDanychTyp1(const char *path, const char *extension, int rowLimit, int columnCount,
                                   double *columns[], int *rowsRead) {
    return ReadTable({path, rowLimit, columnCount, columns, nullptr}, extension, rowsRead);
}

int Toolvane_OdczytZbiorDanychTyp1Prog(const char *path, const char *extension, int rowLimit, int columnCount,
                                       double *columns[], int *rowsRead, const char *programCode) {
    if (programCode == nullptr) return 1;
    return ReadTable({path, rowLimit, columnCount, columns, programCode}, extension, rowsRead);
}

// TYP1 data files and the thermometer characteristics, read with the tools
// library as the maker's programs read them; no instrument, no port.
#include <cmath>
#include <string>
#include <vector>

#include "cli/command_table.h"
#include "platform/paths.h"
#include "toolvane/data_files.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;

constexpr long kMaxLimit = 1000000;
// Columns times rows allocated at most (80 MB of doubles).
constexpr long kMaxValues = 10000000;
constexpr long kDefaultLimit = 100000;

bool ParseTyp1(const Args &args, Params &params, ArgError &error) {
    constexpr char synopsis[] = "FILE (--columns N [--program CODE] [--limit R] [--ext EXT] | --comment)";
    if (args.empty() || args[0].rfind("--", 0) == 0) return ExpectCount({}, 1, synopsis, error);
    params.text = args[0];
    params.number[1] = kDefaultLimit;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string &option = args[i];
        if (option == "--comment") {
            params.comment = true;
            continue;
        }
        if (option != "--columns" && option != "--program" && option != "--limit" && option != "--ext")
            return ExpectCount({option}, 0, synopsis, error);
        if (i + 1 >= args.size()) return Fail(error, option + " needs a value");
        const std::string &value = args[++i];
        if (option == "--columns" && !ArgInt(value, 1, Toolvane_MaksKolumn, "N", params.number[0], error)) return false;
        if (option == "--limit" && !ArgInt(value, 0, kMaxLimit, "R", params.number[1], error)) return false;
        if (option == "--program") params.program = value;
        if (option == "--ext") params.extension = value;
    }
    if (params.comment == (params.number[0] != 0))
        return Fail(error, std::string("give either --columns or --comment (expected: ") + synopsis + ")");
    if (params.number[0] * params.number[1] > kMaxValues)
        return Refuse(error, "--columns times --limit may be at most " + std::to_string(kMaxValues));
    return true;
}

bool ParseSensor(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 1, "K", error) && ArgInt(args[0], 0, 3, "K", params.number[0], error);
}

void PrintRows(const Context &context, const std::vector<std::vector<double>> &columns, int rows) {
    for (int r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const double value = columns[c][r];
            // The fill of values a row does not give is a NaN with every bit set.
            if (std::isnan(value))
                std::fprintf(context.out, "%snan", c ? "\t" : "");
            else
                std::fprintf(context.out, "%s%.17g", c ? "\t" : "", value);
        }
        std::fputc('\n', context.out);
    }
}

int ReadComment(const Context &context, const Params &params) {
    // The caller's text box the reader fills besides its popup's.
    const int panel = ui::NewPanel(0, "", 0, 0, 100, 100);
    const int box = ui::NewCtrl(panel, ui::CTRL_TEXT_BOX, "", 0, 0);
    const int rc = Toolvane_OdczytKomentZeZbioru(params.text.c_str(), params.extension.c_str(), panel, box);
    if (rc == 0)
        if (const ui::model::Control *control = ui::model::FindControl(panel, box))
            for (const std::string &line : control->lines) PrintText(context, line.c_str());
    ui::DiscardPanel(panel);
    return rc;
}

int ReadTable(const Context &context, const Params &params) {
    const int count = static_cast<int>(params.number[0]);
    const int limit = static_cast<int>(params.number[1]);
    std::vector<std::vector<double>> columns(count, std::vector<double>(limit > 0 ? limit : 1));
    std::vector<double *> pointers;
    for (auto &column : columns) pointers.push_back(column.data());
    int rows = 0;
    const char *path = params.text.c_str(), *extension = params.extension.c_str();
    const int rc = params.program.empty()
                       ? Toolvane_OdczytZbiorDanychTyp1(path, extension, limit, count, pointers.data(), &rows)
                       : Toolvane_OdczytZbiorDanychTyp1Prog(path, extension, limit, count, pointers.data(), &rows,
                                                            params.program.c_str());
    if (rc != 1) PrintRows(context, columns, rows);
    return rc;
}

// The readers' messages reach context.err through the console back end.
int Typ1(const Context &context, const Params &params) {
    const int rc = params.comment ? ReadComment(context, params) : ReadTable(context, params);
    if (rc == 1)
        std::fprintf(context.err, "vgx52ctl: typ1: %s refused (no such file, empty, or wrong extension)\n",
                     params.text.c_str());
    return rc;
}

int Sensor(const Context &context, const Params &params) {
    const int index = static_cast<int>(params.number[0]);
    const int rc = Toolvane_OdczytNominalChkeCzujZeZbioru(index);
    if (rc == 1) {
        // The file named as the program names it, and where this system keeps it.
        const char *file = Toolvane_TabelaCzujnikow[index].zbior;
        if (index == 0)
            std::fprintf(context.err, "vgx52ctl: sensor: sensor 0 has no characteristic\n");
        else
            std::fprintf(context.err, "vgx52ctl: sensor: the characteristic file %s (%s) is missing or empty\n", file,
                         platform::HostPath(file).c_str());
        return rc;
    }
    const std::vector<std::vector<double>> columns = {
        {Toolvane_NominalnaChkaKol1, Toolvane_NominalnaChkaKol1 + Toolvane_NominalnaChkaLiczbaWierszy},
        {Toolvane_NominalnaChkaKol2, Toolvane_NominalnaChkaKol2 + Toolvane_NominalnaChkaLiczbaWierszy}};
    PrintRows(context, columns, Toolvane_NominalnaChkaLiczbaWierszy);
    return rc;
}

constexpr Command kCommands[] = {
    {"typ1", "FILE --columns N [--program CODE] [--limit R] [--ext EXT]",
     "the rows of a TYP1 data file, tab-separated (--limit: 100000); or FILE --comment: its comment", ParseTyp1, Typ1,
     /*opensLink=*/false},
    {"sensor", "K", "the nominal characteristic of thermometer K (1 Pt100, 2 Ni100, 3 Cu100)", ParseSensor, Sensor,
     /*opensLink=*/false},
};

}  // namespace

std::span<const Command> DataCommandTable() { return kCommands; }

}  // namespace cli

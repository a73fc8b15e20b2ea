// The VGX52's code values, reals, integers and calibration table.
#include <climits>

#include "cli/command_table.h"
#include "vgx52/registers.h"

namespace cli {
namespace {

using Args = std::vector<std::string>;

// The letter and step ranges are the commands' own checks: they refuse
// with 1 and send nothing.
bool Letter(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 1, "L", error) && ArgLetter(args[0], "L", params.letter, error);
}

bool LetterReal(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 2, "L VALUE", error) && ArgLetter(args[0], "L", params.letter, error) &&
           ArgReal(args[1], "VALUE", params.real, error);
}

bool LetterInt(const Args &args, Params &params, ArgError &error) {
    return ExpectCount(args, 2, "L VALUE", error) && ArgLetter(args[0], "L", params.letter, error) &&
           ArgInt(args[1], INT_MIN, INT_MAX, "VALUE", params.number[0], error);
}

bool Cell(const Args &args, Params &params, ArgError &error, std::size_t count, const char *synopsis) {
    return ExpectCount(args, count, synopsis, error) &&
           ArgInt(args[0], CHAR_MIN, CHAR_MAX, "STEP", params.number[0], error) &&
           ArgLetter(args[1], "COL", params.letter, error) &&
           (count < 3 || ArgReal(args[2], "VALUE", params.real, error));
}

bool ReadCell(const Args &args, Params &params, ArgError &error) { return Cell(args, params, error, 2, "STEP COL"); }

bool WriteCell(const Args &args, Params &params, ArgError &error) {
    return Cell(args, params, error, 3, "STEP COL VALUE");
}

int ReadCode(const Context &context, const Params &params) {
    int value = 0;
    const int rc = WithAttempts(context, [&] { return VGX52_PodKod(context.id, params.letter, &value); });
    // A code value is a 32-bit pattern, shown without sign.
    if (rc == korvi70::kDone) PrintInt(context, static_cast<unsigned>(value));
    return rc;
}

int ReadFloat(const Context &context, const Params &params) {
    double value = 0;
    const int rc = WithAttempts(context, [&] { return VGX52_PodWartFloat(context.id, params.letter, &value); });
    if (rc == korvi70::kDone) PrintReal(context, value);
    return rc;
}

int WriteFloat(const Context &context, const Params &params) {
    return WithAttempts(context, [&] { return VGX52_ZapWartFloat(context.id, params.letter, params.real); });
}

int ReadInt(const Context &context, const Params &params) {
    int value = 0;
    const int rc = WithAttempts(context, [&] { return VGX52_PodWartInt(context.id, params.letter, &value); });
    if (rc == korvi70::kDone) PrintInt(context, value);
    return rc;
}

int WriteInt(const Context &context, const Params &params) {
    return WithAttempts(
        context, [&] { return VGX52_ZapWartInt(context.id, params.letter, static_cast<int>(params.number[0])); });
}

int ReadCal(const Context &context, const Params &params) {
    double value = 0;
    const char step = static_cast<char>(params.number[0]);
    const int rc =
        WithAttempts(context, [&] { return VGX52_PodKrokWzorCisn(context.id, step, params.letter, &value); });
    if (rc == korvi70::kDone) PrintReal(context, value);
    return rc;
}

int WriteCal(const Context &context, const Params &params) {
    const char step = static_cast<char>(params.number[0]);
    return WithAttempts(context, [&] { return VGX52_ZapKrokWzorCisn(context.id, step, params.letter, params.real); });
}

constexpr Command kCommands[] = {
    {"read-code", "L", "32-bit code value A..G", Letter, ReadCode},
    {"read-float", "L", "real value A..I, a..r", Letter, ReadFloat},
    {"write-float", "L VALUE", "write real value A..H, a..r", LetterReal, WriteFloat},
    {"read-int", "L", "16-bit integer A, B, a", Letter, ReadInt},
    {"write-int", "L VALUE", "write 16-bit integer A, B, a (low 16 bits sent)", LetterInt, WriteInt},
    {"read-cal", "STEP COL", "pressure calibration table, step 1..15, column A..C", ReadCell, ReadCal},
    {"write-cal", "STEP COL VALUE", "write a calibration table entry", WriteCell, WriteCal},
};

}  // namespace

std::span<const Command> RegisterCommandTable() { return kCommands; }

}  // namespace cli

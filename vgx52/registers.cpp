#include "vgx52/registers.h"

#include <cstdint>

#include "korvi70/result_codes.h"
#include "korvi70/transaction.h"
#include "korvi70/wire_values.h"

namespace vgx52 {

bool IsCodeValueCode(char code) { return code >= 'A' && code <= 'G'; }
bool IsReadableRealCode(char code) { return (code >= 'A' && code <= 'I') || (code >= 'a' && code <= 'r'); }
bool IsWritableRealCode(char code) { return (code >= 'A' && code <= 'H') || (code >= 'a' && code <= 'r'); }
bool IsIntegerCode(char code) { return code == 'A' || code == 'B' || code == 'a'; }
bool IsCalibrationCell(int step, char column) { return step >= 1 && step <= 15 && column >= 'A' && column <= 'C'; }

}  // namespace vgx52

namespace {

using korvi70::FixedText;
using korvi70::RunTransaction;
using Data = FixedText<16>;

enum : int {
    kPodKod = 0x81,
    kPodWartFloat = 0x82,
    kZapWartFloat = 0x83,
    kPodWartInt = 0x84,
    kZapWartInt = 0x85,
    kPodKrokWzorCisn = 0x86,
    kZapKrokWzorCisn = 0x87,
};

unsigned char Destination(int id) { return static_cast<unsigned char>(id & 0xFF); }

// A character's value as two hex digits.
void AppendChar(Data &data, char c) { data.AppendHex(static_cast<unsigned char>(c), 2); }

// A read whose reply is one real value.
int ReadReal(int id, int command, const Data &data, double *value) {
    static constexpr int kWidths[] = {8};
    return RunTransaction(Destination(id), command, data.View(), kWidths,
                          [&](int, std::string_view chars) { return korvi70::ParseFloat(chars, value); });
}

// Appends a real as its single-precision pattern; false when it does not fit.
bool AppendReal(Data &data, double value) {
    std::uint32_t bits = 0;
    if (!korvi70::FloatBits(value, &bits)) return false;
    data.AppendHex(bits, 8);
    return true;
}

}  // namespace

int VGX52_PodKod(int id, char code, int *value) {
    if (!vgx52::IsCodeValueCode(code) || value == nullptr) return korvi70::kRefused;
    Data data;
    AppendChar(data, code);
    static constexpr int kWidths[] = {8};
    return RunTransaction(Destination(id), kPodKod, data.View(), kWidths, [&](int, std::string_view chars) {
        unsigned bits = 0;
        if (!korvi70::ParseHexField(chars, 8, &bits)) return false;
        *value = static_cast<int>(static_cast<std::uint32_t>(bits));
        return true;
    });
}

int VGX52_PodWartFloat(int id, char code, double *value) {
    if (!vgx52::IsReadableRealCode(code) || value == nullptr) return korvi70::kRefused;
    Data data;
    AppendChar(data, code);
    return ReadReal(id, kPodWartFloat, data, value);
}

int VGX52_ZapWartFloat(int id, char code, double value) {
    if (!vgx52::IsWritableRealCode(code)) return korvi70::kRefused;
    Data data;
    AppendChar(data, code);
    if (!AppendReal(data, value)) return korvi70::kRefused;
    return RunTransaction(Destination(id), kZapWartFloat, data.View());
}

int VGX52_PodWartInt(int id, char code, int *value) {
    if (!vgx52::IsIntegerCode(code) || value == nullptr) return korvi70::kRefused;
    Data data;
    AppendChar(data, code);
    static constexpr int kWidths[] = {4};
    return RunTransaction(Destination(id), kPodWartInt, data.View(), kWidths,
                          [&](int, std::string_view chars) { return korvi70::ParseInt16(chars, value); });
}

int VGX52_ZapWartInt(int id, char code, int value) {
    if (!vgx52::IsIntegerCode(code)) return korvi70::kRefused;
    Data data;
    AppendChar(data, code);
    data.AppendHex(static_cast<unsigned>(value) & 0xFFFF, 4);
    return RunTransaction(Destination(id), kZapWartInt, data.View());
}

int VGX52_PodKrokWzorCisn(int id, char step, char column, double *value) {
    if (!vgx52::IsCalibrationCell(step, column) || value == nullptr) return korvi70::kRefused;
    Data data;
    AppendChar(data, step);
    AppendChar(data, column);
    return ReadReal(id, kPodKrokWzorCisn, data, value);
}

int VGX52_ZapKrokWzorCisn(int id, char step, char column, double value) {
    if (!vgx52::IsCalibrationCell(step, column)) return korvi70::kRefused;
    Data data;
    AppendChar(data, step);
    AppendChar(data, column);
    if (!AppendReal(data, value)) return korvi70::kRefused;
    return RunTransaction(Destination(id), kZapKrokWzorCisn, data.View());
}

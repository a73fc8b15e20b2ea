// The numbered generic commands (1 to 7, 9, 10) over the shared command
// transaction, and the legacy no-operation probe.
#include "korvi70/generic_commands.h"

#include <cstdint>

#include "korvi70/legacy.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "korvi70/transaction.h"
#include "korvi70/wire_values.h"
#include "platform/utf8.h"

namespace {

using korvi70::FixedText;
using korvi70::RunTransaction;

enum : int {
    kPodNrId = 1,
    kZapNrId = 2,
    kPrzedstawSie = 3,
    kPodWartPodstawowa = 4,
    kZapWartPodstawowa = 5,
    kPodNumerSeryjny = 6,
    kZapNumerSeryjny = 7,
    kPodCzasDate = 9,
    kZapCzasDate = 10,
};

// Reads one fixed-width text field into out (width + 1 bytes).
int ReadText(unsigned char destination, int command, int width, char *out) {
    if (out == nullptr) return korvi70::kRefused;
    const int widths[] = {width};
    return RunTransaction(destination, command, {}, widths, [&](int, std::string_view chars) {
        platform::CopyText(chars, out, static_cast<std::size_t>(width) + 1);
        return true;
    });
}

// Sends one fixed-width text field: padded with blanks, cut to the width.
int WriteText(unsigned char destination, int command, std::size_t width, const char *text) {
    if (text == nullptr) return korvi70::kRefused;
    const std::string_view field = korvi70::TextField(text, width);
    if (!korvi70::SendableText(field)) return korvi70::kRefused;
    FixedText<32> data;
    data.AppendText(field, width);
    return RunTransaction(destination, command, data.View());
}

}  // namespace

int Korvi70_PodNrId(unsigned char *id) {
    if (id == nullptr) return korvi70::kRefused;
    static constexpr int kWidths[] = {2};
    return RunTransaction(0, kPodNrId, {}, kWidths, [&](int, std::string_view chars) {
        unsigned value = 0;
        if (!korvi70::ParseHexField(chars, 2, &value)) return false;
        *id = static_cast<unsigned char>(value);
        return true;
    });
}

int Korvi70_ZapNrId(int current, int newId) {
    if (current < 0 || current > 255 || newId < 0 || newId > 255 || newId == current) return korvi70::kRefused;
    FixedText<4> data;
    data.AppendHex(static_cast<unsigned>(newId), 2);
    return RunTransaction(static_cast<unsigned char>(current), kZapNrId, data.View());
}

int Korvi70_PrzedstawSie(unsigned char destination, int *typeCode) {
    if (typeCode == nullptr) return korvi70::kRefused;
    static constexpr int kWidths[] = {4};
    return RunTransaction(destination, kPrzedstawSie, {}, kWidths, [&](int, std::string_view chars) {
        unsigned value = 0;
        if (!korvi70::ParseHexField(chars, 4, &value)) return false;
        *typeCode = static_cast<int>(value);
        return true;
    });
}

int Korvi70_PodWartPodstawowa(unsigned char destination, double *value) {
    if (value == nullptr) return korvi70::kRefused;
    static constexpr int kWidths[] = {8};
    return RunTransaction(destination, kPodWartPodstawowa, {}, kWidths,
                          [&](int, std::string_view chars) { return korvi70::ParseFloat(chars, value); });
}

int Korvi70_ZapWartPodstawowa(unsigned char destination, double value) {
    std::uint32_t bits = 0;
    if (!korvi70::FloatBits(value, &bits)) return korvi70::kRefused;
    FixedText<12> data;
    data.AppendHex(bits, 8);
    return RunTransaction(destination, kZapWartPodstawowa, data.View());
}

int Korvi70_PodNumerSeryjny(unsigned char destination, char *text) {
    return ReadText(destination, kPodNumerSeryjny, Korvi70_DlugoscNumeruSeryjnego, text);
}

int Korvi70_ZapNumerSeryjny(unsigned char destination, const char *text) {
    return WriteText(destination, kZapNumerSeryjny, Korvi70_DlugoscNumeruSeryjnego, text);
}

int Korvi70_PodCzasDate(unsigned char destination, char *text) {
    return ReadText(destination, kPodCzasDate, Korvi70_DlugoscCzasuDaty, text);
}

int Korvi70_ZapCzasDate(unsigned char destination, const char *text) {
    return WriteText(destination, kZapCzasDate, Korvi70_DlugoscCzasuDaty, text);
}

int Korvi70_NOP(int address) {
    if (Korvi70_NrZlacza < 1 || Korvi70_NrZlacza > 4 || address < 2 || address > 255) return korvi70::kRefused;
    return korvi70::RunLegacy(static_cast<unsigned char>(address), 'H', {}, korvi70::LegacyOrder::TerminatorThenFlush);
}

// Commands 11 to 19 over the shared command transaction.
#include "korvi70/loader_commands.h"

#include "korvi70/frame.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "korvi70/transaction.h"
#include "korvi70/wire_values.h"
#include "platform/utf8.h"

namespace {

using korvi70::FixedText;
using korvi70::RunTransaction;

enum : int {
    kPodWerOprogWewn = 11,
    kUruchomUpgradeLoader = 12,
    kPodIleUrzadPodrzed = 13,
    kPodIlnfoOUrzadPodrzed = 14,
    kPodKodRestartu = 15,
    kUruchomUpgradeLoaderL2 = 16,
    kZamknijUpgradeLoaderL2 = 17,
    kZapiszDoBufora = 18,
    kZapiszBufor = 19,
};

// A command whose reply is one hex number of `digits` digits.
int ReadNumber(unsigned char destination, int command, int digits, unsigned *value) {
    const int widths[] = {digits};
    return RunTransaction(destination, command, {}, widths, [&](int, std::string_view chars) {
        return korvi70::ParseHexField(chars, static_cast<std::size_t>(digits), value);
    });
}

// Reads single bytes until `wanted` arrives: 0, or 3 on a time-out or when
// the line keeps sending other bytes.
int WaitForLetter(char wanted) {
    for (int i = 0; i < Korvi70_MaksDlugoscWstepu; ++i) {
        const int byte = Korvi70_ComRdByte();
        if (Korvi70_BladLacza != 0) return korvi70::kNoValidReply;
        if (byte == static_cast<unsigned char>(wanted)) return korvi70::kDone;
    }
    return korvi70::kNoValidReply;
}

}  // namespace

int Korvi70_PodWerOprogWewn(unsigned char destination, int *version) {
    if (version == nullptr) return korvi70::kRefused;
    unsigned value = 0;
    const int rc = ReadNumber(destination, kPodWerOprogWewn, 4, &value);
    if (rc == korvi70::kDone) *version = static_cast<int>(value);
    return rc;
}

int Korvi70_UruchomUpgradeLoader(unsigned char destination) {
    korvi70::HexRequest request;
    const int sent = korvi70::SendRequest(request, destination, kUruchomUpgradeLoader, {});
    if (sent != 0) return sent;
    // The loader answers in its own character protocol, not with a frame.
    if (WaitForLetter('O') != 0) return korvi70::kNoValidReply;
    return WaitForLetter('K');
}

int Korvi70_PodIleUrzadPodrzed(unsigned char destination, int *count) {
    if (count == nullptr) return korvi70::kRefused;
    unsigned value = 0;
    const int rc = ReadNumber(destination, kPodIleUrzadPodrzed, 2, &value);
    if (rc == korvi70::kDone) *count = static_cast<int>(value);
    return rc;
}

int Korvi70_PodIlnfoOUrzadPodrzed(unsigned char destination, int device, unsigned char *code1, unsigned char *code2,
                                  int *value1, int *value2, char *text) {
    if (device < 0 || device > 255 || code1 == nullptr || code2 == nullptr || value1 == nullptr || value2 == nullptr ||
        text == nullptr)
        return korvi70::kRefused;
    FixedText<4> data;
    data.AppendHex(static_cast<unsigned>(device), 2);
    static constexpr int kWidths[] = {2, 2, 4, 4, Korvi70_RozmiarTekstuUrzadPodrzed - 1};
    return RunTransaction(destination, kPodIlnfoOUrzadPodrzed, data.View(), kWidths,
                          [&](int index, std::string_view chars) {
                              unsigned value = 0;
                              if (index == 4) {
                                  platform::CopyText(chars, text, Korvi70_RozmiarTekstuUrzadPodrzed);
                                  return true;
                              }
                              if (!korvi70::ParseHexField(chars, chars.size(), &value)) return false;
                              switch (index) {
                              case 0: *code1 = static_cast<unsigned char>(value); break;
                              case 1: *code2 = static_cast<unsigned char>(value); break;
                              case 2: *value1 = static_cast<int>(value); break;
                              default: *value2 = static_cast<int>(value); break;
                              }
                              return true;
                          });
}

int Korvi70_PodKodRestartu(unsigned char destination, unsigned char *code) {
    if (code == nullptr) return korvi70::kRefused;
    unsigned value = 0;
    const int rc = ReadNumber(destination, kPodKodRestartu, 2, &value);
    if (rc == korvi70::kDone) *code = static_cast<unsigned char>(value);
    return rc;
}

int Korvi70_UruchomUpgradeLoaderL2(unsigned char destination) {
    return RunTransaction(destination, kUruchomUpgradeLoaderL2, {});
}

int Korvi70_ZamknijUpgradeLoaderL2(unsigned char destination) {
    return RunTransaction(destination, kZamknijUpgradeLoaderL2, {});
}

int Korvi70_ZapiszDoBuforaPamieciFLASHUL2(unsigned char destination, int offset, int n, const unsigned char *data) {
    if (offset < 0 || offset > 0xFFFF || n < 0 || n > Korvi70_MaksDanychBuforaFLASH || (n > 0 && data == nullptr))
        return korvi70::kRefused;
    FixedText<4 + 2 + 2 * Korvi70_MaksDanychBuforaFLASH + 1> field;
    field.AppendHex(static_cast<unsigned>(offset), 4);
    field.AppendHex(static_cast<unsigned>(n), 2);
    for (int i = 0; i < n; ++i) field.AppendHex(data[i], 2);
    return RunTransaction(destination, kZapiszDoBufora, field.View());
}

int Korvi70_ZapiszBuforDoPamieciFLASHUL2(unsigned char destination, int page) {
    if (page < 0 || page > 0xFFFF) return korvi70::kRefused;
    FixedText<6> data;
    data.AppendHex(static_cast<unsigned>(page), 4);
    return RunTransaction(destination, kZapiszBufor, data.View());
}

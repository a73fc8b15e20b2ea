#include "upgrade/level1_loader.h"

#include "korvi70/held_frame.h"
#include "korvi70/link.h"
#include "korvi70/password.h"
#include "korvi70/result_codes.h"

namespace {

constexpr char kDigits[] = "0123456789ABCDEF";
constexpr double kPageAnswerSeconds = 3.0;

// Sends one character and folds it into the running check; false when the
// link failed.
bool SendChar(char c, unsigned char &check) {
    check ^= static_cast<unsigned char>(c);
    Korvi70_ComWrtByte(static_cast<unsigned char>(c));
    return Korvi70_BladLacza == 0;
}

}  // namespace

int UpLoad_WyslijSumeKontrolnaCRC(unsigned char checksum) {
    const char text[2] = {kDigits[checksum >> 4], kDigits[checksum & 0x0F]};
    return Korvi70_ComWrt(text, 2);
}

int UpLoad_ZapStronePamieci(int page, const unsigned char *data, int count) {
    if (page < 0 || page > 0xFFFF || count < 0 || count > 0xFFFF || (count > 0 && data == nullptr))
        return korvi70::kRefused;

    const korvi70::HeldFrame message;  // a page leaves in one write, not in 263
    unsigned char check = 0;
    if (!SendChar(':', check) || !SendChar('B', check)) return korvi70::kNotDone;
    for (int shift = 12; shift >= 0; shift -= 4)
        if (!SendChar(kDigits[(page >> shift) & 0x0F], check)) return korvi70::kNotDone;
    for (int i = 0; i < count; ++i) {
        const char pair[2] = {kDigits[data[i] >> 4], kDigits[data[i] & 0x0F]};
        check ^= static_cast<unsigned char>(pair[0]) ^ static_cast<unsigned char>(pair[1]);
        Korvi70_ComWrt(pair, 2);
        if (Korvi70_BladLacza != 0) return korvi70::kNotDone;
    }
    UpLoad_WyslijSumeKontrolnaCRC(check);
    if (Korvi70_BladLacza != 0) return korvi70::kNotDone;

    // Writing a page takes the loader longer than a frame takes a reply.
    char answer[2] = {};
    Korvi70_ZmienCzasOczekiwania(kPageAnswerSeconds);
    const int n = Korvi70_ComRd(answer, 1);
    Korvi70_PrzywrocCzasOczekiwania();
    return n == 1 && answer[0] == '0' ? 0 : -1;
}

int UpLoad_ZakonczPraceUpgradeLoader() {
    const korvi70::HeldFrame message;
    unsigned char check = 0;
    if (!SendChar(':', check) || !SendChar('C', check)) return korvi70::kNotDone;
    UpLoad_WyslijSumeKontrolnaCRC(check);
    if (Korvi70_BladLacza != 0) return korvi70::kNotDone;

    char answer[3] = {};
    const int n = Korvi70_ComRd(answer, 2);
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return n == 2 && upper(answer[0]) == 'O' && upper(answer[1]) == 'K' ? 0 : -1;
}

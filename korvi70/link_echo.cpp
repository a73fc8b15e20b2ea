#include <cstring>

#include "korvi70/link.h"
#include "korvi70/result_codes.h"

int Korvi70_SprawCzyJestEcho() {
    static constexpr unsigned char kProbe[5] = {0xFF, 0x55, 0x33, 0x0F, 0xFF};
    Korvi70_FlushOutQ();
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    Korvi70_FlushInQ();
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    Korvi70_ComWrt(kProbe, sizeof kProbe);
    if (Korvi70_BladLacza != 0) return korvi70::kLinkFailed;
    unsigned char answer[sizeof kProbe + 1];
    Korvi70_ComRd(answer, sizeof kProbe);
    if (Korvi70_BladLacza == Korvi70_BladCzasu)
        Korvi70_JestEcho = 0;
    else if (std::memcmp(answer, kProbe, sizeof kProbe) == 0)
        Korvi70_JestEcho = 1;
    return korvi70::kDone;
}

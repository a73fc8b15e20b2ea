#include "korvi70/link.h"

#include <cstring>

#include "korvi70/transport.h"

unsigned char Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
int Korvi70_NrZlacza = 2;
unsigned char Korvi70_NrIdProg = 0x71;
double Korvi70_CzasOczekiwaniaRS = 0.5;
unsigned char Korvi70_JestEcho = 0;
int Korvi70_BladLacza = 0;

namespace korvi70 {

const Transport &TransportFor(int linkType) {
    switch (linkType) {
    case Korvi70_PolaczenieBezposrednieRS: return kSerialTransport;
    case Korvi70_PolaczeniePrzezKorviTCP: return kTcpTransport;
    default: return kModemTransport;
    }
}

}  // namespace korvi70

namespace {
const korvi70::Transport &Current() { return korvi70::TransportFor(Korvi70_TypLacza); }
}  // namespace

int Korvi70_FlushOutQ() { return Current().flushOutQ(); }
int Korvi70_FlushInQ() { return Current().flushInQ(); }
int Korvi70_ComWrt(const void *buffer, int count) { return Current().comWrt(buffer, count); }

int Korvi70_ComRd(void *buffer, int count) {
    // Every link type clears the destination first, so a short read leaves
    // a terminated text behind.
    if (buffer != nullptr && count >= 0) std::memset(buffer, 0, static_cast<std::size_t>(count) + 1);
    return Current().comRd(buffer, count);
}

int Korvi70_ComWrtByte(int byte) { return Current().comWrtByte(byte); }
int Korvi70_ComRdByte() { return Current().comRdByte(); }
int Korvi70_ComRdTerm(void *buffer, int count, int terminator) {
    return Current().comRdTerm(buffer, count, terminator);
}
int Korvi70_GetInQLen() { return Current().getInQLen(); }
int Korvi70_GetOutQLen() { return Current().getOutQLen(); }

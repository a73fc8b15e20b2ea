#include "korvi70/link.h"

#include <cstring>

#include "korvi70/traffic.h"
#include "korvi70/transport.h"

unsigned char Korvi70_TypLacza = Korvi70_PolaczenieBezposrednieRS;
int Korvi70_NrZlacza = 2;
unsigned char Korvi70_NrIdProg = 0x71;
double Korvi70_CzasOczekiwaniaRS = 0.5;
unsigned char Korvi70_JestEcho = 0;
int Korvi70_BladLacza = 0;

namespace {
int g_expectedTransaction = -1;  // of the frame being sent; -1 = it carries none
}  // namespace

namespace korvi70 {

const Transport &TransportFor(int linkType) {
    switch (linkType) {
    case Korvi70_PolaczenieBezposrednieRS: return kSerialTransport;
    case Korvi70_PolaczeniePrzezKorviTCP: return kTcpTransport;
    default: return kModemTransport;
    }
}

void ExpectReplyTransaction(int transaction) { g_expectedTransaction = transaction & 0xFF; }
int ExpectedReplyTransaction() { return g_expectedTransaction; }

}  // namespace korvi70

namespace {
const korvi70::Transport &Current() { return korvi70::TransportFor(Korvi70_TypLacza); }

// Bytes that really moved on a serial line, for a traffic observer. The
// modem type moves none; the TCP client reports the envelopes it sends and
// receives itself, since the primitives' bytes are not what the socket carries.
void Observe(korvi70::TrafficDirection direction, const void *bytes, int count) {
    if (korvi70::g_trafficObserver != nullptr && Korvi70_TypLacza == Korvi70_PolaczenieBezposrednieRS)
        korvi70::ReportTraffic(direction, bytes, count);
}

}  // namespace

int Korvi70_FlushOutQ() { return Current().flushOutQ(); }
int Korvi70_FlushInQ() { return Current().flushInQ(); }
int Korvi70_ComWrt(const void *buffer, int count) {
    const int n = Current().comWrt(buffer, count);
    Observe(korvi70::TrafficDirection::Sent, buffer, n < count ? n : count);
    return n;
}

int Korvi70_ComRd(void *buffer, int count) {
    // Every link type clears the destination first, so a short read leaves
    // a terminated text behind.
    if (buffer != nullptr && count >= 0) std::memset(buffer, 0, static_cast<std::size_t>(count) + 1);
    const int n = Current().comRd(buffer, count);
    Observe(korvi70::TrafficDirection::Received, buffer, n < count ? n : count);
    return n;
}

int Korvi70_ComWrtByte(int byte) {
    // The preamble's 0x00 starts a frame: whatever the last one expected is over.
    if ((byte & 0xFF) == 0x00) g_expectedTransaction = -1;
    const int n = Current().comWrtByte(byte);
    const unsigned char sent = static_cast<unsigned char>(byte);
    if (n > 0) Observe(korvi70::TrafficDirection::Sent, &sent, 1);
    return n;
}
int Korvi70_ComRdByte() {
    const int byte = Current().comRdByte();
    const unsigned char received = static_cast<unsigned char>(byte);
    if (Korvi70_BladLacza == 0 && byte >= 0 && byte <= 0xFF) Observe(korvi70::TrafficDirection::Received, &received, 1);
    return byte;
}
int Korvi70_ComRdTerm(void *buffer, int count, int terminator) {
    const int n = Current().comRdTerm(buffer, count, terminator);
    Observe(korvi70::TrafficDirection::Received, buffer, n < count ? n : count);
    return n;
}
int Korvi70_GetInQLen() { return Current().getInQLen(); }
int Korvi70_GetOutQLen() { return Current().getOutQLen(); }

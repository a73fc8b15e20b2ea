// TCP link: the primitives fill the transmit envelope and read the reply
// that Korvi70_TCP_Client_WyslijDane left in the receive buffer. The caller
// writes 0x00 as the last preamble byte and 0x01 as the frame terminator, so
// the preamble never reaches the server and the terminator starts the
// exchange; this layer knows nothing else of frames.
#include <algorithm>
#include <cstring>

#include "korvi70/link.h"
#include "korvi70/tcp_client.h"
#include "korvi70/transport.h"
#include "platform/tcp.h"

namespace korvi70 {
namespace {

constexpr int kTransmitLimit = Korvi70_TCP_RozmiarBufora - 1;
constexpr int kReceiveSize = static_cast<int>(sizeof Korvi70_TCP_BuforOdb);

// Received bytes that a read may still take, within the buffer whatever
// the state fields say.
int ReceiveEnd() { return std::clamp(Korvi70_TCP_DlugoscOdb, 0, kReceiveSize); }
int ReadPosition() { return std::clamp(Korvi70_TCP_PozycjaOdb, 0, kReceiveSize); }

int FlushOutQ() {
    Korvi70_TCP_IleNad = Korvi70_TCP_DlugoscNaglowka;
    Korvi70_BladLacza = 0;
    return 0;
}

int FlushInQ() {
    // Bytes that arrived and were not read (a reply later than its window)
    // must not be taken as the answer to the next request.
    if (Korvi70_TCP_Polaczony) platform::DiscardTCPInput(Korvi70_TCP_Uchwyt);
    Korvi70_BladLacza = 0;
    return 0;
}

int ComWrt(const void *buffer, int count) {
    Korvi70_BladLacza = 0;
    const int used = std::clamp(Korvi70_TCP_IleNad, Korvi70_TCP_DlugoscNaglowka, kTransmitLimit);
    const int n = std::clamp(count, 0, kTransmitLimit - used);
    if (n > 0 && buffer != nullptr) std::memcpy(Korvi70_TCP_BuforNad + used, buffer, static_cast<std::size_t>(n));
    Korvi70_TCP_IleNad = used + (buffer != nullptr ? n : 0);
    return buffer != nullptr ? n : 0;
}

int ComRd(void *buffer, int count) {
    if (Korvi70_BladLacza != 0 || buffer == nullptr || count <= 0) return 0;
    const int position = ReadPosition();
    // The synthesised terminator is left for a byte read.
    const int available = std::max(0, ReceiveEnd() - 1 - position);
    const int n = std::min(count, available);
    std::memcpy(buffer, Korvi70_TCP_BuforOdb + position, static_cast<std::size_t>(n));
    Korvi70_TCP_PozycjaOdb = position + n;
    if (n < count) Korvi70_BladLacza = Korvi70_BladCzasu;  // past the end of the reply
    return n;
}

int FirstTerminatorIndex() {
    const int end = ReceiveEnd();
    for (int i = 1; i < end; ++i)
        if (Korvi70_TCP_BuforOdb[i] == 0x01) return i;
    return -1;
}

int ComWrtByte(int byte) {
    Korvi70_BladLacza = 0;
    switch (byte & 0xFF) {
    case 0x00: Korvi70_TCP_IleNad = Korvi70_TCP_DlugoscNaglowka; return 1;
    case 0x01:
        if (Korvi70_TCP_Client_WyslijDane() != 0) return -1;
        return 1 + FirstTerminatorIndex();
    default: {
        const int used = std::clamp(Korvi70_TCP_IleNad, Korvi70_TCP_DlugoscNaglowka, kTransmitLimit);
        if (used >= kTransmitLimit) return 0;
        Korvi70_TCP_BuforNad[used] = static_cast<unsigned char>(byte);
        Korvi70_TCP_IleNad = used + 1;
        return 1;
    }
    }
}

int ComRdByte() {
    if (Korvi70_BladLacza != 0) return 0;
    const int position = ReadPosition();
    if (position >= std::min(ReceiveEnd(), Korvi70_TCP_RozmiarBufora)) {
        Korvi70_BladLacza = Korvi70_BladCzasu;
        return Korvi70_BladCzasu;
    }
    Korvi70_TCP_PozycjaOdb = position + 1;
    return Korvi70_TCP_BuforOdb[position];
}

// Copies the bytes before the terminator and moves past it. Without a
// terminator in reach the bytes in reach are copied and the read counts as
// timed out.
int ComRdTerm(void *buffer, int count, int terminator) {
    if (Korvi70_BladLacza != 0 || buffer == nullptr || count <= 0) return 0;
    const int position = ReadPosition();
    const int reach = std::min(count, std::max(0, std::min(ReceiveEnd(), Korvi70_TCP_RozmiarBufora) - position));
    auto *out = static_cast<unsigned char *>(buffer);
    for (int i = 0; i < reach; ++i) {
        const unsigned char c = Korvi70_TCP_BuforOdb[position + i];
        if (c == static_cast<unsigned char>(terminator)) {
            Korvi70_TCP_PozycjaOdb = position + i + 1;
            return 0;
        }
        out[i] = c;
    }
    Korvi70_TCP_PozycjaOdb = position + reach;
    if (reach < count) Korvi70_BladLacza = Korvi70_BladCzasu;
    return 0;
}

int QueueLength() {
    Korvi70_BladLacza = 0;
    return 0;
}

}  // namespace

const Transport kTcpTransport = {FlushOutQ, FlushInQ,  ComWrt,      ComRd,      ComWrtByte,
                                 ComRdByte, ComRdTerm, QueueLength, QueueLength};

}  // namespace korvi70

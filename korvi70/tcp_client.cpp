#include "korvi70/tcp_client.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "envelope/envelope.h"
#include "korvi70/frame_hex.h"
#include "korvi70/link.h"
#include "korvi70/traffic.h"
#include "platform/system.h"
#include "platform/tcp.h"

int Korvi70_NrPortuTCP = 66;
char Korvi70_NazwaServeraKorviTCP[99] = "127.0.0.1";
double Korvi70_TCPIP_TimeOut = 500.0;
unsigned Korvi70_TCP_Uchwyt = 0;
unsigned char Korvi70_TCP_Polaczony = 0;
unsigned char Korvi70_TCP_BuforNad[Korvi70_TCP_RozmiarBufora];
int Korvi70_TCP_IleNad = Korvi70_TCP_DlugoscNaglowka;
unsigned char Korvi70_TCP_BuforOdb[1 + Korvi70_TCP_RozmiarBufora + 1];
int Korvi70_TCP_DlugoscOdb = 0;
int Korvi70_TCP_PozycjaOdb = 0;
int Korvi70_TCP_JestOdpowiedz = 0;
char Korvi70_TCP_ZnakOdpowiedzi = 0;

namespace korvi70 {

unsigned TcpTimeoutMs() {
    const double ms = Korvi70_TCPIP_TimeOut;
    // 0 would mean the platform's 5-second default: the shortest wait is 1 ms.
    if (!(ms >= 1)) return 1;
    if (ms > 86400000.0) return 86400000u;
    return static_cast<unsigned>(std::lround(ms));
}

bool TcpReplyMayAnswer(int expected, const unsigned char *reply, int replyLength) {
    if (expected < 0 || reply == nullptr || replyLength < 6) return true;
    unsigned transaction = 0;
    // A reply whose number cannot be read is left to the transaction's checks.
    if (!ParseHex(std::string_view(reinterpret_cast<const char *>(reply) + 4, 2), &transaction)) return true;
    return transaction == static_cast<unsigned>(expected);
}

namespace {

// The payload of the envelope now in the receive buffer may not answer the
// request just sent: a reply whose window closed earlier.
bool ReplyBelongsToRequest() {
    if (Korvi70_TCP_ZnakOdpowiedzi != envelope::kFrameMark) return true;
    return TcpReplyMayAnswer(ExpectedReplyTransaction(), Korvi70_TCP_BuforOdb + 1, Korvi70_TCP_DlugoscOdb);
}

// Waits until a reply that may answer the request has arrived or the window
// has closed. A foreign reply does not end the wait: the answer may still
// follow it. When nothing else came, the last foreign reply is handed on as
// the reply, so that the transaction rejects it (no valid reply) as it would
// on a serial line, instead of the window counting as silence.
void WaitForReply(double windowStart) {
    bool foreign = false;
    for (;;) {
        if (Korvi70_TCP_JestOdpowiedz) {
            if (ReplyBelongsToRequest()) return;
            foreign = true;
            Korvi70_TCP_JestOdpowiedz = 0;
        }
        const double left = kTcpReplyWindow - (platform::Timer() - windowStart);
        if (left <= 0) {
            if (foreign) Korvi70_TCP_JestOdpowiedz = 1;
            return;
        }
        // Bytes the platform holds already raise no new event: read them here.
        if (platform::TCPBytesAvailable(Korvi70_TCP_Uchwyt) > 0) {
            Korvi70_TCP_Client_Message(Korvi70_TCP_Uchwyt, platform::TCP_DATAREADY, 0, nullptr);
            continue;
        }
        platform::ProcessTCPEvents(left);
    }
}

}  // namespace
}  // namespace korvi70

int Korvi70_TCP_Client_WyslijDane() {
    if (!Korvi70_TCP_Polaczony) {
        Korvi70_BladLacza = Korvi70_BladCzasu;
        return -1;
    }
    const int count = std::clamp(Korvi70_TCP_IleNad, Korvi70_TCP_DlugoscNaglowka, Korvi70_TCP_RozmiarBufora);
    Korvi70_TCP_IleNad = count;
    envelope::PutHeader(envelope::kFrameMark, static_cast<std::size_t>(count - Korvi70_TCP_DlugoscNaglowka),
                        Korvi70_TCP_BuforNad);

    // Whatever arrived before this request cannot be its answer.
    platform::DiscardTCPInput(Korvi70_TCP_Uchwyt);
    Korvi70_TCP_JestOdpowiedz = 0;
    Korvi70_TCP_DlugoscOdb = 0;
    const double start = platform::Timer();
    const int sent = platform::ClientTCPWrite(Korvi70_TCP_Uchwyt, Korvi70_TCP_BuforNad, static_cast<std::size_t>(count),
                                              korvi70::TcpTimeoutMs());
    korvi70::ReportTraffic(korvi70::TrafficDirection::Sent, Korvi70_TCP_BuforNad, sent);
    korvi70::WaitForReply(start);

    const int length = std::clamp(Korvi70_TCP_DlugoscOdb, 0, Korvi70_TCP_RozmiarBufora);
    if (!Korvi70_TCP_JestOdpowiedz) {
        Korvi70_TCP_DlugoscOdb = 0;
        Korvi70_BladLacza = Korvi70_BladCzasu;
    } else if (Korvi70_TCP_ZnakOdpowiedzi == envelope::kFrameMark) {
        Korvi70_TCP_BuforOdb[0] = 0x00;
        Korvi70_TCP_BuforOdb[length + 1] = 0x01;
        Korvi70_TCP_DlugoscOdb = length + 2;
        Korvi70_BladLacza = 0;
    } else {
        unsigned code = 0;
        const std::string_view digits(reinterpret_cast<const char *>(Korvi70_TCP_BuforOdb + 1),
                                      static_cast<std::size_t>(std::min(length, 4)));
        // The server reported an error; one it does not spell out still fails the command.
        Korvi70_BladLacza = (digits.size() == 4 && korvi70::ParseHex(digits, &code)) ? static_cast<int>(code) : -1;
        Korvi70_TCP_DlugoscOdb = 0;
    }
    Korvi70_TCP_PozycjaOdb = 0;
    return 0;
}

int Korvi70_TCP_Client_Message(unsigned handle, int event, int, void *) {
    if (event != platform::TCP_DATAREADY) return 1;
    const unsigned timeout = korvi70::TcpTimeoutMs();
    unsigned char header[Korvi70_TCP_DlugoscNaglowka] = {};
    const int got = platform::ClientTCPRead(handle, header, sizeof header, timeout);
    korvi70::ReportTraffic(korvi70::TrafficDirection::Received, header, got);
    char mark = 0;
    std::size_t length = 0;
    if (got != Korvi70_TCP_DlugoscNaglowka || !envelope::ParseHeader(header, &mark, &length)) {
        // Not the start of an envelope: the stream is out of step, drop it.
        platform::DiscardTCPInput(handle);
        return 1;
    }
    Korvi70_TCP_JestOdpowiedz = 1;
    Korvi70_TCP_Uchwyt = handle;
    Korvi70_TCP_ZnakOdpowiedzi = mark;
    const std::size_t wanted = std::min<std::size_t>(length, Korvi70_TCP_RozmiarBufora);
    const int payload = wanted == 0 ? 0 : platform::ClientTCPRead(handle, Korvi70_TCP_BuforOdb + 1, wanted, timeout);
    Korvi70_TCP_DlugoscOdb = std::clamp(payload, 0, static_cast<int>(wanted));
    korvi70::ReportTraffic(korvi70::TrafficDirection::Received, Korvi70_TCP_BuforOdb + 1, Korvi70_TCP_DlugoscOdb);
    Korvi70_TCP_PozycjaOdb = 0;
    // The part of an over-long payload beyond the buffer is not kept.
    if (length > wanted) platform::DiscardTCPInput(handle);
    return 1;
}

#include "korvi70/modem/exchange.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "korvi70/modem/reply_rules.h"
#include "korvi70/result_codes.h"
#include "platform/com.h"
#include "platform/system.h"

double Korvi70_CzasOdpowiedziModemu = 0;
unsigned char Korvi70_EchoModemu = 0;
char Korvi70_ZnakKoncaTransmisji = 0;

namespace korvi70::modem {
namespace {

bool g_earlyEnd = true;
constexpr double kUnsetReplyTime = 0.2;
int g_beeps = 0;

bool ReadFailed() { return Korvi70_BladLacza != 0 && Korvi70_BladLacza != Korvi70_BladCzasu; }

// The whole time-out, unless 100 characters arrive.
int ReadWhole(Reply &reply) {
    const int n = Korvi70_ComRd(reply.text, static_cast<int>(kReplySize));
    if (n <= 0 || ReadFailed()) return kNoValidReply;
    reply.length = std::min(n, static_cast<int>(kReplySize));
    return kDone;
}

// Waits for each first character within what is left of the time-out,
// takes whatever else has arrived with it, and stops at a final result line.
int ReadToFinalLine(int port, Reply &reply) {
    const double timeout = platform::GetComTime(port);
    const double end = platform::Timer() + std::max(timeout, 0.0);
    int got = 0;
    int rc = kDone;
    while (got < static_cast<int>(kReplySize)) {
        platform::SetComTime(port, std::max(end - platform::Timer(), 0.0));
        int n = Korvi70_ComRd(reply.text + got, 1);
        if (n <= 0 || ReadFailed()) {
            if (ReadFailed()) rc = kNoValidReply;
            break;
        }
        got += 1;
        const int waiting = Korvi70_GetInQLen();
        if (waiting > 0) {
            n = Korvi70_ComRd(reply.text + got, std::min(waiting, static_cast<int>(kReplySize) - got));
            if (n > 0) got += std::min(n, static_cast<int>(kReplySize) - got);
            if (ReadFailed()) {
                rc = kNoValidReply;
                break;
            }
        }
        if (HasFinalLine(std::string_view(reply.text, static_cast<std::size_t>(got)))) break;
    }
    if (timeout >= 0) platform::SetComTime(port, timeout);
    reply.text[got] = '\0';
    reply.length = got;
    return got == 0 ? kNoValidReply : rc;
}

}  // namespace

void SetEarlyEnd(bool on) { g_earlyEnd = on; }
bool EarlyEnd() { return g_earlyEnd; }
int BeepCount() { return g_beeps; }

void Beep() {
    ++g_beeps;
    if (isatty(STDERR_FILENO)) {
        [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, "\a", 1);
    }
}

void WaitSent(int port) { platform::WaitSent(port); }

bool Dialable(std::string_view number) {
    if (number.size() > kTextSize) return false;
    for (char c : number)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E) return false;
    return true;
}

int Prepare(int port, double factor) {
    // Before any dialog or dialling has set the reply time-out (it starts
    // at 0), a call on its own gets the time-out those set, not none at all.
    const double base = Korvi70_CzasOdpowiedziModemu > 0 ? Korvi70_CzasOdpowiedziModemu : kUnsetReplyTime;
    if (factor >= 0 && platform::SetComTime(port, base * factor) != 0) return kLinkFailed;
    if (platform::FlushOutQ(port) != 0) return kLinkFailed;
    if (platform::FlushInQ(port) != 0) return kLinkFailed;
    return kDone;
}

int Send(std::string_view line) {
    const int n = Korvi70_ComWrt(line.data(), static_cast<int>(line.size()));
    return n < static_cast<int>(line.size()) || Korvi70_BladLacza != 0 ? kLinkFailed : kDone;
}

int ReadReply(int port, Reply &reply) {
    std::memset(reply.text, ' ', kReplySize);
    reply.text[kReplySize] = '\0';
    reply.length = 0;
    return g_earlyEnd ? ReadToFinalLine(port, reply) : ReadWhole(reply);
}

int Exchange(int port, std::string_view line, double factor, bool waitSent, Reply &reply) {
    if (const int rc = Prepare(port, factor); rc != kDone) return rc;
    if (const int rc = Send(line); rc != kDone) return rc;
    // Bounded by the time-out and the wire time of what is queued.
    if (waitSent) WaitSent(port);
    return ReadReply(port, reply);
}

}  // namespace korvi70::modem

// The serial port on real adapters (FTDI, CP210x, a CDC-ACM device, a
// built-in port), with the program's own port code and settings (38400
// baud 8N1, time-out 0.1 s). Wiring, either of:
//   bench_loopback COMa        one port with a loopback plug: TX joined to
//                              RX (DB9 pins 2-3);
//   bench_loopback COMa COMb   two ports joined by a null-modem cable: TX
//                              to RX and DTR to DSR and DCD both ways.
// Checks, each printed "ok" or "FAIL" with its figures:
//   1. a 600-byte write with the 0.1 s time-out is sent whole (its wire
//      time is 156 ms) and arrives intact;
//   2. (two ports) 600 bytes written and the port closed at once all arrive;
//   3. the time a 14-byte frame ending in 0x01 takes out and back in, sent
//      in seven writes and in one, with and without the adapter's event
//      character (FTDI-style adapters pass a reply on at its 0x01 instead
//      of after their latency timer, 16 ms by default);
//   4. (two ports) how often COMa's DTR changes while the ports are listed
//      as `vgx52ctl ports` lists them: each probe of a free port opens it,
//      which raises DTR and drops it again.
// Exit status 0 when every check passed.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/com.h"
#include "platform/port_names.h"
#include "platform/serial_ports.h"
#include "platform/system.h"

namespace {

constexpr double kTimeout = 0.1;  // the program's
constexpr int kExchanges = 100;

bool g_allOk = true;

void Report(bool ok, const std::string &what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    g_allOk = g_allOk && ok;
}

bool Open(int port) {
    if (platform::OpenComConfig(port, "", 38400, platform::kParityNone, 8, 1, 1024, 1024) != 0) {
        std::printf("FAIL COM%d cannot be opened: error %d\n", port, platform::ReturnRS232Err());
        return false;
    }
    platform::SetComTime(port, kTimeout);
    platform::FlushInQ(port);
    return true;
}

std::string Pattern(int size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (int i = 0; i < size; ++i) bytes[static_cast<std::size_t>(i)] = static_cast<char>('0' + i % 64);
    return bytes;
}

// Up to `count` bytes arriving within `seconds`.
std::string Receive(int port, int count, double seconds) {
    platform::SetComTime(port, seconds);
    std::string got(static_cast<std::size_t>(count), '\0');
    const int n = platform::ComRd(port, got.data(), count);
    platform::SetComTime(port, kTimeout);
    got.resize(static_cast<std::size_t>(std::max(n, 0)));
    return got;
}

void LongWrite(int out, int in) {
    const std::string bytes = Pattern(600);
    const double start = platform::Timer();
    const int sent = platform::ComWrt(out, bytes.data(), 600);
    const int error = platform::ReturnRS232Err();
    const double took = platform::Timer() - start;
    const std::string got = Receive(in, 600, 2.0);
    Report(sent == 600 && error == 0 && got == bytes,
           "600-byte write at 0.1 s: " + std::to_string(sent) + " sent (error " + std::to_string(error) + ") in " +
               std::to_string(static_cast<int>(took * 1000)) + " ms, " + std::to_string(got.size()) + " received" +
               (got.size() == 600 && got != bytes ? ", changed on the way" : ""));
}

void WriteThenClose(int out, int in) {
    const std::string bytes = Pattern(600);
    platform::ComWrt(out, bytes.data(), 600);
    platform::CloseCom(out);
    const std::string got = Receive(in, 600, 2.0);
    Report(got == bytes, "600 bytes written and the port closed at once: " + std::to_string(got.size()) + " received" +
                             (got.size() == 600 && got != bytes ? ", changed on the way" : ""));
}

// Milliseconds per frame out and back in; -1 when a frame did not come back.
double ExchangeMs(int out, int in, bool oneWrite) {
    // An identify request as the program sends it.
    static const std::string kFrame = std::string("\xFF\xFF\x00", 3) + "00712903" + "0E" + "\x01";
    static const int kParts[] = {1, 1, 1, 8, 0, 2, 1};  // as the fields were once written, data empty
    double total = 0;
    for (int i = 0; i < kExchanges; ++i) {
        platform::FlushInQ(in);
        const double start = platform::Timer();
        if (oneWrite) {
            platform::ComWrt(out, kFrame.data(), static_cast<int>(kFrame.size()));
        } else {
            int at = 0;
            for (int part : kParts) {
                if (part > 0) platform::ComWrt(out, kFrame.data() + at, part);
                at += part;
            }
        }
        char back[32] = {};
        const int n = platform::ComRdTerm(in, back, sizeof back - 1, 0x01);
        if (n != static_cast<int>(kFrame.size()) - 1 || kFrame.compare(0, kFrame.size() - 1, back, n) != 0) return -1;
        total += platform::Timer() - start;
    }
    return total * 1000 / kExchanges;
}

void Exchanges(int out, int in) {
    const double wireMs = 14 * 10 * 1000.0 / 38400;
    for (bool eventChar : {false, true}) {
        if (eventChar) platform::SetComEventChar(in, 0x01);
        for (bool oneWrite : {false, true}) {
            const double ms = ExchangeMs(out, in, oneWrite);
            char line[160];
            std::snprintf(line, sizeof line,
                          "14-byte frame out and back, %s, event character %s: %.2f ms (wire %.2f ms)",
                          oneWrite ? "one write" : "seven writes", eventChar ? "0x01" : "off", ms, wireMs);
            Report(ms > 0, line);
        }
    }
}

// How often the DSR or DCD of `watch` changes while the ports are listed.
void DtrDuringListing(int listed, int watch) {
    const std::wstring name = L"\\\\.\\COM" + std::to_wstring(watch);
    const HANDLE h = CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Report(false, "DTR during a port listing: COM" + std::to_string(watch) + " cannot be opened");
        return;
    }
    SetCommMask(h, EV_DSR | EV_RLSD);
    std::atomic<bool> listing{true};
    std::thread lister([&] {
        for (int port = 1; port <= 8; ++port) platform::ProbeSerialDevice(platform::ComPortDevice(port));
        listing = false;
    });
    OVERLAPPED wait{};
    wait.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // The driver keeps the events that came between two waits: the next
    // wait ends with them at once, so nothing is missed between looks.
    int moves = 0;
    for (bool last = false; !last;) {
        last = !listing.load();  // one more look once the listing has ended
        DWORD mask = 0, n = 0;
        if (!WaitCommEvent(h, &mask, &wait)) {
            if (GetLastError() != ERROR_IO_PENDING) break;
            if (WaitForSingleObject(wait.hEvent, 50) != WAIT_OBJECT_0) {
                CancelIoEx(h, &wait);
                if (WaitForSingleObject(wait.hEvent, 1000) != WAIT_OBJECT_0) break;
                continue;
            }
            if (!GetOverlappedResult(h, &wait, &n, FALSE)) continue;
        }
        if (mask & (EV_DSR | EV_RLSD)) ++moves;
    }
    lister.join();
    CloseHandle(wait.hEvent);
    CloseHandle(h);
    std::printf(
        "info COM%d's DTR, seen on COM%d, moved %d times while COM1..COM8 were listed"
        " (a raise and a drop close together may show as one)\n",
        listed, watch, moves);
}

}  // namespace

int main(int argc, char **argv) {
    const int a = argc > 1 ? platform::ComNumber(argv[1]) : 0;
    const int b = argc > 2 ? platform::ComNumber(argv[2]) : a;
    if (a == 0 || b == 0) {
        std::fprintf(stderr,
                     "usage: bench_loopback COMa        (a loopback plug on COMa)\n"
                     "       bench_loopback COMa COMb   (a null-modem cable between them)\n");
        return 2;
    }
    if (!Open(a) || (b != a && !Open(b))) return 1;
    LongWrite(a, b);
    Exchanges(a, b);
    if (b != a) {
        WriteThenClose(a, b);  // closes COMa: it is free for the listing
        platform::CloseCom(b);
        DtrDuringListing(a, b);
    } else {
        std::printf("skip write-then-close and DTR during a listing: they need a second port\n");
        platform::CloseCom(a);
    }
    return g_allOk ? 0 : 1;
}

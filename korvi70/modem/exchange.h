// One exchange of the modem layer in its command mode: time-out, flushes,
// the command line, the wait until it is sent, and the reply read into a
// 100-character buffer. Judging the reply is the caller's.
#pragma once
#include <string_view>

namespace korvi70::modem {

struct Reply {
    char text[101];  // NUL-terminated: what arrived
    int length = 0;
    std::string_view View() const { return {text, static_cast<std::size_t>(length)}; }
};

inline constexpr double kNoTimeoutChange = -1.0;

// Port outside 1..4 is the caller's check. factor: the time-out is
// Korvi70_CzasOdpowiedziModemu x factor, or the port's own with
// kNoTimeoutChange. waitSent: wait until the line has gone out before
// reading. 0 with the reply, 2 on a serial failure, 3 when nothing arrived.
int Exchange(int port, std::string_view line, double factor, bool waitSent, Reply &reply);
// Sets the time-out (factor as above) and flushes both queues: 0 or 2.
int Prepare(int port, double factor);
// Writes the whole line through the link: 0 or 2.
int Send(std::string_view line);
// Reads up to 100 characters within the port's time-out, ending early at a
// final result line when the early end is on: 0, or 3 when nothing arrived
// or the read failed.
int ReadReply(int port, Reply &reply);
// Waits (bounded) until what was written has gone out.
void WaitSent(int port);
// A number that fits a command line: up to 50 printable characters, none
// of which could end or break the line.
bool Dialable(std::string_view number);
// Whether the port is one the modem may sit on.
inline bool ValidPort(int port) { return port >= 1 && port <= 4; }

void Beep();

}  // namespace korvi70::modem

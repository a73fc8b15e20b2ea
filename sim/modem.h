// A simulated Hayes modem in front of the simulated instrument, on the same
// line: in command mode it echoes (E1) and answers AT command lines with
// "OK"/"ERROR" framed by CR LF; a dial command answers after a delay with
// CONNECT and a speed, BUSY, NO CARRIER or NO DIAL TONE; in data mode bytes
// pass to and from the instrument unchanged, at the connection's speed.
// The escape character (S2) three times returns it to command mode with
// "OK" only with the guard time (S12, in fiftieths of a second) of silence
// before the first and after the third; otherwise they are data like any
// other. Its replies leave through the instrument line's output schedule.
#pragma once
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "sim/line.h"

namespace sim {

enum class DialOutcome { Connect, Busy, NoCarrier, NoDialTone, Silent };
// "connect", "busy", "no-carrier", "no-dial-tone", "silent"; false if none.
bool ParseDialOutcome(const std::string &word, DialOutcome *outcome);

struct ModemSettings {
    bool present = false;  // --modem: the modem stands in front of the instrument
    bool silent = false;   // answers nothing, echoes nothing
    bool echo = true;      // E1 at power-on and after ATZ
    DialOutcome outcome = DialOutcome::Connect;
    std::map<std::string, DialOutcome> byNumber;  // numbers with an outcome of their own
    double dialDelay = 0.3;                       // seconds from the dial command to its answer
    int speed = 9600;                             // after "CONNECT"; 0 = none given
    std::string product = "VGX52-SIM Hayes 33600";
    std::vector<std::string> refused;  // command lines starting with one of these answer ERROR
    double ring = 0;                   // > 0: an unsolicited RING line this many seconds apart while idle
};

class Modem {
public:
    Modem(InstrumentLine &line, ModemSettings settings);

    // Bytes from the program at `now`.
    void Write(const unsigned char *data, std::size_t count, double now);
    // Sends what is due by `now` (a dial command's answer, the "OK" of an
    // escape once its guard time is over, a RING).
    void Poll(double now);
    // When Poll has something to do next (infinity when nothing waits).
    double NextEvent() const;

    bool InDataMode() const { return mode_ == Mode::Data; }
    bool OffHook() const { return offHook_; }
    int Register(int number) const { return registers_[number & 0xFF]; }
    const std::string &Dialled() const { return dialled_; }
    // The command lines received (escape sequences as their three characters).
    const std::vector<std::string> &Log() const { return log_; }
    // Called with each line as it is logged.
    std::function<void(const std::string &)> onLog;

private:
    enum class Mode { Command, Dialling, Data };
    void CommandByte(unsigned char byte, double now);
    void DataByte(unsigned char byte, double now);
    void Execute(const std::string &line, double now);
    // Runs the commands after "AT"; false on one it does not know.
    bool Run(const std::string &commands, std::string &out, double now, bool &dialled);
    void Send(const std::string &text, double at);
    std::string Result(const char *word) const;  // framed as V0/V1 and Q say
    void Log(const std::string &line);
    void Reset();
    void Connect();
    void HangUp();
    void Ring(double now);
    bool Idle() const { return mode_ == Mode::Command && !connected_; }

    InstrumentLine &line_;
    ModemSettings settings_;
    Mode mode_ = Mode::Command;
    bool echo_ = true, verbose_ = true, quiet_ = false, offHook_ = false, connected_ = false;
    int registers_[256] = {};
    std::string stored_[4];
    std::string input_;  // the command line being typed
    bool inLine_ = false;
    bool sawA_ = false;
    int escapes_ = 0;              // escape characters of a sequence that may still count
    double lastInputAt_ = -1e300;  // when the last byte came from the program, in any mode
    double escapeAt_;              // when the escape takes effect (infinity: none pending)
    double nextRingAt_;            // infinity: no RING due (NaN: not started yet)
    double dialAnswerAt_;
    DialOutcome pendingOutcome_ = DialOutcome::Connect;
    std::string dialled_;
    std::vector<std::string> log_;
};

}  // namespace sim

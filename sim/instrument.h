// A simulated Korvi70 instrument (a VGX52) as a byte-stream state machine:
// bytes from the line go in, the echo and the replies come out. Timing
// (delay, pacing) is applied by whoever carries the bytes (InstrumentLine).
#pragma once
#include <string>
#include <string_view>

#include "sim/command_table.h"
#include "sim/instrument_state.h"

namespace sim {

// Fault switches, all off by default.
struct InstrumentFaults {
    bool echo = false;              // the line returns every byte it is sent
    bool silent = false;            // no replies at all (the echo still comes)
    bool wrongCheck = false;        // the check field of every reply is one bit off
    bool wrongTransaction = false;  // replies carry the transaction number plus one
    int status = 0;                 // non-zero: every hex reply carries this status and no data
    std::string garbage;            // bytes without 0x00 sent ahead of every reply's lead-in
    int cutAfter = -1;              // >= 0: only this many bytes of each reply are sent
    double delay = 0.0;             // seconds between a request's end and its reply
    int silentAfterPages = -1;      // >= 0: hex frames go unanswered (and undone) once this many
                                    // flash pages are written: an instrument lost mid-upgrade
};

// Bytes the default garbage switch sends: no 0x00 among them.
inline constexpr std::string_view kDefaultGarbage = "\xFF\x13\x37garbage\xFE";

class Instrument {
public:
    Instrument();

    // One byte from the line: appends what the line echoes to `echo` and a
    // complete reply, if this byte ended a request, to `reply`.
    void Receive(unsigned char byte, std::string &echo, std::string &reply);
    // Convenience for tests: everything that comes back, echo and replies in order.
    std::string Process(std::string_view bytes);

    InstrumentState &State() { return state_; }
    InstrumentFaults &Faults() { return faults_; }
    const InstrumentCounters &Counters() const { return counters_; }
    CommandTable &Commands() { return commands_; }

    // Raw mode: every byte goes to handler instead of the frame reader
    // until the handler returns false (a loader's own character protocol).
    using RawHandler = bool (*)(Instrument &instrument, unsigned char byte, std::string &reply);
    void EnterRawMode(RawHandler handler) { raw_ = handler; }
    bool InRawMode() const { return raw_ != nullptr; }

private:
    void HandleFrame(std::string &reply);
    bool TryHex(std::string &reply);
    bool TryLegacy(std::string &reply);
    void Send(std::string frame, std::string &reply);

    InstrumentState state_;
    InstrumentFaults faults_;
    InstrumentCounters counters_;
    CommandTable commands_;
    RawHandler raw_ = nullptr;
    bool inFrame_ = false;
    std::string frame_;
};

}  // namespace sim

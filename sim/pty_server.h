// The simulated instrument on a pseudo-terminal: the program opens the
// terminal side as COMn through the link <drive root>/comN; this side keeps
// the master, answers through an InstrumentLine and waits only in poll().
#pragma once
#include <string>

#include "sim/instrument.h"
#include "sim/line.h"
#include "sim/modem.h"

namespace sim {

class PtyServer {
public:
    explicit PtyServer(Instrument &instrument, const LineSettings &line = {});
    ~PtyServer();  // closes the terminal and removes the link
    PtyServer(const PtyServer &) = delete;
    PtyServer &operator=(const PtyServer &) = delete;

    // Opens a pseudo-terminal and links it as comN in the drive root (an
    // existing symbolic link of that name is replaced). false with a reason.
    bool Open(int comNumber, std::string *error);
    const std::string &TerminalPath() const { return terminal_; }
    const std::string &LinkPath() const { return link_; }

    // Serves until wakeFd (when >= 0) becomes readable.
    void Serve(int wakeFd);
    void Close();

    InstrumentLine &Line() { return line_; }
    // A modem in front of the instrument (nullptr: none); it must outlive
    // the serving.
    void SetModem(Modem *modem) { modem_ = modem; }

private:
    bool ReadRequests();
    void WriteDue();

    InstrumentLine line_;
    Modem *modem_ = nullptr;
    int master_ = -1;
    int slave_ = -1;  // held open so that the master never sees a hang-up between programs
    std::string terminal_;
    std::string link_;
};

}  // namespace sim

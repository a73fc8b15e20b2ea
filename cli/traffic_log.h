// The --log file: every byte the link primitives send and receive, in hex,
// one line per frame: a line ends when the direction changes, after the
// terminator 0x01, and when the line falls quiet (the echo test's probe
// and an unanswered request have no terminator of their own).
//
//   2024-01-31 12:34:56.789 TX FF FF 00 30 30 37 31 32 39 30 33 30 45 01
#pragma once
#include <cstdio>
#include <functional>
#include <string>

#include "korvi70/traffic.h"

namespace cli {

class TrafficLog {
public:
    // Seconds on a clock that never goes back; it decides when a pause ends
    // a line. Null: the steady clock. Tests give their own.
    using Clock = std::function<double()>;
    explicit TrafficLog(Clock clock = nullptr);
    ~TrafficLog();
    // Opens (truncates) the file and starts observing the link. False when
    // the file cannot be opened, the reason in Failure().
    bool Open(const std::string &path);
    // Writes the unfinished line, stops observing and closes the file.
    void Close();
    // Why the file could not be opened or a line could not be written (the
    // first reason; the lines after it are lost too); "" while all is well.
    const std::string &Failure() const { return failure_; }

    // Adds bytes moving in one direction (the observer's entry).
    void Add(korvi70::TrafficDirection direction, const unsigned char *bytes, int count);

private:
    void EndLine();
    void Fail();  // keeps the reason of the first failure

    Clock clock_;
    std::FILE *file_ = nullptr;
    std::string line_;   // hex of the bytes of the line so far
    std::string stamp_;  // time of the line's first byte
    korvi70::TrafficDirection direction_ = korvi70::TrafficDirection::Sent;
    int bytesInLine_ = 0;
    double lastByte_ = 0;  // monotonic seconds
    std::string failure_;
};

// The file --log names (none when path is empty), for a command that
// opens the link: opened before the link, false after saying why on err.
bool OpenLogOption(TrafficLog &log, const std::string &path, std::FILE *err);
// Closes it and says on err when it could not be written to its end.
void CloseLogOption(TrafficLog &log, const std::string &path, std::FILE *err);

}  // namespace cli

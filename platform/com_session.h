// One open serial port: a terminal device or an in-process ComDevice.
#pragma once
#include <atomic>
#include <memory>
#include <string>

#include "platform/com.h"
#include "platform/deadline.h"

namespace platform::detail {

class ComSession {
public:
    // Opens and configures the terminal at `path` for exclusive use.
    // Returns 0 or a ComError.
    static int OpenDevice(const std::string &path, long baud, int parity, int dataBits, int stopBits,
                          std::unique_ptr<ComSession> &out);
    static bool ValidBaud(long baud);
    static std::unique_ptr<ComSession> OnDevice(ComDevice *device, long baud, int parity, int dataBits, int stopBits);
    ~ComSession();
    ComSession(const ComSession &) = delete;
    ComSession &operator=(const ComSession &) = delete;

    // Each returns the bytes transferred and sets err (0, -99 or a ComError).
    int Write(const unsigned char *data, int count, int &err);
    // Reads up to count bytes; with terminator >= 0, stops at it (it is
    // consumed, not stored).
    int Read(unsigned char *data, int count, int terminator, int &err);

    int FlushIn();
    int FlushOut();
    int InQueue();
    int OutQueue();
    int WaitSent();
    int WaitInput(double seconds);  // bytes waiting once one came or the time is up

    ComDevice *Device() const { return device_; }
    std::atomic<double> timeout{10.0};

private:
    ComSession(int fd, ComDevice *device, long baud, int parity, int dataBits, int stopBits);
    std::size_t ReadChunk(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err);

    int fd_ = -1;
    ComDevice *device_ = nullptr;
    double charSeconds_;  // time one character takes on the wire
};

}  // namespace platform::detail

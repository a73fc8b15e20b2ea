// One open serial port: a device of the system or an in-process ComDevice.
// What is the same for both lives in com_session.cpp; the system's side of
// a device in com_session_<system>.cpp.
#pragma once
#include <atomic>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>

#include "platform/com.h"
#include "platform/deadline.h"

namespace platform::detail {

class ComSession {
public:
    // Opens and configures the device at `path` for exclusive use. The
    // queue sizes are the driver's buffers where the system lets the
    // program choose them. Returns 0 or a ComError.
    static int OpenDevice(const std::string &path, long baud, int parity, int dataBits, int stopBits, int inQueueSize,
                          int outQueueSize, std::unique_ptr<ComSession> &out);
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
    int SetEventChar(int byte);

    ComDevice *Device() const { return device_; }
    std::atomic<double> timeout{10.0};
    // When a write last handed bytes to the port (Timer()); -infinity: never.
    std::atomic<double> lastWrite{-std::numeric_limits<double>::infinity()};

private:
    ComSession(std::intptr_t native, ComDevice *device, long baud, int parity, int dataBits, int stopBits);
    std::size_t ReadChunk(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err);
    // How long a write may wait for the line to take more, with this many
    // bytes ahead of what it waits for: the time-out and their wire time.
    double StallSeconds(int bytesAhead) const;

    // The system's device; each sets err as Write and Read do.
    void CloseNative();
    int WriteNative(const unsigned char *data, int count, const Deadline &deadline, int &err);
    // Up to max bytes, waiting until the deadline for the first one.
    std::size_t ReadNative(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err);
    int FlushInNative();
    int FlushOutNative();
    int InQueueNative();
    int OutQueueNative();
    int DrainNative();  // waits for what the UART or the adapter itself still holds
    int SetEventCharNative(int byte);
    // Sleeps until input may have come or the deadline; 0 or a ComError.
    int WaitReadableNative(const Deadline &deadline);

    std::intptr_t native_ = -1;  // the file descriptor, or the port's state on Windows
    ComDevice *device_ = nullptr;
    double charSeconds_;  // time one character takes on the wire
};

}  // namespace platform::detail

// Serial ports, numbered as on Windows (COM1 = 1), with the operations the
// instrument link needs. Every call records its outcome; ReturnRS232Err()
// gives it (0 = none, -99 = a read or write ran out of time).
#pragma once
#include <cstddef>
#include <string>

namespace platform {

enum ComError {
    kComOk = 0,
    kComErrSystem = -1,        // an operating-system call failed
    kComErrInvalidPort = -2,   // port number below 1 or above 1000
    kComErrNotOpen = -3,       // the port is not open
    kComErrIo = -4,            // read or write failed on an open port
    kComErrBadParameter = -5,  // baud, parity, bits or queue sizes not valid
    kComErrNoDevice = -6,      // no device behind the port number
    kComErrCannotOpen = -7,    // the device exists but cannot be opened
    kComErrInUse = -8,         // another program holds the port
    kComErrNoPermission = -9,  // this user may not open the device
    kComErrPortFailed = -10,   // the driver did not end a cancelled transfer: the port was closed
    kComErrTimeout = -99,
};

enum Parity { kParityNone = 0, kParityOdd = 1, kParityEven = 2 };

// Device path behind COMn. Linux: the link <drive root>/comN if it exists,
// otherwise /dev/ttyS<n-1>. Windows: \\.\COMn.
std::string ComDevicePath(int port);

int OpenComConfig(int port, const char *deviceName, long baud, int parity, int dataBits, int stopBits, int inQueueSize,
                  int outQueueSize);
int CloseCom(int port);
int SetComTime(int port, double seconds);  // time-out of every read and write
double GetComTime(int port);               // -1 when the port is not open

int ComWrt(int port, const void *buffer, int count);  // bytes written, or < 0
int ComWrtByte(int port, int byte);                   // 1, or < 0
// Reads up to count bytes within the time-out; a short count sets -99.
int ComRd(int port, void *buffer, int count);
int ComRdByte(int port);  // the byte 0..255, or < 0 (-99 on time-out)
// Reads until the terminator (not stored) or count bytes; returns the bytes stored.
int ComRdTerm(int port, void *buffer, int count, int terminator);
int FlushInQ(int port);
int FlushOutQ(int port);
int GetInQLen(int port);   // bytes waiting to be read, or < 0
int GetOutQLen(int port);  // bytes not yet sent, or < 0
int WaitSent(int port);    // blocks until what was written has left the line (bounded)
// Sleeps until a byte waits to be read or `seconds` have passed; the bytes
// waiting (0 when none came), or < 0. Nothing is taken from the queue.
int WaitForInput(int port, double seconds);
// When a write last handed bytes to the port since it was opened, on
// Timer(); -infinity when none did or the port is not open.
double LastWriteTime(int port);
// Asks the adapter to pass on what it has received as soon as `byte`
// arrives, not only when its latency timer runs out: FTDI-style USB
// adapters do on Windows (the event character). Elsewhere, and with other
// drivers, nothing changes; Linux asks every adapter for low latency at open.
int SetComEventChar(int port, int byte);
int ReturnRS232Err();
bool IsComOpen(int port);

// A device served inside this process (the built-in simulated instrument,
// test doubles). Attached to a port number, it replaces the device file
// the next time that port is opened.
class ComDevice {
public:
    virtual ~ComDevice() = default;
    virtual void Write(const unsigned char *data, std::size_t count) = 0;
    // Up to count bytes; may wait up to timeoutSeconds for the first byte.
    virtual std::size_t Read(unsigned char *data, std::size_t count, double timeoutSeconds) = 0;
    virtual std::size_t Available() = 0;
    virtual void DiscardInput() = 0;  // bytes queued for the program
};
void AttachComDevice(int port, ComDevice *device);  // nullptr detaches

}  // namespace platform

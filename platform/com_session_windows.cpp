// The serial port through the Win32 communications API: a handle opened
// without sharing (Windows lets one program have a port) and for overlapped
// I/O, DCB settings, and no time-outs in the driver: every read and write is
// started, waited for on its event until the caller's deadline, and
// cancelled when that passes, so the program sleeps in the system while it
// waits and nothing is left pending once a call returns. A driver that does
// not end a cancelled transfer within a bounded wait loses the port: its
// handle is closed and every later call fails at once.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>

#include "platform/com_session.h"
#include "platform/comm_api_windows.h"
#include "platform/system.h"
#include "platform/wide_windows.h"

namespace platform::detail {
namespace {

using Clock = std::chrono::steady_clock;

// Bytes one transfer moves at most.
constexpr DWORD kChunk = 4096;

// The port behind a session's native value. Reads and writes each have an
// event of their own: one reader and one writer may work at the same time.
// Transfers use the buffers and OVERLAPPED records here, never the caller's
// memory, so that a transfer the driver does not let go of writes into
// nothing that has been freed (the port is then kept, see Abandon).
struct Port {
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE readDone = nullptr;
    HANDLE writeDone = nullptr;
    OVERLAPPED readTransfer{};
    OVERLAPPED writeTransfer{};
    unsigned char readBuffer[kChunk];
    unsigned char writeBuffer[kChunk];
    // A byte WaitInput took from the driver to learn that input came; it
    // is the first byte of the queue (-1: none).
    std::atomic<int> held{-1};
    bool readsAtOnce = false;  // the driver's read time-outs: see ReadsAtOnce
    std::atomic<bool> failed{false};
    // By when the bytes written so far have left the line, at the latest.
    Clock::time_point lineFreeAt{};
};

// How long a driver gets to end a transfer it was told to cancel.
constexpr DWORD kCancelWaitMs = 500;
// Bytes already in the driver's queue come at once; the wait for them is
// bounded all the same, should a driver report bytes it does not give.
constexpr DWORD kQueuedWaitMs = 1000;
// After the wire time of the last write: a USB adapter's start on it.
constexpr double kDrainMarginSeconds = 0.02;

Port &PortOf(std::intptr_t native) { return *reinterpret_cast<Port *>(native); }

DWORD WaitMs(const Deadline &deadline) { return static_cast<DWORD>(deadline.PollMs()); }

void ClosePort(Port *port) {
    if (port->readDone) CloseHandle(port->readDone);
    if (port->writeDone) CloseHandle(port->writeDone);
    if (port->handle != INVALID_HANDLE_VALUE) Comm().CloseHandle(port->handle);
    delete port;
}

// A transfer outlived its cancel. The handle is closed, which is all that
// can still end it; the port's memory stays with the driver's transfer,
// so it is never freed (one port's worth, once per such driver fault).
void Abandon(Port &port) {
    port.failed.store(true);
    Comm().CloseHandle(port.handle);
    port.handle = INVALID_HANDLE_VALUE;
}

// Reads either wait for their whole count (no driver time-outs: the wait is
// the program's) or return at once with what the queue holds. Reading bytes
// known to be queued at once spares Wine an asynchronous request for each.
// The setting is kept and changed only when the other kind of read comes.
bool ReadsAtOnce(Port &port, bool atOnce) {
    if (port.readsAtOnce == atOnce) return true;
    COMMTIMEOUTS timeouts{};
    if (atOnce) timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!Comm().SetCommTimeouts(port.handle, &timeouts)) return false;
    port.readsAtOnce = atOnce;
    return true;
}

int Configure(HANDLE h, long baud, int parity, int dataBits, int stopBits, int inQueueSize, int outQueueSize) {
    const CommApi &api = Comm();
    if (inQueueSize > 0 || outQueueSize > 0) {
        // A request the driver cannot meet is not an error: it keeps its own sizes.
        api.SetupComm(h, static_cast<DWORD>(std::max(inQueueSize, 16)), static_cast<DWORD>(std::max(outQueueSize, 16)));
    }
    // A device that has no communications state is no serial port, whatever
    // file type its driver reports (several virtual-COM drivers report none).
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!api.GetCommState(h, &dcb)) return kComErrCannotOpen;
    dcb.BaudRate = static_cast<DWORD>(baud);
    dcb.ByteSize = static_cast<BYTE>(dataBits);
    dcb.Parity = parity == kParityOdd ? ODDPARITY : parity == kParityEven ? EVENPARITY : NOPARITY;
    dcb.StopBits = stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = parity != kParityNone;
    // No flow control of any kind; DTR and RTS raised, as the lines are used.
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    if (!api.SetCommState(h, &dcb)) return kComErrBadParameter;
    // All zero: a read ends when its count has come, a write when all is
    // sent. The deadlines are the program's own.
    COMMTIMEOUTS none{};
    if (!api.SetCommTimeouts(h, &none)) return kComErrCannotOpen;
    return kComOk;
}

// One overlapped read into the port's read buffer or write from its write
// buffer, of count bytes, waited for up to waitMs. One not done by then is
// cancelled and its end awaited, for a bounded time. Returns the bytes
// transferred, never more than count; a failed read delivers none, since
// its buffer holds nothing that can be trusted. err is set to -99 when the
// time ran out, to an I/O error when the transfer failed, and to
// kComErrPortFailed when the driver did not end it.
DWORD Transfer(Port &port, bool write, DWORD count, DWORD waitMs, int &err) {
    const CommApi &api = Comm();
    OVERLAPPED &transfer = write ? port.writeTransfer : port.readTransfer;
    transfer = OVERLAPPED{};
    transfer.hEvent = write ? port.writeDone : port.readDone;
    const BOOL finished = write ? api.WriteFile(port.handle, port.writeBuffer, count, nullptr, &transfer)
                                : api.ReadFile(port.handle, port.readBuffer, count, nullptr, &transfer);
    if (!finished && GetLastError() != ERROR_IO_PENDING) {
        err = kComErrIo;
        return 0;
    }
    bool cancelled = false;
    if (!finished && api.WaitForSingleObject(transfer.hEvent, waitMs) != WAIT_OBJECT_0) {
        api.CancelIoEx(port.handle, &transfer);
        cancelled = true;
        if (api.WaitForSingleObject(transfer.hEvent, kCancelWaitMs) != WAIT_OBJECT_0) {
            Abandon(port);
            err = kComErrPortFailed;
            return 0;
        }
    }
    // The transfer has ended: its result is there without waiting.
    DWORD transferred = 0;
    if (!api.GetOverlappedResult(port.handle, &transfer, &transferred, FALSE)) {
        err = cancelled && GetLastError() == ERROR_OPERATION_ABORTED ? kComErrTimeout : kComErrIo;
        // What a write sent before the cancel did leave; a read's count is
        // not data.
        return write ? std::min(transferred, count) : 0;
    }
    if (transferred < count && cancelled) err = kComErrTimeout;  // what went before the cancel counts
    return std::min(transferred, count);
}

// Bytes in the driver's input queue, or a ComError.
int DriverQueue(Port &port) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!Comm().ClearCommError(port.handle, &errors, &status)) return kComErrSystem;
    return static_cast<int>(std::min<DWORD>(status.cbInQue, 0x7FFFFFFE));
}

// Up to count bytes known to be queued, into dst.
std::size_t ReadQueued(Port &port, unsigned char *dst, std::size_t count, const Deadline &deadline, int &err) {
    if (!ReadsAtOnce(port, true)) {
        err = kComErrIo;
        return 0;
    }
    const DWORD n = Transfer(port, false, static_cast<DWORD>(std::min<std::size_t>(count, kChunk)),
                             std::max(WaitMs(deadline), kQueuedWaitMs), err);
    std::memcpy(dst, port.readBuffer, n);
    return n;
}

// One byte, waiting for it until the deadline.
std::size_t ReadFirst(Port &port, unsigned char *dst, const Deadline &deadline, int &err) {
    if (deadline.Expired()) {
        err = kComErrTimeout;
        return 0;
    }
    if (!ReadsAtOnce(port, false)) {
        err = kComErrIo;
        return 0;
    }
    const DWORD n = Transfer(port, false, 1, WaitMs(deadline), err);
    if (n == 0) {
        // Nothing and no time-out: the line hung up.
        if (err == kComOk) err = kComErrIo;
        return 0;
    }
    dst[0] = port.readBuffer[0];
    return 1;
}

}  // namespace

bool ComSession::ValidBaud(long baud) {
    // The rates of the Windows API and of the common UART chips.
    static constexpr long kRates[] = {50,      75,      110,     134,     150,     200,     300,    600,    1200,
                                      1800,    2400,    4800,    9600,    14400,   19200,   38400,  56000,  57600,
                                      115200,  128000,  230400,  256000,  460800,  500000,  576000, 921600, 1000000,
                                      1152000, 1500000, 2000000, 2500000, 3000000, 3500000, 4000000};
    return std::find(std::begin(kRates), std::end(kRates), baud) != std::end(kRates);
}

int ComSession::OpenDevice(const std::string &path, long baud, int parity, int dataBits, int stopBits, int inQueueSize,
                           int outQueueSize, std::unique_ptr<ComSession> &out) {
    if (!ValidBaud(baud)) return kComErrBadParameter;
    // No sharing: a port another program has open is refused with access denied.
    const HANDLE h = Comm().CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_BAD_UNIT:
        case ERROR_DEV_NOT_EXIST: return kComErrNoDevice;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_BUSY: return kComErrInUse;
        default: return kComErrCannotOpen;
        }
    }
    auto *port = new Port;
    port->handle = h;
    const int rc = Configure(h, baud, parity, dataBits, stopBits, inQueueSize, outQueueSize);
    if (rc != kComOk) {
        ClosePort(port);
        return rc;
    }
    port->readDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    port->writeDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!port->readDone || !port->writeDone) {
        ClosePort(port);
        return kComErrSystem;
    }
    Comm().PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    out.reset(new ComSession(reinterpret_cast<std::intptr_t>(port), nullptr, baud, parity, dataBits, stopBits));
    return kComOk;
}

void ComSession::CloseNative() {
    Port *port = &PortOf(native_);
    if (port->failed.load()) return;  // closed already; its memory stays with the driver (Abandon)
    // What the driver still holds after the wait for it is dropped, so that
    // the close does not wait on it. Nothing more: a purge also empties a
    // USB adapter's own buffer, which holds the last bytes written.
    if (OutQueueNative() > 0) Comm().PurgeComm(port->handle, PURGE_TXCLEAR | PURGE_TXABORT);
    ClosePort(port);
}

int ComSession::WriteNative(const unsigned char *data, int count, const Deadline &deadline, int &err) {
    Port &port = PortOf(native_);
    if (port.failed.load()) {
        err = kComErrPortFailed;
        return 0;
    }
    int done = 0;
    while (done < count && err == kComOk) {
        if (deadline.Expired()) {
            err = kComErrTimeout;
            break;
        }
        const DWORD chunk = std::min<DWORD>(static_cast<DWORD>(count - done), kChunk);
        std::memcpy(port.writeBuffer, data + done, chunk);
        const Clock::time_point start = Clock::now();
        const DWORD waitMs = std::min(WaitMs(deadline), WaitMs(Deadline(StallSeconds(static_cast<int>(chunk)))));
        const DWORD sent = Transfer(port, true, chunk, waitMs, err);
        done += static_cast<int>(sent);
        // The line takes these bytes once it has sent what came before.
        port.lineFreeAt = std::max(port.lineFreeAt, start) + std::chrono::duration_cast<Clock::duration>(
                                                                 std::chrono::duration<double>(sent * charSeconds_));
        // Without a driver time-out a write ends only when all is sent.
        if (sent == 0 && err == kComOk) err = kComErrIo;
    }
    return done;
}

std::size_t ComSession::ReadNative(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err) {
    Port &port = PortOf(native_);
    if (port.failed.load()) {
        err = kComErrPortFailed;
        return 0;
    }
    std::size_t got = 0;
    if (const int held = port.held.exchange(-1); held >= 0) {
        dst[got++] = static_cast<unsigned char>(held);
        if (got == max) return got;
    }
    if (got == 0) {
        const int queued = DriverQueue(port);
        if (queued < 0) {
            err = kComErrIo;
            return 0;
        }
        if (queued > 0) {
            int queuedErr = kComOk;
            got = ReadQueued(port, dst, std::min<std::size_t>(static_cast<std::size_t>(queued), max), deadline,
                             queuedErr);
            if (queuedErr != kComOk && queuedErr != kComErrTimeout) {
                err = queuedErr;
                return got;
            }
        }
        // Nothing queued, or a driver that counted bytes it did not give:
        // wait for the first one, in the system, until the deadline.
        if (got == 0) got = ReadFirst(port, dst, deadline, err);
        if (got == 0) return 0;
    }
    // And what has come with it.
    const int queued = DriverQueue(port);
    if (queued > 0 && got < max) {
        int moreErr = kComOk;
        got += ReadQueued(port, dst + got, std::min<std::size_t>(static_cast<std::size_t>(queued), max - got), deadline,
                          moreErr);
        if (moreErr != kComOk && moreErr != kComErrTimeout) err = moreErr;
    }
    return got;
}

int ComSession::FlushInNative() {
    Port &port = PortOf(native_);
    if (port.failed.load()) return kComErrPortFailed;
    port.held.store(-1);
    return Comm().PurgeComm(port.handle, PURGE_RXCLEAR | PURGE_RXABORT) ? kComOk : kComErrSystem;
}

int ComSession::FlushOutNative() {
    Port &port = PortOf(native_);
    if (port.failed.load()) return kComErrPortFailed;
    return Comm().PurgeComm(port.handle, PURGE_TXCLEAR | PURGE_TXABORT) ? kComOk : kComErrSystem;
}

int ComSession::InQueueNative() {
    Port &port = PortOf(native_);
    if (port.failed.load()) return kComErrPortFailed;
    const int queued = DriverQueue(port);
    if (queued < 0) return queued;
    return queued + (port.held.load() >= 0 ? 1 : 0);
}

int ComSession::OutQueueNative() {
    Port &port = PortOf(native_);
    DWORD errors = 0;
    COMSTAT status{};
    if (port.failed.load() || !Comm().ClearCommError(port.handle, &errors, &status)) return 0;
    return static_cast<int>(std::min<DWORD>(status.cbOutQue, 0x7FFFFFFF));
}

// A read of one byte is the wait: the system serves it with its own wait on
// the device, under Wine as on Windows. The byte is held as the head of the
// queue for the next read, so nothing is taken from the caller's view.
int ComSession::WaitReadableNative(const Deadline &deadline) {
    Port &port = PortOf(native_);
    if (port.failed.load()) return kComErrPortFailed;
    if (port.held.load() >= 0 || deadline.Expired()) return kComOk;
    unsigned char byte = 0;
    int err = kComOk;
    if (ReadFirst(port, &byte, deadline, err) == 1) {
        port.held.store(byte);
        return kComOk;
    }
    return err == kComErrTimeout ? kComOk : err;
}

// The output queue counts neither the UART's FIFO nor a USB adapter's own
// buffer: the last bytes written may still be on their way. They have left
// once the wire time of everything written has passed.
int ComSession::DrainNative() {
    Port &port = PortOf(native_);
    if (port.failed.load()) return kComErrPortFailed;
    const double left = std::chrono::duration<double>(port.lineFreeAt - Clock::now()).count();
    if (left > 0) Delay(left + kDrainMarginSeconds);
    return kComOk;
}

int ComSession::SetEventCharNative(int byte) {
    Port &port = PortOf(native_);
    if (port.failed.load()) return kComErrPortFailed;
    // FTDI-style adapters pass on what they hold as soon as the event
    // character arrives instead of at the end of their latency timer; the
    // drivers take it from the DCB and, some of them, only while the
    // event is in the port's event mask. Other drivers merely note the event.
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!Comm().GetCommState(port.handle, &dcb)) return kComErrSystem;
    dcb.EvtChar = static_cast<char>(byte);
    if (!Comm().SetCommState(port.handle, &dcb)) return kComErrSystem;
    return Comm().SetCommMask(port.handle, EV_RXFLAG) ? kComOk : kComErrSystem;
}

}  // namespace platform::detail

// The serial port through the Win32 communications API: a handle opened
// without sharing (Windows lets one program have a port) and for overlapped
// I/O, DCB settings, and no time-outs in the driver: every read and write is
// started, waited for on its event until the caller's deadline, and
// cancelled when that passes, so the program sleeps in the system while it
// waits and nothing is left pending once a call returns.
#include <windows.h>

#include <algorithm>
#include <atomic>

#include "platform/com_session.h"
#include "platform/wide_windows.h"

namespace platform::detail {
namespace {

// The port behind a session's native value. Reads and writes each have an
// event of their own: one reader and one writer may work at the same time.
struct Port {
    HANDLE handle = INVALID_HANDLE_VALUE;
    HANDLE readDone = nullptr;
    HANDLE writeDone = nullptr;
    // A byte WaitInput took from the driver to learn that input came; it
    // is the first byte of the queue (-1: none).
    std::atomic<int> held{-1};
    bool readsAtOnce = false;  // the driver's read time-outs: see ReadsAtOnce
};

// Reads either wait for their whole count (no driver time-outs: the wait is
// the program's) or return at once with what the queue holds. Reading bytes
// known to be queued at once spares Wine an asynchronous request for each.
// The setting is kept and changed only when the other kind of read comes.
bool ReadsAtOnce(Port &port, bool atOnce) {
    if (port.readsAtOnce == atOnce) return true;
    COMMTIMEOUTS timeouts{};
    if (atOnce) timeouts.ReadIntervalTimeout = MAXDWORD;
    if (!SetCommTimeouts(port.handle, &timeouts)) return false;
    port.readsAtOnce = atOnce;
    return true;
}

Port &PortOf(std::intptr_t native) { return *reinterpret_cast<Port *>(native); }

// Bytes already in the driver's queue come at once; the wait for them is
// bounded all the same, should a driver report bytes it does not give.
constexpr DWORD kQueuedWaitMs = 1000;

DWORD WaitMs(const Deadline &deadline) { return static_cast<DWORD>(deadline.PollMs()); }

void ClosePort(Port *port) {
    if (port->readDone) CloseHandle(port->readDone);
    if (port->writeDone) CloseHandle(port->writeDone);
    if (port->handle != INVALID_HANDLE_VALUE) CloseHandle(port->handle);
    delete port;
}

int Configure(HANDLE h, long baud, int parity, int dataBits, int stopBits, int inQueueSize, int outQueueSize) {
    if (inQueueSize > 0 || outQueueSize > 0) {
        // A request the driver cannot meet is not an error: it keeps its own sizes.
        SetupComm(h, static_cast<DWORD>(std::max(inQueueSize, 16)), static_cast<DWORD>(std::max(outQueueSize, 16)));
    }
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(h, &dcb)) return kComErrCannotOpen;
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
    if (!SetCommState(h, &dcb)) return kComErrBadParameter;
    // All zero: a read ends when its count has come, a write when all is
    // sent. The deadlines are the program's own.
    COMMTIMEOUTS none{};
    if (!SetCommTimeouts(h, &none)) return kComErrCannotOpen;
    return kComOk;
}

// One overlapped read or write of count bytes, waited for up to waitMs.
// One not done by then is cancelled and its end awaited: the buffer is free
// again when this returns. Returns the bytes transferred; err is set to
// -99 when the time ran out, to an I/O error when the transfer failed.
DWORD Transfer(HANDLE h, HANDLE done, bool write, void *buffer, DWORD count, DWORD waitMs, int &err) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = done;
    const BOOL finished =
        write ? WriteFile(h, buffer, count, nullptr, &overlapped) : ReadFile(h, buffer, count, nullptr, &overlapped);
    if (!finished && GetLastError() != ERROR_IO_PENDING) {
        err = kComErrIo;
        return 0;
    }
    bool cancelled = false;
    if (!finished && WaitForSingleObject(done, waitMs) != WAIT_OBJECT_0) {
        CancelIoEx(h, &overlapped);
        cancelled = true;
    }
    DWORD transferred = 0;
    if (!GetOverlappedResult(h, &overlapped, &transferred, TRUE)) {
        err = cancelled && GetLastError() == ERROR_OPERATION_ABORTED ? kComErrTimeout : kComErrIo;
    } else if (transferred < count && cancelled) {
        err = kComErrTimeout;  // what went before the cancel counts
    }
    return transferred;
}

// Bytes in the driver's input queue, or a ComError.
int DriverQueue(HANDLE h) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(h, &errors, &status)) return kComErrSystem;
    return static_cast<int>(std::min<DWORD>(status.cbInQue, 0x7FFFFFFE));
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
    const HANDLE h = CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
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
    if (GetFileType(h) != FILE_TYPE_CHAR) {
        ClosePort(port);
        return kComErrCannotOpen;
    }
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
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    out.reset(new ComSession(reinterpret_cast<std::intptr_t>(port), nullptr, baud, parity, dataBits, stopBits));
    return kComOk;
}

void ComSession::CloseNative() {
    Port *port = &PortOf(native_);
    PurgeComm(port->handle, PURGE_TXCLEAR | PURGE_TXABORT);
    ClosePort(port);
}

int ComSession::WriteNative(const unsigned char *data, int count, const Deadline &deadline, int &err) {
    Port &port = PortOf(native_);
    int done = 0;
    while (done < count && err == kComOk) {
        if (deadline.Expired()) {
            err = kComErrTimeout;
            break;
        }
        const DWORD sent = Transfer(port.handle, port.writeDone, true, const_cast<unsigned char *>(data + done),
                                    static_cast<DWORD>(count - done), WaitMs(deadline), err);
        done += static_cast<int>(sent);
        // Without a driver time-out a write ends only when all is sent.
        if (sent == 0 && err == kComOk) err = kComErrIo;
    }
    return done;
}

std::size_t ComSession::ReadNative(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err) {
    Port &port = PortOf(native_);
    std::size_t got = 0;
    if (const int held = port.held.exchange(-1); held >= 0) {
        dst[got++] = static_cast<unsigned char>(held);
        if (got == max) return got;
    }
    int queued = DriverQueue(port.handle);
    if (queued < 0) {
        if (got == 0) err = kComErrIo;
        return got;
    }
    if (got == 0 && queued == 0) {
        if (deadline.Expired()) {
            err = kComErrTimeout;
            return 0;
        }
        // One byte: the read ends as soon as anything comes.
        if (!ReadsAtOnce(port, false)) {
            err = kComErrIo;
            return 0;
        }
        got = Transfer(port.handle, port.readDone, false, dst, 1, WaitMs(deadline), err);
        if (got == 0) {
            // Nothing and no time-out: the line hung up.
            if (err == kComOk) err = kComErrIo;
            return 0;
        }
        queued = DriverQueue(port.handle);
    }
    // And what has come with it.
    if (queued > 0 && got < max) {
        const DWORD more = static_cast<DWORD>(std::min<std::size_t>(static_cast<std::size_t>(queued), max - got));
        int moreErr = kComOk;
        if (!ReadsAtOnce(port, true)) {
            if (got == 0) err = kComErrIo;
            return got;
        }
        got += Transfer(port.handle, port.readDone, false, dst + got, more, std::max(WaitMs(deadline), kQueuedWaitMs),
                        moreErr);
        if (moreErr != kComOk && moreErr != kComErrTimeout) err = moreErr;
    }
    return got;
}

int ComSession::FlushInNative() {
    Port &port = PortOf(native_);
    port.held.store(-1);
    return PurgeComm(port.handle, PURGE_RXCLEAR | PURGE_RXABORT) ? kComOk : kComErrSystem;
}

int ComSession::FlushOutNative() {
    return PurgeComm(PortOf(native_).handle, PURGE_TXCLEAR | PURGE_TXABORT) ? kComOk : kComErrSystem;
}

int ComSession::InQueueNative() {
    Port &port = PortOf(native_);
    const int queued = DriverQueue(port.handle);
    if (queued < 0) return queued;
    return queued + (port.held.load() >= 0 ? 1 : 0);
}

int ComSession::OutQueueNative() {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(PortOf(native_).handle, &errors, &status)) return 0;
    return static_cast<int>(std::min<DWORD>(status.cbOutQue, 0x7FFFFFFF));
}

// A read of one byte is the wait: the system serves it with its own wait on
// the device, under Wine as on Windows. The byte is held as the head of the
// queue for the next read, so nothing is taken from the caller's view.
int ComSession::WaitReadableNative(const Deadline &deadline) {
    Port &port = PortOf(native_);
    if (port.held.load() >= 0 || deadline.Expired()) return kComOk;
    unsigned char byte = 0;
    int err = kComOk;
    if (!ReadsAtOnce(port, false)) return kComErrIo;
    if (Transfer(port.handle, port.readDone, false, &byte, 1, WaitMs(deadline), err) == 1) {
        port.held.store(byte);
        return kComOk;
    }
    if (err == kComErrTimeout) return kComOk;
    return err != kComOk ? err : kComErrIo;  // nothing and no time-out: the line hung up
}

// Windows counts the UART's FIFO in the output queue: nothing is left.
int ComSession::DrainNative() { return kComOk; }

}  // namespace platform::detail

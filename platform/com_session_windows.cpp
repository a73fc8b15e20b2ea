// The serial port through the Win32 communications API: a handle opened
// without sharing (Windows lets one program have a port), DCB settings,
// and time-outs set for each read and write so that every wait ends by the
// caller's deadline inside the driver.
#include <windows.h>

#include <algorithm>

#include "platform/com_session.h"
#include "platform/system.h"
#include "platform/wide_windows.h"

namespace platform::detail {
namespace {

HANDLE Handle(std::intptr_t native) { return reinterpret_cast<HANDLE>(native); }

// Milliseconds left, for a time-out field: MAXDWORD means "no wait" to the
// driver in some fields, so the longest wait is one less.
DWORD WaitMs(const Deadline &deadline) {
    const int ms = deadline.PollMs();
    return static_cast<DWORD>(std::min<long long>(ms, MAXDWORD - 1));
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
    return kComOk;
}

// Reads return what has arrived at once, or wait up to ms for the first byte.
bool SetReadWait(HANDLE h, DWORD ms) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    t.ReadTotalTimeoutMultiplier = ms == 0 ? 0 : MAXDWORD;
    t.ReadTotalTimeoutConstant = ms;
    t.WriteTotalTimeoutConstant = 0;
    return SetCommTimeouts(h, &t) != 0;
}

bool SetWriteWait(HANDLE h, DWORD ms) {
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = MAXDWORD;
    t.WriteTotalTimeoutMultiplier = 0;
    t.WriteTotalTimeoutConstant = std::max<DWORD>(ms, 1);  // 0 would mean no limit at all
    return SetCommTimeouts(h, &t) != 0;
}

bool Status(HANDLE h, COMSTAT &status) {
    DWORD errors = 0;
    return ClearCommError(h, &errors, &status) != 0;
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
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
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
    if (GetFileType(h) != FILE_TYPE_CHAR) {
        CloseHandle(h);
        return kComErrCannotOpen;
    }
    const int rc = Configure(h, baud, parity, dataBits, stopBits, inQueueSize, outQueueSize);
    if (rc != kComOk || !SetReadWait(h, 0)) {
        CloseHandle(h);
        return rc != kComOk ? rc : kComErrCannotOpen;
    }
    PurgeComm(h, PURGE_RXCLEAR | PURGE_TXCLEAR | PURGE_RXABORT | PURGE_TXABORT);
    out.reset(new ComSession(reinterpret_cast<std::intptr_t>(h), nullptr, baud, parity, dataBits, stopBits));
    return kComOk;
}

void ComSession::CloseNative() {
    PurgeComm(Handle(native_), PURGE_TXCLEAR | PURGE_TXABORT);
    CloseHandle(Handle(native_));
}

int ComSession::WriteNative(const unsigned char *data, int count, const Deadline &deadline, int &err) {
    const HANDLE h = Handle(native_);
    int done = 0;
    while (done < count) {
        if (deadline.Expired()) {
            err = kComErrTimeout;
            break;
        }
        if (!SetWriteWait(h, WaitMs(deadline))) {
            err = kComErrIo;
            break;
        }
        DWORD written = 0;
        if (!WriteFile(h, data + done, static_cast<DWORD>(count - done), &written, nullptr)) {
            err = kComErrIo;
            break;
        }
        done += static_cast<int>(written);
        if (written == 0 && deadline.Expired()) err = kComErrTimeout;
    }
    return done;
}

std::size_t ComSession::ReadNative(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err) {
    const HANDLE h = Handle(native_);
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(max, 0x7FFFFFFF));
    for (;;) {
        if (!SetReadWait(h, deadline.Expired() ? 0 : WaitMs(deadline))) {
            err = kComErrIo;
            return 0;
        }
        DWORD got = 0;
        if (!ReadFile(h, dst, want, &got, nullptr)) {
            err = kComErrIo;
            return 0;
        }
        if (got > 0) return got;
        // The driver's wait ended with nothing; its clock and ours may
        // differ by a tick, so only our deadline says it is over.
        if (deadline.Expired()) {
            err = kComErrTimeout;
            return 0;
        }
    }
}

int ComSession::FlushInNative() {
    return PurgeComm(Handle(native_), PURGE_RXCLEAR | PURGE_RXABORT) ? kComOk : kComErrSystem;
}

int ComSession::FlushOutNative() {
    return PurgeComm(Handle(native_), PURGE_TXCLEAR | PURGE_TXABORT) ? kComOk : kComErrSystem;
}

int ComSession::InQueueNative() {
    COMSTAT status{};
    if (!Status(Handle(native_), status)) return kComErrSystem;
    return static_cast<int>(std::min<DWORD>(status.cbInQue, 0x7FFFFFFF));
}

int ComSession::OutQueueNative() {
    COMSTAT status{};
    if (!Status(Handle(native_), status)) return 0;
    return static_cast<int>(std::min<DWORD>(status.cbOutQue, 0x7FFFFFFF));
}

// A handle opened for plain (not overlapped) I/O has no wait for input
// with a time limit: the queue is looked at again each millisecond.
int ComSession::WaitReadableNative(const Deadline &deadline) {
    Delay(std::min(deadline.Remaining(), 0.001));
    return kComOk;
}

// Windows counts the UART's FIFO in the output queue: nothing is left.
int ComSession::DrainNative() { return kComOk; }

}  // namespace platform::detail

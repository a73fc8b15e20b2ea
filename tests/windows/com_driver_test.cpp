// The serial port against drivers that Wine's ports cannot play: a script
// stands in for the Win32 calls under the port (comm_api_windows.h) and
// answers as real drivers do, or fail to: a read that fails after its
// cancel with a count, a driver that counts queued bytes it does not give,
// a cancel that is ignored, a write that takes its wire time, a write that
// reports more than it was given.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/com.h"
#include "platform/comm_api_windows.h"
#include "platform/system.h"

namespace {

using platform::detail::CommApi;

const HANDLE kPortHandle = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(0x5EA1));
constexpr int kPort = 42;
constexpr double kCharSeconds = 10.0 / 38400;  // 8N1 at 38400 baud
constexpr int kSome = -1000;                   // a result: some of the bytes, not all

struct FakeTransfer {
    OVERLAPPED *overlapped = nullptr;
    unsigned char *buffer = nullptr;  // a read's
    DWORD count = 0;
    double startedAt = 0;
    double endsAt = -1;  // when it ends by itself; < 0: never
    bool ended = false, aborted = false;
    DWORD transferred = 0;
};

// What the driver does (set by a case) and what it saw (checked by it).
struct FakeDriver {
    bool hasCommState = true;
    std::string input;               // received, waiting to be read
    int reportedQueue = -1;          // what it says is queued; -1: the truth
    double byteComesAfter = -1;      // for a read waiting on an empty queue; < 0: nothing comes
    double writeSecondsPerByte = 0;  // 0: a write ends at once
    bool ignoresCancel = false;      // a transfer told to cancel goes on for ever
    DWORD countAfterCancel = 0;      // the count a cancelled read reports
    DWORD extraWriteCount = 0;       // reported beyond a write's size
    std::string written;
    std::vector<DWORD> purges;
    DCB dcb{};
    DWORD eventMask = 0;
    bool readsAtOnce = false;
    int readCalls = 0;
    int closes = 0;
    double closedAt = -1, lastWriteEndsAt = -1;
    FakeTransfer read, write;
};

FakeDriver *g_driver = nullptr;

FakeTransfer *TransferOf(const OVERLAPPED *overlapped) {
    if (g_driver->read.overlapped == overlapped) return &g_driver->read;
    if (g_driver->write.overlapped == overlapped) return &g_driver->write;
    return nullptr;
}

FakeTransfer *TransferWithEvent(HANDLE event) {
    for (FakeTransfer *t : {&g_driver->read, &g_driver->write})
        if (t->overlapped && t->overlapped->hEvent == event) return t;
    return nullptr;
}

void End(FakeTransfer &t, bool isRead) {
    t.ended = true;
    if (isRead) {
        t.buffer[0] = 'X';
        t.transferred = 1;
    } else {
        t.transferred = t.count;
    }
    SetEvent(t.overlapped->hEvent);
}

// Starts a transfer: ended at once (TRUE) or pending.
BOOL Start(FakeTransfer &t, OVERLAPPED *overlapped, unsigned char *buffer, DWORD count) {
    t = FakeTransfer{};
    t.overlapped = overlapped;
    t.buffer = buffer;
    t.count = count;
    t.startedAt = platform::Timer();
    ResetEvent(overlapped->hEvent);
    return TRUE;
}

BOOL Pending(FakeTransfer &t, double after) {
    t.endsAt = after < 0 ? -1 : t.startedAt + after;
    SetLastError(ERROR_IO_PENDING);
    return FALSE;
}

BOOL EndNow(FakeTransfer &t, DWORD transferred) {
    t.ended = true;
    t.transferred = transferred;
    SetEvent(t.overlapped->hEvent);
    return TRUE;
}

const CommApi kFake = {
    [](LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) -> HANDLE { return kPortHandle; },
    [](HANDLE) -> BOOL {
        ++g_driver->closes;
        g_driver->closedAt = platform::Timer();
        return TRUE;
    },
    [](HANDLE, LPVOID buffer, DWORD count, LPDWORD, LPOVERLAPPED overlapped) -> BOOL {
        FakeDriver &d = *g_driver;
        // A caller that loops on reads without end is stopped here, to fail
        // rather than hang.
        if (++d.readCalls > 10000) {
            SetLastError(ERROR_GEN_FAILURE);
            return FALSE;
        }
        Start(d.read, overlapped, static_cast<unsigned char *>(buffer), count);
        const DWORD n = std::min<DWORD>(count, static_cast<DWORD>(d.input.size()));
        if (n > 0 || d.readsAtOnce) {
            std::copy_n(d.input.begin(), n, d.read.buffer);
            d.input.erase(0, n);
            return EndNow(d.read, n);
        }
        return Pending(d.read, d.byteComesAfter);
    },
    [](HANDLE, LPCVOID buffer, DWORD count, LPDWORD, LPOVERLAPPED overlapped) -> BOOL {
        FakeDriver &d = *g_driver;
        Start(d.write, overlapped, nullptr, count);
        d.written.append(static_cast<const char *>(buffer), count);
        d.lastWriteEndsAt = d.write.startedAt + count * d.writeSecondsPerByte;
        if (d.writeSecondsPerByte == 0) return EndNow(d.write, count);
        return Pending(d.write, count * d.writeSecondsPerByte);
    },
    [](HANDLE event, DWORD ms) -> DWORD {
        FakeTransfer *t = TransferWithEvent(event);
        if (!t) return ::WaitForSingleObject(event, ms);
        if (t->ended) return WAIT_OBJECT_0;
        const double left = t->endsAt - platform::Timer();
        if (t->endsAt >= 0 && left * 1000 <= ms) {
            platform::Delay(left);
            End(*t, t == &g_driver->read);
            return WAIT_OBJECT_0;
        }
        platform::Delay(ms / 1000.0);
        return WAIT_TIMEOUT;
    },
    [](HANDLE, LPOVERLAPPED overlapped) -> BOOL {
        FakeTransfer *t = TransferOf(overlapped);
        if (!t || t->ended) return FALSE;
        if (g_driver->ignoresCancel) {
            t->endsAt = -1;
            return TRUE;
        }
        t->aborted = true;
        const bool isRead = t == &g_driver->read;
        const double elapsed = platform::Timer() - t->startedAt;
        const DWORD sent = g_driver->writeSecondsPerByte > 0
                               ? std::min<DWORD>(t->count, static_cast<DWORD>(elapsed / g_driver->writeSecondsPerByte))
                               : 0;
        EndNow(*t, isRead ? g_driver->countAfterCancel : sent);
        return TRUE;
    },
    [](HANDLE, LPOVERLAPPED overlapped, LPDWORD transferred, BOOL wait) -> BOOL {
        FakeTransfer *t = TransferOf(overlapped);
        if (!t) return FALSE;
        if (!t->ended) {
            // Waiting here on a transfer that never ends would hang the program.
            SetLastError(wait ? ERROR_GEN_FAILURE : ERROR_IO_INCOMPLETE);
            return FALSE;
        }
        *transferred = t->transferred + (t == &g_driver->write ? g_driver->extraWriteCount : 0);
        if (t->aborted) {
            SetLastError(ERROR_OPERATION_ABORTED);
            return FALSE;
        }
        return TRUE;
    },
    [](HANDLE, LPDCB dcb) -> BOOL {
        if (!g_driver->hasCommState) {
            SetLastError(ERROR_INVALID_FUNCTION);
            return FALSE;
        }
        *dcb = g_driver->dcb;
        return TRUE;
    },
    [](HANDLE, LPDCB dcb) -> BOOL {
        g_driver->dcb = *dcb;
        return TRUE;
    },
    [](HANDLE, LPCOMMTIMEOUTS timeouts) -> BOOL {
        g_driver->readsAtOnce = timeouts->ReadIntervalTimeout == MAXDWORD && timeouts->ReadTotalTimeoutConstant == 0;
        return TRUE;
    },
    [](HANDLE, DWORD mask) -> BOOL {
        g_driver->eventMask = mask;
        return TRUE;
    },
    [](HANDLE, DWORD, DWORD) -> BOOL { return TRUE; },
    [](HANDLE, LPDWORD errors, LPCOMSTAT status) -> BOOL {
        *errors = 0;
        *status = COMSTAT{};
        const int queued = g_driver->reportedQueue;
        status->cbInQue = queued >= 0 ? static_cast<DWORD>(queued) : static_cast<DWORD>(g_driver->input.size());
        return TRUE;
    },
    [](HANDLE, DWORD flags) -> BOOL {
        g_driver->purges.push_back(flags);
        if (flags & PURGE_RXCLEAR) g_driver->input.clear();
        return TRUE;
    },
};

class WindowsComDriver : public ::testing::Test {
protected:
    void SetUp() override {
        g_driver = &driver;
        platform::detail::UseCommApi(&kFake);
    }
    void TearDown() override {
        platform::CloseCom(kPort);
        platform::detail::UseCommApi(nullptr);
        g_driver = nullptr;
    }
    int Open(double timeout) {
        const int rc = platform::OpenComConfig(kPort, "", 38400, platform::kParityNone, 8, 1, 1024, 1024);
        if (rc == 0) platform::SetComTime(kPort, timeout);
        driver.purges.clear();
        return rc;
    }
    FakeDriver driver;
};

struct TransferCase {
    const char *what;
    void (*script)(FakeDriver &);
    bool write;  // else a read
    int count;
    double timeout;
    int result;        // of ComWrt or ComRd, or kSome
    int error;         // ReturnRS232Err()
    const char *data;  // what a read delivered
    double atMost;     // seconds the call may take
};

const TransferCase kTransfers[] = {
    {"a read waits for the byte that comes", [](FakeDriver &d) { d.byteComesAfter = 0.02; }, false, 1, 0.5, 1,
     platform::kComOk, "X", 0.3},
    {"queued bytes come at once", [](FakeDriver &d) { d.input = "ABC"; }, false, 3, 0.5, 3, platform::kComOk, "ABC",
     0.1},
    {"a read cancelled at its time-out delivers nothing, whatever count the driver reports",
     [](FakeDriver &d) { d.countAfterCancel = 1; }, false, 1, 0.05, 0, platform::kComErrTimeout, "", 0.3},
    {"a driver that counts bytes it does not give: the read ends at its time-out",
     [](FakeDriver &d) { d.reportedQueue = 3; }, false, 3, 0.05, 0, platform::kComErrTimeout, "", 0.3},
    {"a cancel the driver ignores: the port fails after a bounded wait", [](FakeDriver &d) { d.ignoresCancel = true; },
     false, 1, 0.05, platform::kComErrPortFailed, platform::kComErrPortFailed, "", 1.0},
    {"a write longer than the time-out's worth of wire time is sent whole",
     [](FakeDriver &d) { d.writeSecondsPerByte = kCharSeconds; }, true, 600, 0.1, 600, platform::kComOk, "", 0.5},
    {"a write never counts more than it was given", [](FakeDriver &d) { d.extraWriteCount = 5; }, true, 10, 0.1, 10,
     platform::kComOk, "", 0.1},
    {"a write the driver does not end within its wire time and time-out is cut short",
     [](FakeDriver &d) { d.writeSecondsPerByte = 0.01; }, true, 30, 0.1, kSome, platform::kComErrTimeout, "", 0.5},
};

TEST_F(WindowsComDriver, TransfersEndAsTheDriverLetsThem) {
    for (const TransferCase &c : kTransfers) {
        SCOPED_TRACE(c.what);
        driver = FakeDriver{};
        ASSERT_EQ(Open(c.timeout), 0);
        c.script(driver);  // after the open, which empties the queues
        std::string data(static_cast<std::size_t>(c.count), 'w');
        const double start = platform::Timer();
        const int n =
            c.write ? platform::ComWrt(kPort, data.data(), c.count) : platform::ComRd(kPort, data.data(), c.count);
        const double took = platform::Timer() - start;
        const int error = platform::ReturnRS232Err();
        if (c.result == kSome) {
            EXPECT_TRUE(n > 0 && n < c.count) << n;
        } else {
            EXPECT_EQ(n, c.result);
        }
        EXPECT_EQ(error, c.error);
        if (!c.write) {
            EXPECT_EQ(data.substr(0, static_cast<std::size_t>(std::max(n, 0))), c.data);
        }
        EXPECT_LE(took, c.atMost);
        EXPECT_LT(driver.readCalls, 10);
        platform::CloseCom(kPort);
    }
}

TEST_F(WindowsComDriver, APortWhoseCancelWasIgnoredStaysFailedAndClosesOnce) {
    driver.ignoresCancel = true;
    ASSERT_EQ(Open(0.05), 0);
    char byte;
    EXPECT_EQ(platform::ComRd(kPort, &byte, 1), platform::kComErrPortFailed);
    EXPECT_EQ(driver.closes, 1) << "the handle is closed at once";
    const double start = platform::Timer();
    EXPECT_EQ(platform::ComRdByte(kPort), platform::kComErrPortFailed);
    EXPECT_EQ(platform::ComWrt(kPort, "x", 1), platform::kComErrPortFailed);
    EXPECT_EQ(platform::WaitForInput(kPort, 1.0), platform::kComErrPortFailed);
    EXPECT_LT(platform::Timer() - start, 0.1) << "later calls fail at once";
    EXPECT_EQ(platform::CloseCom(kPort), 0);
    EXPECT_EQ(driver.closes, 1);
}

TEST_F(WindowsComDriver, TheCommunicationsStateDecidesWhetherADeviceIsAPort) {
    // No file type is asked: several virtual-COM drivers report none.
    EXPECT_EQ(Open(0.1), 0);
    platform::CloseCom(kPort);
    driver = FakeDriver{};
    driver.hasCommState = false;
    EXPECT_EQ(Open(0.1), platform::kComErrCannotOpen);
    EXPECT_EQ(driver.closes, 1);
    EXPECT_FALSE(platform::IsComOpen(kPort));
}

TEST_F(WindowsComDriver, ClosingAfterAWriteLetsTheLastBytesLeave) {
    ASSERT_EQ(Open(0.1), 0);
    const std::string frame(600, 'f');  // the driver takes it at once; the line needs 156 ms
    ASSERT_EQ(platform::ComWrt(kPort, frame.data(), 600), 600);
    const double written = platform::Timer();
    EXPECT_EQ(platform::CloseCom(kPort), 0);
    EXPECT_GE(driver.closedAt - written, 600 * kCharSeconds - 0.01);
    EXPECT_LT(driver.closedAt - written, 600 * kCharSeconds + 0.2);
    for (DWORD flags : driver.purges) EXPECT_EQ(flags & PURGE_TXCLEAR, 0u) << "nothing sent is purged";
    EXPECT_EQ(driver.written, frame);
}

TEST_F(WindowsComDriver, TheReplyTerminatorIsTheAdaptersEventCharacter) {
    ASSERT_EQ(Open(0.1), 0);
    EXPECT_EQ(platform::SetComEventChar(kPort, 0x01), 0);
    EXPECT_EQ(driver.dcb.EvtChar, 0x01);
    EXPECT_EQ(driver.dcb.BaudRate, 38400u) << "the rest of the settings stay";
    EXPECT_EQ(driver.dcb.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
    EXPECT_NE(driver.eventMask & EV_RXFLAG, 0u);
    EXPECT_EQ(platform::SetComEventChar(kPort, 256), platform::kComErrBadParameter);
}

}  // namespace

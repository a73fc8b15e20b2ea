// The serial-port table behind the COM port numbers.
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <mutex>

#include "platform/com.h"
#include "platform/com_session.h"
#include "platform/paths.h"
#include "platform/port_names.h"

namespace platform {
namespace {

using detail::ComSession;

// Ports may be used from more than one thread (a simulator on one port, the
// program on another): the table is locked, a session is shared so that a
// close during another thread's read cannot free it under that read.
struct ComTable {
    std::mutex lock;
    std::map<int, std::shared_ptr<ComSession>> open;
    std::map<int, ComDevice *> devices;
};

ComTable &Table() {
    static ComTable table;
    return table;
}

thread_local int lastError = kComOk;

int Fail(int err) {
    lastError = err;
    return err;
}

bool ValidPort(int port) { return port >= 1 && port <= 1000; }

// The session of an open port, or null with the error recorded.
std::shared_ptr<ComSession> Session(int port) {
    if (!ValidPort(port)) {
        lastError = kComErrInvalidPort;
        return nullptr;
    }
    ComTable &t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    const auto it = t.open.find(port);
    if (it == t.open.end()) {
        lastError = kComErrNotOpen;
        return nullptr;
    }
    return it->second;
}

// The device file for an open: the port's own, a "COMn" name, or a path.
std::string DeviceFor(int port, const char *deviceName) {
    if (!deviceName || !*deviceName) return ComDevicePath(port);
    if (const int named = ComNumber(deviceName)) return ComDevicePath(named);
    return HostPath(deviceName);
}

}  // namespace

int OpenComConfig(int port, const char *deviceName, long baud, int parity, int dataBits, int stopBits, int inQueueSize,
                  int outQueueSize) {
    if (!ValidPort(port)) return Fail(kComErrInvalidPort);
    // Parity 0..2 (none, odd, even); queue sizes are the driver's where the
    // system lets the program set them.
    if (!ComSession::ValidBaud(baud) || parity < kParityNone || parity > kParityEven || dataBits < 5 || dataBits > 8 ||
        (stopBits != 1 && stopBits != 2) || inQueueSize < 0 || outQueueSize < 0)
        return Fail(kComErrBadParameter);

    ComTable &t = Table();
    std::shared_ptr<ComSession> previous;
    ComDevice *device = nullptr;
    {
        std::lock_guard<std::mutex> guard(t.lock);
        // Opening an open port opens it anew with the new settings; the old
        // session must let go of the device first, or its lock would refuse.
        if (auto it = t.open.find(port); it != t.open.end()) {
            previous = std::move(it->second);
            t.open.erase(it);
        }
        if (auto it = t.devices.find(port); it != t.devices.end()) device = it->second;
    }
    previous.reset();

    std::unique_ptr<ComSession> session;
    if (device) {
        session = ComSession::OnDevice(device, baud, parity, dataBits, stopBits);
    } else {
        const std::string path = DeviceFor(port, deviceName);
        if (path.empty()) return Fail(kComErrNoDevice);
        const int rc =
            ComSession::OpenDevice(path, baud, parity, dataBits, stopBits, inQueueSize, outQueueSize, session);
        if (rc != kComOk) return Fail(rc);
    }
    {
        std::lock_guard<std::mutex> guard(t.lock);
        t.open[port] = std::move(session);
    }
    return Fail(kComOk);
}

int CloseCom(int port) {
    if (!ValidPort(port)) return Fail(kComErrInvalidPort);
    std::shared_ptr<ComSession> session;
    {
        ComTable &t = Table();
        std::lock_guard<std::mutex> guard(t.lock);
        const auto it = t.open.find(port);
        if (it == t.open.end()) return Fail(kComErrNotOpen);
        session = std::move(it->second);
        t.open.erase(it);
    }
    session.reset();  // closes the device unless another thread is still in a call on it
    return Fail(kComOk);
}

int SetComTime(int port, double seconds) {
    const auto s = Session(port);
    if (!s) return lastError;
    if (!std::isfinite(seconds) || seconds < 0) return Fail(kComErrBadParameter);
    s->timeout.store(seconds);
    return Fail(kComOk);
}

double GetComTime(int port) {
    const auto s = Session(port);
    if (!s) return -1;
    lastError = kComOk;
    return s->timeout.load();
}

int ComWrt(int port, const void *buffer, int count) {
    const auto s = Session(port);
    if (!s) return lastError;
    if (count < 0 || (count > 0 && !buffer)) return Fail(kComErrBadParameter);
    int err = kComOk;
    const int n = s->Write(static_cast<const unsigned char *>(buffer), count, err);
    lastError = err;
    return (err != kComOk && err != kComErrTimeout && n == 0) ? err : n;
}

int ComWrtByte(int port, int byte) {
    const unsigned char b = static_cast<unsigned char>(byte);
    const int n = ComWrt(port, &b, 1);
    if (n == 1) return 1;
    return lastError != kComOk ? lastError : Fail(kComErrIo);
}

int ComRd(int port, void *buffer, int count) {
    const auto s = Session(port);
    if (!s) return lastError;
    if (count < 0 || (count > 0 && !buffer)) return Fail(kComErrBadParameter);
    int err = kComOk;
    const int n = s->Read(static_cast<unsigned char *>(buffer), count, -1, err);
    lastError = err;
    return (err != kComOk && err != kComErrTimeout && n == 0) ? err : n;
}

int ComRdByte(int port) {
    unsigned char b = 0;
    const int n = ComRd(port, &b, 1);
    if (n == 1) return b;
    return lastError != kComOk ? lastError : Fail(kComErrIo);
}

int ComRdTerm(int port, void *buffer, int count, int terminator) {
    const auto s = Session(port);
    if (!s) return lastError;
    if (count < 0 || (count > 0 && !buffer) || terminator < 0 || terminator > 255) return Fail(kComErrBadParameter);
    int err = kComOk;
    const int n = s->Read(static_cast<unsigned char *>(buffer), count, terminator, err);
    lastError = err;
    return (err != kComOk && err != kComErrTimeout && n == 0) ? err : n;
}

int FlushInQ(int port) {
    const auto s = Session(port);
    return s ? Fail(s->FlushIn()) : lastError;
}

int FlushOutQ(int port) {
    const auto s = Session(port);
    return s ? Fail(s->FlushOut()) : lastError;
}

int GetInQLen(int port) {
    const auto s = Session(port);
    if (!s) return lastError;
    const int n = s->InQueue();
    lastError = n < 0 ? n : kComOk;
    return n;
}

int GetOutQLen(int port) {
    const auto s = Session(port);
    if (!s) return lastError;
    lastError = kComOk;
    return s->OutQueue();
}

int WaitSent(int port) {
    const auto s = Session(port);
    return s ? Fail(s->WaitSent()) : lastError;
}

int WaitForInput(int port, double seconds) {
    const auto s = Session(port);
    if (!s) return lastError;
    const int n = s->WaitInput(seconds);
    lastError = n < 0 ? n : kComOk;
    return n;
}

double LastWriteTime(int port) {
    const auto s = Session(port);
    if (!s) return -std::numeric_limits<double>::infinity();
    lastError = kComOk;
    return s->lastWrite.load();
}

int SetComEventChar(int port, int byte) {
    const auto s = Session(port);
    if (!s) return lastError;
    if (byte < 0 || byte > 255) return Fail(kComErrBadParameter);
    return Fail(s->SetEventChar(byte));
}

int ReturnRS232Err() { return lastError; }

bool IsComOpen(int port) {
    if (!ValidPort(port)) return false;
    ComTable &t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    return t.open.count(port) != 0;
}

void AttachComDevice(int port, ComDevice *device) {
    if (!ValidPort(port)) return;
    ComTable &t = Table();
    std::lock_guard<std::mutex> guard(t.lock);
    const auto it = t.devices.find(port);
    ComDevice *old = it == t.devices.end() ? nullptr : it->second;
    if (device)
        t.devices[port] = device;
    else if (it != t.devices.end())
        t.devices.erase(it);
    // A session still using a detached device would outlive it: close it.
    if (!device && old) {
        const auto open = t.open.find(port);
        if (open != t.open.end() && open->second->Device() == old) t.open.erase(open);
    }
}

}  // namespace platform

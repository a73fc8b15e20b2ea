#include "platform/com_session.h"

#include <algorithm>

#include "platform/system.h"

namespace platform::detail {

ComSession::ComSession(std::intptr_t native, ComDevice *device, long baud, int parity, int dataBits, int stopBits)
    : native_(native), device_(device) {
    const int bits = 1 + dataBits + (parity != kParityNone ? 1 : 0) + stopBits;
    charSeconds_ = baud > 0 ? static_cast<double>(bits) / static_cast<double>(baud) : 0.001;
}

ComSession::~ComSession() {
    if (native_ == -1) return;
    // Closing a port with output still queued can wait long (30 s by default
    // in Linux): send what can go within the time-out, drop the rest.
    WaitSent();
    CloseNative();
}

std::unique_ptr<ComSession> ComSession::OnDevice(ComDevice *device, long baud, int parity, int dataBits, int stopBits) {
    return std::unique_ptr<ComSession>(new ComSession(-1, device, baud, parity, dataBits, stopBits));
}

int ComSession::Write(const unsigned char *data, int count, int &err) {
    err = kComOk;
    if (count <= 0) return 0;
    if (device_) {
        device_->Write(data, static_cast<std::size_t>(count));
        lastWrite.store(Timer());
        return count;
    }
    // A write ends once its bytes have left (on Windows) or found room in the
    // driver: its time limit covers their wire time beside the time-out. A
    // line that takes nothing more for longer than that ends it sooner
    // (StallSeconds).
    const int n = WriteNative(data, count, Deadline(timeout.load() + count * charSeconds_), err);
    if (n > 0) lastWrite.store(Timer());
    return n;
}

std::size_t ComSession::ReadChunk(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err) {
    for (;;) {
        const std::size_t n =
            device_ ? device_->Read(dst, max, deadline.Remaining()) : ReadNative(dst, max, deadline, err);
        if (n > 0 || err != kComOk) return std::min(n, max);
        if (deadline.Expired()) {
            err = kComErrTimeout;
            return 0;
        }
        // A device or driver that returns at once when it has nothing must
        // not turn this into a spin.
        Delay(std::min(deadline.Remaining(), 0.001));
    }
}

int ComSession::Read(unsigned char *data, int count, int terminator, int &err) {
    err = kComOk;
    if (count <= 0) return 0;
    const Deadline deadline(timeout.load());
    int got = 0;
    if (terminator < 0) {
        while (got < count && err == kComOk)
            got += static_cast<int>(ReadChunk(data + got, static_cast<std::size_t>(count - got), deadline, err));
        return got;
    }
    // One byte at a time, so that nothing after the terminator is taken.
    while (got < count) {
        unsigned char byte;
        if (ReadChunk(&byte, 1, deadline, err) == 0) break;
        if (byte == static_cast<unsigned char>(terminator)) break;
        data[got++] = byte;
    }
    return got;
}

int ComSession::FlushIn() {
    if (!device_) return FlushInNative();
    device_->DiscardInput();
    return kComOk;
}

double ComSession::StallSeconds(int bytesAhead) const {
    return timeout.load() + std::max(bytesAhead, 0) * charSeconds_;
}

int ComSession::SetEventChar(int byte) { return device_ ? kComOk : SetEventCharNative(byte); }

int ComSession::FlushOut() { return device_ ? kComOk : FlushOutNative(); }

int ComSession::InQueue() {
    if (!device_) return InQueueNative();
    const std::size_t n = device_->Available();
    return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
}

int ComSession::OutQueue() { return device_ ? 0 : OutQueueNative(); }

int ComSession::WaitInput(double seconds) {
    const Deadline deadline(seconds);
    for (;;) {
        const int waiting = InQueue();
        if (waiting != 0 || deadline.Expired()) return waiting;
        if (device_) {
            // An in-process device cannot be polled: look again shortly.
            Delay(std::min(deadline.Remaining(), 0.001));
            continue;
        }
        if (const int err = WaitReadableNative(deadline); err != kComOk) return err;
    }
}

int ComSession::WaitSent() {
    if (device_) return kComOk;
    const int queued = OutQueue();
    // The time-out plus the time the queued bytes need on the wire.
    const Deadline deadline(timeout.load() + queued * charSeconds_);
    for (;;) {
        const int left = OutQueue();
        if (left <= 0) break;
        if (deadline.Expired()) return kComErrTimeout;
        Delay(std::min(deadline.Remaining(), std::max(0.001, left * charSeconds_)));
    }
    return DrainNative();
}

}  // namespace platform::detail

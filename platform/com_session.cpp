#include "platform/com_session.h"

#include "platform/serial_linux.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

#include <algorithm>
#include <cerrno>
#include <ctime>

namespace platform::detail {
namespace {

struct BaudRate {
    long baud;
    speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {50, B50},           {75, B75},           {110, B110},         {134, B134},         {150, B150},
    {200, B200},         {300, B300},         {600, B600},         {1200, B1200},       {1800, B1800},
    {2400, B2400},       {4800, B4800},       {9600, B9600},       {19200, B19200},     {38400, B38400},
    {57600, B57600},     {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000}, {1500000, B1500000},
    {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000}, {3500000, B3500000}, {4000000, B4000000},
};

bool FindSpeed(long baud, speed_t &speed) {
    for (const auto &r : kBaudRates) {
        if (r.baud == baud) {
            speed = r.speed;
            return true;
        }
    }
    return false;
}

void SleepSeconds(double s) {
    if (!(s > 0)) return;
    timespec ts{static_cast<time_t>(s), static_cast<long>((s - static_cast<time_t>(s)) * 1e9)};
    while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {}
}

int Configure(int fd, long baud, int parity, int dataBits, int stopBits) {
    speed_t speed;
    if (!FindSpeed(baud, speed)) return kComErrBadParameter;
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return kComErrCannotOpen;
    cfmakeraw(&tio);
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
#ifdef CMSPAR
    tio.c_cflag &= ~CMSPAR;
#endif
    tio.c_cflag |= CLOCAL | CREAD;
    switch (dataBits) {
    case 5: tio.c_cflag |= CS5; break;
    case 6: tio.c_cflag |= CS6; break;
    case 7: tio.c_cflag |= CS7; break;
    default: tio.c_cflag |= CS8; break;
    }
    if (parity == kParityOdd) tio.c_cflag |= PARENB | PARODD;
    if (parity == kParityEven) tio.c_cflag |= PARENB;
    if (stopBits == 2) tio.c_cflag |= CSTOPB;
    // Reads never block in the kernel: every wait happens in poll().
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0) return kComErrBadParameter;
    if (tcsetattr(fd, TCSANOW, &tio) != 0) return kComErrSystem;
    return kComOk;
}

// USB serial adapters hold received bytes for up to 16 ms (their latency
// timer) before passing them on, which adds that much to every reply. Low
// latency makes them pass bytes on at once. Pseudo-terminals and drivers
// without the setting refuse, which changes nothing.
void RequestLowLatency(int fd) {
#if defined(__linux__) && defined(TIOCGSERIAL) && defined(ASYNC_LOW_LATENCY)
    serial_struct serial{};
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0) return;
    if ((serial.flags & ASYNC_LOW_LATENCY) != 0) return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);
#else
    (void)fd;
#endif
}

}  // namespace

ComSession::ComSession(int fd, ComDevice *device, long baud, int parity, int dataBits, int stopBits)
    : fd_(fd), device_(device) {
    const int bits = 1 + dataBits + (parity != kParityNone ? 1 : 0) + stopBits;
    charSeconds_ = baud > 0 ? static_cast<double>(bits) / static_cast<double>(baud) : 0.001;
}

ComSession::~ComSession() {
    if (fd_ < 0) return;
    // close() of a serial port waits for unsent output (up to 30 s by default
    // in Linux): send what can go within the time-out, drop the rest.
    WaitSent();
    tcflush(fd_, TCOFLUSH);
    // A terminal that stays open elsewhere (a pseudo-terminal whose other
    // end lives on) would keep refusing everyone but the superuser.
    ioctl(fd_, TIOCNXCL);
    close(fd_);
}

int ComSession::OpenDevice(const std::string &path, long baud, int parity, int dataBits, int stopBits,
                           std::unique_ptr<ComSession> &out) {
    // O_NONBLOCK: the open must not wait for carrier detect. The descriptor
    // stays non-blocking: a blocking write to a terminal whose output is held
    // up could not be bounded by the time-out.
    // A program that keeps a UUCP lock file (minicom, for one) holds the port.
    if (UucpLockHolder(path) > 0) return kComErrInUse;
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case ENOTDIR: return kComErrNoDevice;
        case EBUSY: return kComErrInUse;
        case EACCES:
        case EPERM: ReportNoPermission(path); return kComErrNoPermission;
        default: return kComErrCannotOpen;
        }
    }
    // Another program (or another port number of this one) may hold it.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        close(fd);
        return err == EWOULDBLOCK ? kComErrInUse : kComErrCannotOpen;
    }
    if (!isatty(fd)) {
        close(fd);
        return kComErrCannotOpen;
    }
    ioctl(fd, TIOCEXCL);  // keeps out further opens; root is not kept out, flock is there for that
    RequestLowLatency(fd);
    const int rc = Configure(fd, baud, parity, dataBits, stopBits);
    if (rc != kComOk) {
        close(fd);
        return rc;
    }
    // Raise DTR and RTS as Windows does by default; pseudo-terminals have no
    // modem lines and refuse (ENOTTY), which is fine.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(fd, TIOCMBIS, &lines);
    tcflush(fd, TCIOFLUSH);
    out.reset(new ComSession(fd, nullptr, baud, parity, dataBits, stopBits));
    return kComOk;
}

bool ComSession::ValidBaud(long baud) {
    speed_t speed;
    return FindSpeed(baud, speed);
}

std::unique_ptr<ComSession> ComSession::OnDevice(ComDevice *device, long baud, int parity, int dataBits, int stopBits) {
    return std::unique_ptr<ComSession>(new ComSession(-1, device, baud, parity, dataBits, stopBits));
}

int ComSession::Write(const unsigned char *data, int count, int &err) {
    err = kComOk;
    if (count <= 0) return 0;
    if (device_) {
        device_->Write(data, static_cast<std::size_t>(count));
        return count;
    }
    const Deadline deadline(timeout.load());
    int done = 0;
    while (done < count) {
        const ssize_t n = write(fd_, data + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            err = kComErrIo;
            break;
        }
        pollfd p{fd_, POLLOUT, 0};
        const int r = deadline.Expired() ? 0 : poll(&p, 1, deadline.PollMs());
        if (r < 0 && errno == EINTR) continue;
        if (r == 0) {
            err = kComErrTimeout;
            break;
        }
        if (r < 0 || !(p.revents & POLLOUT)) {
            err = kComErrIo;
            break;
        }
    }
    return done;
}

std::size_t ComSession::ReadChunk(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err) {
    if (device_) {
        for (;;) {
            const std::size_t n = device_->Read(dst, max, deadline.Remaining());
            if (n > 0) return std::min(n, max);
            if (deadline.Expired()) {
                err = kComErrTimeout;
                return 0;
            }
            // A device that returns at once when it has nothing must not
            // turn this into a spin.
            SleepSeconds(std::min(deadline.Remaining(), 0.001));
        }
    }
    bool polledReady = false;
    for (;;) {
        const ssize_t n = read(fd_, dst, max);
        if (n > 0) return static_cast<std::size_t>(n);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            err = kComErrIo;
            return 0;
        }
        if (polledReady) {
            // poll() said readable but nothing came: the line hung up.
            err = kComErrIo;
            return 0;
        }
        pollfd p{fd_, POLLIN, 0};
        const int r = deadline.Expired() ? 0 : poll(&p, 1, deadline.PollMs());
        if (r < 0 && errno == EINTR) continue;
        if (r == 0) {
            err = kComErrTimeout;
            return 0;
        }
        if (r < 0 || !(p.revents & POLLIN)) {
            err = kComErrIo;
            return 0;
        }
        polledReady = true;
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
    if (device_) {
        device_->DiscardInput();
        return kComOk;
    }
    return tcflush(fd_, TCIFLUSH) == 0 ? kComOk : kComErrSystem;
}

int ComSession::FlushOut() {
    if (device_) return kComOk;
    return tcflush(fd_, TCOFLUSH) == 0 ? kComOk : kComErrSystem;
}

int ComSession::InQueue() {
    if (device_) {
        const std::size_t n = device_->Available();
        return n > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(n);
    }
    int n = 0;
    if (ioctl(fd_, FIONREAD, &n) != 0) return kComErrSystem;
    return n;
}

int ComSession::OutQueue() {
    if (device_) return 0;
    int n = 0;
    // Some terminals (pseudo-terminals among them) keep no count: nothing waits.
    if (ioctl(fd_, TIOCOUTQ, &n) != 0) return 0;
    return n;
}

int ComSession::WaitInput(double seconds) {
    const Deadline deadline(seconds);
    for (;;) {
        const int waiting = InQueue();
        if (waiting != 0 || deadline.Expired()) return waiting;
        if (device_) {
            // An in-process device cannot be polled: look again shortly.
            SleepSeconds(std::min(deadline.Remaining(), 0.001));
            continue;
        }
        pollfd p{fd_, POLLIN, 0};
        const int r = poll(&p, 1, deadline.PollMs());
        if (r < 0 && errno != EINTR) return kComErrSystem;
        if (r > 0 && !(p.revents & POLLIN)) return kComErrIo;  // the line hung up
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
        SleepSeconds(std::min(deadline.Remaining(), std::max(0.001, left * charSeconds_)));
    }
    // What remains is at most the UART's own FIFO.
    return tcdrain(fd_) == 0 || errno == ENOTTY || errno == EINVAL ? kComOk : kComErrSystem;
}

}  // namespace platform::detail

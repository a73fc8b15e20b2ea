// The serial port as a Linux terminal device: termios settings, a
// non-blocking descriptor, every wait in poll().
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

void ComSession::CloseNative() {
    const int fd = static_cast<int>(native_);
    tcflush(fd, TCOFLUSH);
    // A terminal that stays open elsewhere (a pseudo-terminal whose other
    // end lives on) would keep refusing everyone but the superuser.
    ioctl(fd, TIOCNXCL);
    close(fd);
}

int ComSession::OpenDevice(const std::string &path, long baud, int parity, int dataBits, int stopBits,
                           int /*inQueueSize*/, int /*outQueueSize*/, std::unique_ptr<ComSession> &out) {
    // The kernel keeps buffers of its own size: the queue sizes change nothing.
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

int ComSession::WriteNative(const unsigned char *data, int count, const Deadline &deadline, int &err) {
    const int fd = static_cast<int>(native_);
    int done = 0;
    while (done < count) {
        const ssize_t n = write(fd, data + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) {
            err = kComErrIo;
            break;
        }
        pollfd p{fd, POLLOUT, 0};
        const int waitMs = std::min(deadline.PollMs(), Deadline(StallSeconds(OutQueueNative())).PollMs());
        const int r = deadline.Expired() ? 0 : poll(&p, 1, waitMs);
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

std::size_t ComSession::ReadNative(unsigned char *dst, std::size_t max, const Deadline &deadline, int &err) {
    const int fd = static_cast<int>(native_);
    bool polledReady = false;
    for (;;) {
        const ssize_t n = read(fd, dst, max);
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
        pollfd p{fd, POLLIN, 0};
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

int ComSession::FlushInNative() { return tcflush(static_cast<int>(native_), TCIFLUSH) == 0 ? kComOk : kComErrSystem; }

int ComSession::FlushOutNative() { return tcflush(static_cast<int>(native_), TCOFLUSH) == 0 ? kComOk : kComErrSystem; }

int ComSession::InQueueNative() {
    int n = 0;
    if (ioctl(static_cast<int>(native_), FIONREAD, &n) != 0) return kComErrSystem;
    return n;
}

int ComSession::OutQueueNative() {
    int n = 0;
    // Some terminals (pseudo-terminals among them) keep no count: nothing waits.
    if (ioctl(static_cast<int>(native_), TIOCOUTQ, &n) != 0) return 0;
    return n;
}

int ComSession::WaitReadableNative(const Deadline &deadline) {
    pollfd p{static_cast<int>(native_), POLLIN, 0};
    const int r = poll(&p, 1, deadline.PollMs());
    if (r < 0 && errno != EINTR) return kComErrSystem;
    if (r > 0 && !(p.revents & POLLIN)) return kComErrIo;  // the line hung up
    return kComOk;
}

// Every adapter was asked for low latency when the port opened.
int ComSession::SetEventCharNative(int) { return kComOk; }

int ComSession::DrainNative() {
    // What remains is at most the UART's own FIFO.
    return tcdrain(static_cast<int>(native_)) == 0 || errno == ENOTTY || errno == EINVAL ? kComOk : kComErrSystem;
}

}  // namespace platform::detail

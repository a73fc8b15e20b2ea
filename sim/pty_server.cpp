#include "sim/pty_server.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/paths.h"
#include "platform/system.h"
#include "sim/poll_wait.h"

namespace sim {
namespace {

// Creates every missing folder of path.
bool MakeFolders(const std::string &path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        const std::string part = path.substr(0, at);
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

PtyServer::PtyServer(Instrument &instrument, const LineSettings &line) : line_(instrument, line) {}

PtyServer::~PtyServer() { Close(); }

bool PtyServer::Open(int comNumber, std::string *error) {
    const auto fail = [&](const std::string &why) {
        if (error) *error = why + (errno != 0 ? std::string(": ") + std::strerror(errno) : std::string());
        Close();
        return false;
    };
    errno = 0;
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return fail("cannot open a pseudo-terminal");
    const char *name = ptsname(master_);
    if (name == nullptr) return fail("no terminal name");
    terminal_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave_ < 0) return fail("cannot open " + terminal_);
    // Raw from the start: the terminal must not echo or translate anything
    // before the program sets it up itself.
    termios tio{};
    if (tcgetattr(slave_, &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(slave_, TCSANOW, &tio);
    }

    const std::string root = platform::DriveRoot();
    if (!MakeFolders(root)) return fail("cannot create " + root);
    link_ = root + "/com" + std::to_string(comNumber);
    struct stat st {};
    if (lstat(link_.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            const std::string taken = link_;
            link_.clear();
            errno = 0;
            return fail(taken + " exists and is not a link");
        }
        unlink(link_.c_str());
    }
    if (symlink(terminal_.c_str(), link_.c_str()) != 0) {
        link_.clear();
        return fail("cannot create the link");
    }
    return true;
}

void PtyServer::Close() {
    if (!link_.empty()) {
        // Only our own link goes: another simulator may have taken the name since.
        char target[4096];
        const ssize_t n = readlink(link_.c_str(), target, sizeof target - 1);
        if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == terminal_) unlink(link_.c_str());
        link_.clear();
    }
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
    slave_ = master_ = -1;
}

bool PtyServer::ReadRequests() {
    unsigned char buffer[4096];
    for (;;) {
        const ssize_t n = read(master_, buffer, sizeof buffer);
        if (n > 0) {
            if (modem_ != nullptr)
                modem_->Write(buffer, static_cast<std::size_t>(n), platform::Timer());
            else
                line_.Write(buffer, static_cast<std::size_t>(n), platform::Timer());
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        return n < 0 && errno == EAGAIN;
    }
}

void PtyServer::WriteDue() {
    unsigned char chunk[4096];
    const double now = platform::Timer();
    const std::size_t n = line_.Output().Take(now, chunk, sizeof chunk);
    std::size_t done = 0;
    // The program's side drains the terminal; a full one only delays us.
    while (done < n) {
        const ssize_t w = write(master_, chunk + done, n - done);
        if (w > 0) {
            done += static_cast<std::size_t>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        pollfd p{master_, POLLOUT, 0};
        if (poll(&p, 1, 100) <= 0) return;
    }
}

void PtyServer::Serve(int wakeFd) {
    if (modem_ != nullptr) modem_->Poll(platform::Timer());  // its clock starts now
    for (;;) {
        pollfd fds[2] = {{master_, POLLIN, 0}, {wakeFd, POLLIN, 0}};
        double next = line_.Output().NextArrival();
        if (modem_ != nullptr) next = std::min(next, modem_->NextEvent());
        const int r = PollFor(fds, 2, WaitUntil(next, platform::Timer()));
        if (r < 0 && errno != EINTR) return;
        if (wakeFd >= 0 && fds[1].revents != 0) return;
        if (fds[0].revents & POLLIN) {
            if (!ReadRequests()) return;
        } else if (fds[0].revents & (POLLHUP | POLLERR)) {
            return;
        }
        if (modem_ != nullptr) modem_->Poll(platform::Timer());
        WriteDue();
    }
}

}  // namespace sim

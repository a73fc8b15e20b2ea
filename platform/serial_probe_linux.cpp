// Whether a serial device can be opened now, and who holds it if not. What
// is in use is found from locks (UUCP lock files, /proc/locks) before the
// device is opened at all; opening it as a probe sets nothing on it.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/serial_linux.h"
#include "platform/serial_ports.h"

namespace platform::detail {
namespace {

// Bounds on what is read from the system while looking for a holder.
constexpr std::size_t kMaxLockFile = 64;
constexpr int kMaxLocksLines = 100000;
constexpr int kMaxFdEntries = 200000;

bool Alive(long pid) { return pid > 0 && pid <= INT_MAX && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM); }

// The pid a lock file holds: ten ASCII digits (HDB style) or, in old
// files, a binary int of four bytes.
long LockFilePid(const std::string &path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return 0;
    char bytes[kMaxLockFile];
    file.read(bytes, sizeof bytes);
    const std::size_t n = static_cast<std::size_t>(file.gcount());
    const std::string text(bytes, n);
    long pid = 0;
    if (n == sizeof(int) && text.find_first_not_of(" 0123456789\n") != std::string::npos) {
        int binary = 0;
        std::memcpy(&binary, bytes, sizeof binary);
        return binary;
    }
    std::istringstream(text) >> pid;
    return pid;
}

std::string ProcessName(int pid) {
    std::ifstream file("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(file, name);
    return name.substr(0, 64);
}

// The process holding a flock() on the device node, from /proc/locks.
int FlockHolder(const struct stat &node) {
    std::ifstream locks("/proc/locks");
    std::string line;
    for (int n = 0; n < kMaxLocksLines && std::getline(locks, line); ++n) {
        // "1: FLOCK  ADVISORY  WRITE 27644 00:19:3 0 EOF"; waiters have "->" after the number.
        std::istringstream fields(line);
        std::string number, kind, mode, access, where;
        long pid = 0;
        fields >> number >> kind;
        if (kind == "->") fields >> kind;
        if (!(fields >> mode >> access >> pid >> where) || kind != "FLOCK" || pid <= 0) continue;
        unsigned maj = 0, min = 0;
        unsigned long long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%llu", &maj, &min, &inode) != 3) continue;
        if (maj == major(node.st_dev) && min == minor(node.st_dev) && inode == node.st_ino && Alive(pid))
            return static_cast<int>(pid);
    }
    return 0;
}

// A process with the device open, found among the open files of the
// processes this user may look into; 0 when none is found.
int OpenedBy(dev_t number) {
    std::unique_ptr<DIR, int (*)(DIR *)> proc(opendir("/proc"), closedir);
    if (!proc) return 0;
    int examined = 0;
    while (const dirent *process = readdir(proc.get())) {
        const long pid = std::strtol(process->d_name, nullptr, 10);
        if (pid <= 0 || pid == getpid()) continue;
        const std::string fds = "/proc/" + std::string(process->d_name) + "/fd";
        std::unique_ptr<DIR, int (*)(DIR *)> dir(opendir(fds.c_str()), closedir);
        if (!dir) continue;
        while (const dirent *fd = readdir(dir.get())) {
            if (++examined > kMaxFdEntries) return 0;
            struct stat st;
            if (fd->d_name[0] == '.' || stat((fds + "/" + fd->d_name).c_str(), &st) != 0) continue;
            if (S_ISCHR(st.st_mode) && st.st_rdev == number) return static_cast<int>(pid);
        }
    }
    return 0;
}

PortStatus InUse(int pid) {
    PortStatus status;
    status.state = PortState::InUse;
    status.holderPid = pid;
    if (pid > 0) status.holderName = ProcessName(pid);
    return status;
}

}  // namespace

int UucpLockHolder(const std::string &devicePath) {
    std::string name = RealPath(devicePath);
    if (name.empty()) return 0;
    // "LCK..ttyUSB0"; a device in a folder of /dev ("pts/3") has its slashes as underscores.
    name = name.rfind("/dev/", 0) == 0 ? name.substr(5) : name.substr(name.rfind('/') + 1);
    for (char &c : name)
        if (c == '/') c = '_';
    for (const std::string &folder : SerialFolders().locks) {
        const long pid = LockFilePid(folder + "/LCK.." + name);
        if (Alive(pid)) return static_cast<int>(pid);
    }
    return 0;
}

std::string DeviceGroup(const std::string &devicePath) {
    struct stat st;
    if (stat(devicePath.c_str(), &st) != 0) return {};
    struct group entry {};
    struct group *found = nullptr;
    char buffer[4096];
    if (getgrgid_r(st.st_gid, &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr)
        return std::to_string(st.st_gid);
    return found->gr_name;
}

void ReportNoPermission(const std::string &devicePath) {
    const std::string group = DeviceGroup(devicePath);
    std::fprintf(stderr, "Cannot open %s: permission denied.", devicePath.c_str());
    if (!group.empty())
        std::fprintf(stderr,
                     " The device belongs to the group \"%s\": add your user to it"
                     " (sudo usermod -aG %s $USER) and log in again.",
                     group.c_str(), group.c_str());
    std::fprintf(stderr, "\n");
}

}  // namespace platform::detail

namespace platform {

PortStatus ProbeSerialDevice(const SerialDevice &device) {
    using namespace detail;
    PortStatus status;
    struct stat node;
    if (device.kernelName.empty() || stat(device.kernelName.c_str(), &node) != 0 || !S_ISCHR(node.st_mode) ||
        UartMissing(node.st_rdev))
        return status;  // absent
    if (const int pid = UucpLockHolder(device.kernelName)) return InUse(pid);
    if (const int pid = FlockHolder(node)) return InUse(pid);
    if (access(device.kernelName.c_str(), R_OK | W_OK) != 0) {
        status.state = PortState::NoPermission;
        status.group = DeviceGroup(device.kernelName);
        return status;
    }
    // Nothing holds a lock on it: an open shows whether a program keeps it
    // for itself (TIOCEXCL; the superuser is let past that, and only the
    // locks above hold against it).
    const int fd = open(device.kernelName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        switch (errno) {
        case EBUSY: return InUse(OpenedBy(node.st_rdev));
        case EACCES:
        case EPERM:
            status.state = PortState::NoPermission;
            status.group = DeviceGroup(device.kernelName);
            return status;
        case ENOENT:
        case ENXIO:
        case ENODEV:
        case EIO: return status;  // absent
        default: return InUse(0);
        }
    }
    // A lock /proc/locks did not show (another mount namespace, say).
    const bool held = flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    if (held) return InUse(OpenedBy(node.st_rdev));
    status.state = PortState::Free;
    return status;
}

}  // namespace platform

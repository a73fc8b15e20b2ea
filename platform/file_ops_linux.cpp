#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/drive_folder.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace platform {
namespace {

bool StatPath(std::string_view path, struct stat &st) {
    if (path.empty()) return false;
    const std::string host = HostPath(path);
    return stat(host.c_str(), &st) == 0;
}

int FromErrno(int err) {
    switch (err) {
    case ENOENT: return kPathErrNotFound;
    case ENOTDIR: return kPathErrIsFile;
    case EACCES:
    case EPERM:
    case EROFS: return kPathErrAccess;
    case ENOSPC:
    case EDQUOT: return kPathErrDiskFull;
    case EEXIST: return kPathErrExists;
    case ENAMETOOLONG:
    case EINVAL: return kPathErrInvalid;
    default: return kPathErrIo;
    }
}

}  // namespace

std::FILE *OpenRegularFile(const std::string &hostPath) {
    if (hostPath.empty()) return nullptr;
    // Opened without waiting, so a named pipe with no writer cannot hold the
    // program up; anything but a regular file is then refused.
    const int fd = ::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return nullptr;
    }
    std::FILE *file = ::fdopen(fd, "rb");
    if (!file) ::close(fd);
    return file;
}

bool FileExists(std::string_view path) {
    struct stat st;
    return StatPath(path, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(std::string_view path) {
    struct stat st;
    return StatPath(path, st) && S_ISDIR(st.st_mode);
}

bool SameFolder(std::string_view a, std::string_view b) {
    struct stat sa, sb;
    return StatPath(a, sa) && StatPath(b, sb) && S_ISDIR(sa.st_mode) && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

long long FileSize(std::string_view path) {
    struct stat st;
    if (!StatPath(path, st) || S_ISDIR(st.st_mode)) return -1;
    return static_cast<long long>(st.st_size);
}

int MakeDir(std::string_view path) {
    if (path.empty()) return kPathErrInvalid;
    detail::EnsureDriveFolder(path);
    const std::string host = HostPath(path);
    if (mkdir(host.c_str(), 0777) == 0) return 0;
    return FromErrno(errno);
}

int MakeDirs(std::string_view path) {
    if (path.empty()) return kPathErrInvalid;
    const std::string host = HostPath(path);
    const int err = detail::MakeHostDirs(host);
    return err == 0 ? 0 : FromErrno(err);
}

int MoveOver(std::string_view from, std::string_view to) {
    return rename(std::string(from).c_str(), std::string(to).c_str()) == 0 ? 0 : FromErrno(errno);
}

int GetDir(std::string &folder) {
    std::vector<char> buf(4096);
    for (int attempt = 0; attempt < 6; ++attempt) {
        if (getcwd(buf.data(), buf.size())) {
            folder.assign(buf.data());
            return 0;
        }
        if (errno != ERANGE) break;
        buf.resize(buf.size() * 2);
    }
    folder.clear();
    return FromErrno(errno);
}

int SetDir(std::string_view path) {
    if (path.empty()) return kPathErrInvalid;
    const std::string host = HostPath(path);
    if (chdir(host.c_str()) == 0) return 0;
    return FromErrno(errno);
}

}  // namespace platform

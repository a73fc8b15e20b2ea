#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/drive_folder.h"
#include "platform/paths.h"
#include "platform/textfile.h"

namespace platform {
namespace {

std::string FolderOf(const std::string &path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Makes the rename itself durable; a failure here does not undo it.
void SyncFolder(const std::string &folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

mode_t DefaultFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// open() with the given flags, kept only for a regular file, then made
// blocking again; -1 otherwise.
int OpenRegularForWriting(const std::string &hostPath, int flags) {
    const int fd = open(hostPath.c_str(), flags, 0666);
    if (fd < 0) return -1;
    struct stat st;
    const int now = fcntl(fd, F_GETFL);
    if (fstat(fd, &st) != 0 || now < 0 || fcntl(fd, F_SETFL, now & ~O_NONBLOCK) != 0) {
        close(fd);
        return -1;
    }
    if (!S_ISREG(st.st_mode)) {
        close(fd);
        errno = EINVAL;  // a device or a pipe, not a file
        return -1;
    }
    return fd;
}

}  // namespace

TextFileWriter::~TextFileWriter() {
    if (!file_) return;
    if (mode_ == Mode::AtomicReplace) {
        // Not closed: whatever was written is dropped, the old file stays.
        std::fclose(file_);
        file_ = nullptr;
        unlink(tempPath_.c_str());
    } else {
        Close();
    }
}

bool TextFileWriter::Open(std::string_view path, Mode mode, Encoding encoding) {
    if (file_) Close();
    failed_ = false;
    mode_ = mode;
    encoding_ = encoding;
    lastByte_ = '\0';
    finalPath_.clear();
    tempPath_.clear();
    reason_.clear();
    if (path.empty()) {
        reason_ = std::strerror(ENOENT);
        return false;
    }
    if (mode != Mode::Append) detail::EnsureDriveFolder(path);
    finalPath_ = HostPath(path);

    int fd = -1;
    switch (mode) {
    case Mode::Truncate: fd = open(finalPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666); break;
    // The file appended to belongs to other programs too: never waiting on
    // a named pipe, only a regular file is added to.
    case Mode::Append: fd = OpenRegularForWriting(finalPath_, O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK); break;
    case Mode::AtomicReplace: {
        std::string folder = FolderOf(finalPath_);
        const auto slash = finalPath_.rfind('/');
        const std::string base = slash == std::string::npos ? finalPath_ : finalPath_.substr(slash + 1);
        tempPath_ = folder + "/." + base + ".XXXXXX";
        fd = mkstemp(tempPath_.data());
        if (fd < 0) {
            tempPath_.clear();
            break;
        }
        // mkstemp makes the file private; give it the old file's permissions.
        struct stat st;
        fchmod(fd, stat(finalPath_.c_str(), &st) == 0 ? (st.st_mode & 07777) : DefaultFileMode());
        break;
    }
    }
    if (fd < 0) {
        reason_ = std::strerror(errno);
        return false;
    }
    file_ = fdopen(fd, mode == Mode::Append ? "ab" : "wb");
    if (!file_) {
        reason_ = std::strerror(errno);
        close(fd);
        if (!tempPath_.empty()) unlink(tempPath_.c_str());
        return false;
    }
    return true;
}

int TextFileWriter::Close() {
    if (!file_) return -1;
    bool ok = !failed_;
    // The first failure is the reason; a later one is its consequence.
    const auto fail = [&] {
        if (ok) reason_ = std::strerror(errno);
        ok = false;
    };
    if (std::fflush(file_) != 0) fail();
    if (ok && fsync(fileno(file_)) != 0) fail();
    if (std::fclose(file_) != 0) fail();
    file_ = nullptr;

    if (mode_ == Mode::AtomicReplace) {
        if (ok && rename(tempPath_.c_str(), finalPath_.c_str()) == 0) {
            SyncFolder(FolderOf(finalPath_));
        } else {
            if (ok) fail();
            unlink(tempPath_.c_str());
        }
        tempPath_.clear();
    }
    return ok ? 0 : -1;
}

}  // namespace platform

#include "platform/drive_folder.h"

#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <string>

#include "platform/paths.h"

namespace platform::detail {

bool IsDrivePath(std::string_view path) {
    if (path.empty() || path[0] == '/') return false;
    if (path[0] == '\\') return true;
    return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

int MakeHostDirs(const std::string &hostPath) {
    std::string partial;
    std::size_t pos = 0;
    while (pos <= hostPath.size()) {
        const std::size_t slash = hostPath.find('/', pos);
        const std::size_t end = slash == std::string::npos ? hostPath.size() : slash;
        partial = hostPath.substr(0, end);
        pos = end + 1;
        if (partial.empty()) continue;  // the leading '/'
        if (mkdir(partial.c_str(), 0777) != 0 && errno != EEXIST) return errno;
        if (slash == std::string::npos) break;
    }
    struct stat st;
    if (stat(hostPath.c_str(), &st) != 0) return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

void EnsureDriveFolder(std::string_view path) {
    if (!IsDrivePath(path)) return;
    const std::string drive = path[0] == '\\' ? std::string("C:") : std::string(path.substr(0, 2));
    const std::string folder = HostPath(drive);  // finds an existing folder in any letter case
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) return;
    MakeHostDirs(folder);
}

}  // namespace platform::detail

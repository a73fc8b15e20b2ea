// COMn on Linux: the device the link <drive root>/comN names, else the
// computer's own serial port /dev/ttyS<n-1>.
#include <unistd.h>

#include "platform/com.h"
#include "platform/name_lookup.h"
#include "platform/paths.h"

namespace platform {

std::string ComDevicePath(int port) {
    if (port < 1 || port > 1000) return {};
    const std::string root = DriveRoot();
    std::string found;
    if (detail::FindEntry(root, "com" + std::to_string(port), found)) {
        const std::string path = root + "/" + found;
        char target[4096];
        const ssize_t n = readlink(path.c_str(), target, sizeof target);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof target) return path;
        std::string t(target, static_cast<std::size_t>(n));
        return t[0] == '/' ? t : root + "/" + t;
    }
    return "/dev/ttyS" + std::to_string(port - 1);
}

}  // namespace platform

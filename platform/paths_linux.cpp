#include "platform/paths.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/name_lookup.h"

namespace platform {
namespace {

std::string Getenv(const char *name) {
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string StripTrailingSlashes(std::string s) {
    while (s.size() > 1 && s.back() == '/') s.pop_back();
    return s;
}

std::string HomeFolder() {
    std::string home = Getenv("HOME");
    if (!home.empty()) return home;
    if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return "/tmp";
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::vector<std::string_view> SplitComponents(std::string_view rest) {
    std::vector<std::string_view> parts;
    std::size_t i = 0;
    while (i < rest.size()) {
        while (i < rest.size() && IsSeparator(rest[i])) ++i;
        std::size_t j = i;
        while (j < rest.size() && !IsSeparator(rest[j])) ++j;
        if (j > i) parts.push_back(rest.substr(i, j - i));
        i = j;
    }
    return parts;
}

// Appends each component to `base`, taking the spelling found on disk while
// the folders exist; once one is missing the rest are appended as given.
std::string Resolve(std::string base, const std::vector<std::string_view> &parts) {
    bool lookUp = true;
    for (std::string_view part : parts) {
        std::string name(part);
        if (lookUp && part != "..") lookUp = detail::FindEntry(base, part, name);
        if (!base.empty() && base.back() != '/') base += '/';
        base += name;
    }
    return base;
}

}  // namespace

std::string DriveRoot() {
    std::string root = Getenv("VGX52_ROOT");
    if (!root.empty()) return StripTrailingSlashes(root);
    std::string xdg = Getenv("XDG_DATA_HOME");
    // Relative values are to be ignored, as the XDG base-directory rules say.
    if (!xdg.empty() && xdg[0] == '/') return StripTrailingSlashes(xdg) + "/vgx52";
    return StripTrailingSlashes(HomeFolder()) + "/.local/share/vgx52";
}

std::string HostPath(std::string_view path) {
    if (path.empty()) return {};
    const bool trailing = IsSeparator(path.back());

    if (path[0] == '/') {
        std::string host(path);
        std::replace(host.begin(), host.end(), '\\', '/');
        return host;
    }

    const bool hasDrive = path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
    const bool onDrive = hasDrive || path[0] == '\\';
    std::string_view rest = hasDrive ? path.substr(2) : path;

    std::vector<std::string_view> parts;
    for (std::string_view part : SplitComponents(rest)) {
        if (part == ".") continue;
        if (onDrive && part == "..") {
            // Windows stops ".." at the root of the drive.
            if (!parts.empty()) parts.pop_back();
            continue;
        }
        parts.push_back(part);
    }

    std::string result;
    if (onDrive) {
        const char drive = hasDrive ? static_cast<char>(std::tolower(static_cast<unsigned char>(path[0]))) : 'c';
        const std::string root = DriveRoot();
        std::string driveFolder;
        detail::FindEntry(root, std::string(1, drive), driveFolder);
        result = Resolve(root + "/" + driveFolder, parts);
    } else {
        result = Resolve(std::string(), parts);
        if (result.empty()) result = ".";
    }
    if (trailing && !parts.empty()) result += '/';
    return result;
}

std::string ProgramFile() {
    std::vector<char> buf(4096);
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0 || static_cast<std::size_t>(n) >= buf.size()) return {};
    return std::string(buf.data(), static_cast<std::size_t>(n));
}

std::string ProgramFolder() {
    const std::string exe = ProgramFile();
    const auto slash = exe.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

const char kFolderSeparator[] = "/";

std::string UserFilesFolder() { return {}; }

}  // namespace platform

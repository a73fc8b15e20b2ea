#include "ui/files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/paths.h"
#include "platform/textfile.h"
#include "ui/core.h"

namespace ui::detail {
namespace fs = std::filesystem;
namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// Walks the relative components below `base`, taking each one's spelling on
// disk when the exact one is absent.
std::string ResolveBelow(std::string base, std::string_view relative) {
    std::size_t i = 0;
    bool lookUp = true;
    while (i < relative.size()) {
        while (i < relative.size() && (relative[i] == '/' || relative[i] == '\\')) ++i;
        std::size_t j = i;
        while (j < relative.size() && relative[j] != '/' && relative[j] != '\\') ++j;
        if (j == i) break;
        std::string part(relative.substr(i, j - i));
        i = j;
        std::string dir = base.empty() ? std::string(".") : base;
        std::error_code ec;
        if (lookUp && part != "." && part != ".." && !fs::exists(fs::path(dir) / part, ec)) {
            lookUp = false;
            for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                const std::string name = it->path().filename().string();
                if (SameIgnoringCase(name, part)) {
                    part = name;
                    lookUp = true;
                    break;
                }
            }
        }
        if (!base.empty() && base.back() != '/' && base.back() != '\\') base += platform::kFolderSeparator;
        base += part;
    }
    return base;
}

}  // namespace

std::string ResolvePath(std::string_view name, RelativeTo relative) {
    if (name.empty()) return {};
    const bool hasDrive = name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0]));
    if (hasDrive || name[0] == '\\') return platform::HostPath(name);
    if (name[0] == '/') {
        // Host paths composed as folder + "\" + name; HostPath turns the
        // backslashes round but does not look for the letter case.
        const std::string host = platform::HostPath(name);
        std::error_code ec;
        if (fs::exists(host, ec)) return host;
        return ResolveBelow("/", std::string_view(host).substr(1));
    }
    if (relative == RelativeTo::CurrentFolder) {
        // A full path, so that a message about the file says where it is.
        std::string current;
        return ResolveBelow(platform::GetDir(current) == 0 ? current : std::string(), name);
    }
    std::string folder = core::S().projectFolder;
    if (folder.empty()) folder = platform::ProgramFolder();
    return ResolveBelow(folder, name);
}

int ReadWholeFile(const std::string &hostPath, std::size_t maxBytes, std::string &content) {
    content.clear();
    // Only a regular file: a folder or a named pipe is as good as absent.
    std::FILE *file = platform::OpenRegularFile(hostPath);
    if (!file) return UIE_NO_SUCH_FILE;
    char buf[8192];
    int rc = 0;
    for (;;) {
        const std::size_t got = std::fread(buf, 1, sizeof buf, file);
        if (got == 0) break;
        if (content.size() + got > maxBytes) {
            rc = UIE_BAD_FILE;
            break;
        }
        content.append(buf, got);
    }
    if (rc == 0 && std::ferror(file)) rc = UIE_BAD_FILE;
    std::fclose(file);
    if (rc != 0) content.clear();
    return rc;
}

}  // namespace ui::detail

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

#include "platform/name_lookup.h"

namespace platform::detail {

bool FindEntry(const std::string &dir, std::string_view name, std::string &found) {
    found.assign(name);
    const std::string exact = dir.empty() ? std::string(name) : dir + "/" + std::string(name);
    struct stat st;
    if (lstat(exact.c_str(), &st) == 0) return true;

    std::unique_ptr<DIR, int (*)(DIR *)> d(opendir(dir.empty() ? "." : dir.c_str()), closedir);
    if (!d) return false;
    const std::string want = FoldCase(name);
    bool any = false;
    while (const dirent *e = readdir(d.get())) {
        const std::string_view entry(e->d_name);
        if (entry == "." || entry == "..") continue;
        if (FoldCase(entry) != want) continue;
        // Several spellings may exist side by side; take the first in order
        // so that the choice does not depend on the directory's layout.
        if (!any || entry < found) found.assign(entry);
        any = true;
    }
    return any;
}

}  // namespace platform::detail

// Shared by the benchmarks: a drive root of their own, and the simulator
// program started next to them.
#pragma once
#include <stdlib.h>

#include <string>

namespace bench {

// A fresh temporary drive root, set as VGX52_ROOT for this process and the
// simulator it starts.
inline std::string UseTemporaryDriveRoot() {
    char pattern[] = "/tmp/vgx52-bench-XXXXXX";
    const char *made = mkdtemp(pattern);
    const std::string root = made != nullptr ? made : "/tmp";
    setenv("VGX52_ROOT", root.c_str(), 1);
    return root;
}

}  // namespace bench

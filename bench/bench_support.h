// Shared by the benchmarks: a drive root of their own, and the simulator
// program started next to them.
#pragma once
#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

namespace bench {

// A plain array: it must still be there when the removal runs at exit.
inline char g_root[64] = "";

inline void RemoveTemporaryDriveRoot() { std::filesystem::remove_all(g_root); }

// A fresh temporary drive root, set as VGX52_ROOT for this process and the
// simulator it starts; removed when the process ends.
inline std::string UseTemporaryDriveRoot() {
    std::strcpy(g_root, "/tmp/vgx52-bench-XXXXXX");
    if (mkdtemp(g_root) == nullptr)
        std::strcpy(g_root, "/tmp");
    else
        std::atexit(RemoveTemporaryDriveRoot);
    setenv("VGX52_ROOT", g_root, 1);
    return g_root;
}

}  // namespace bench

// <sys/resource.h> for the suites' Windows build, which has none: Windows
// has no open-files limit to lower, so the calls fail, and the cases that
// need them are left out of the Windows run (see CMakeLists.txt).
#pragma once

typedef unsigned long long rlim_t;
struct rlimit {
    rlim_t rlim_cur;
    rlim_t rlim_max;
};
#define RLIMIT_NOFILE 7

inline int getrlimit(int, rlimit *) { return -1; }
inline int setrlimit(int, const rlimit *) { return -1; }

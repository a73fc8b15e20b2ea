// The few POSIX calls the test suites use to arrange their surroundings
// (temporary folders, environment variables, the local time), for the
// suites' Windows build only: the build puts this before every file of a
// suite. The code under test never uses them.
#pragma once
#ifdef _WIN32
#include <direct.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <windows.h>

inline int setenv(const char *name, const char *value, int overwrite) {
    if (!overwrite && getenv(name)) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

inline int unsetenv(const char *name) { return _putenv_s(name, "") == 0 ? 0 : -1; }

inline struct tm *localtime_r(const time_t *t, struct tm *out) { return localtime_s(out, t) == 0 ? out : nullptr; }

inline int mkdir(const char *path, int /*mode*/) { return _mkdir(path); }

// Windows has no named pipes in its file system, and COM ports are not
// links in a drive root: the cases that make either are left out of the
// Windows run (see CMakeLists.txt).
inline int mkfifo(const char *, int) { return -1; }
inline int symlink(const char *, const char *) { return -1; }

// "/tmp/..." names a folder on the current drive; the test script makes it.
inline char *mkdtemp(char *pattern) {
    const size_t length = strlen(pattern);
    if (length < 6 || strcmp(pattern + length - 6, "XXXXXX") != 0) return nullptr;
    static const char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    unsigned long long seed = GetTickCount64() ^ (static_cast<unsigned long long>(GetCurrentProcessId()) << 32);
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = length - 6; i < length; ++i) {
            seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
            pattern[i] = kLetters[(seed >> 33) % (sizeof kLetters - 1)];
        }
        if (_mkdir(pattern) == 0) return pattern;
    }
    return nullptr;
}
#endif

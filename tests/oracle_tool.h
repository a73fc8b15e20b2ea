// What an oracle test does when its tool (python3 with intelhex or crcmod,
// avr-objcopy, srec_cat) is missing: on a developer's machine it is skipped;
// where CI is set it fails, since CI installs every oracle and a skip there
// would hide a missing install step.
//
//   if (!python.available) ORACLE_TOOL_MISSING("python3-crcmod is not installed");
#pragma once
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace oracle_tool {

// CI=true (or any value but "", "0" and "false") marks a CI run.
inline bool InCi() {
    const char *ci = std::getenv("CI");
    return ci != nullptr && *ci != '\0' && std::strcmp(ci, "0") != 0 && std::strcmp(ci, "false") != 0;
}

}  // namespace oracle_tool

// Ends the test (or its SetUp) either way.
#define ORACLE_TOOL_MISSING(why)                                                       \
    do {                                                                               \
        if (oracle_tool::InCi()) GTEST_FAIL() << why << " (required where CI is set)"; \
        GTEST_SKIP() << why;                                                           \
    } while (0)

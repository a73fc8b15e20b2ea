// An oracle test whose tool is missing fails where CI is set.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "../oracle_tool.h"

namespace {

void ToolMissing() { ORACLE_TOOL_MISSING("python3-crcmod is not installed"); }

TEST(OracleTool, MissingToolFailsWhereCiIsSet) {
    const char *was = std::getenv("CI");
    const std::string saved = was ? was : "";
    for (const char *ci : {"true", "1", "yes"}) {
        setenv("CI", ci, 1);
        EXPECT_FATAL_FAILURE(ToolMissing(), "python3-crcmod is not installed (required where CI is set)");
    }
    for (const char *ci : {"", "0", "false"}) {
        setenv("CI", ci, 1);
        EXPECT_FALSE(oracle_tool::InCi()) << '"' << ci << '"';
    }
    unsetenv("CI");
    EXPECT_FALSE(oracle_tool::InCi());
    if (was) setenv("CI", saved.c_str(), 1);
}

}  // namespace

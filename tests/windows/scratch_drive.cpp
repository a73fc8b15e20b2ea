// Linked into the Windows suites whose files lie at the program's fixed
// paths on the real drives (the maker's data folder, "C:\Korvi70.Kfg", ...).
// They run only where VGX52_SCRATCH_DRIVE=1 says the drives are scratch, as
// in the throw-away Wine prefix of scripts/test-windows; anywhere else every
// case is skipped, so that no operator's files are touched. Those places are
// cleared before and after each case, as a fresh drive root is on Linux.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

bool Scratch() {
    const char *flag = std::getenv("VGX52_SCRATCH_DRIVE");
    return flag && std::strcmp(flag, "1") == 0;
}

void ClearPlaces() {
    static const char *const kPlaces[] = {
        "C:\\Korvi70.Kfg",
        "C:\\ProgramData\\BRANDOLUX SoftWare Data",
        "C:\\Documents and Settings\\BRANDOLUX SoftWare Data",
        "P:\\Toolvane",
        "P:\\VGX52",
    };
    for (const char *place : kPlaces) {
        std::error_code ignored;
        std::filesystem::remove_all(place, ignored);
    }
}

class ScratchDrive : public ::testing::Environment {
public:
    void SetUp() override {
        if (!Scratch())
            GTEST_SKIP() << "these cases write the program's files on drive C: and P:; they run only where "
                            "VGX52_SCRATCH_DRIVE=1 says the drives are scratch (scripts/test-windows)";
    }
};

class ClearBetweenCases : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override {
        if (Scratch()) ClearPlaces();
    }
    void OnTestEnd(const ::testing::TestInfo &) override {
        if (Scratch()) ClearPlaces();
    }
};

const bool kRegistered = [] {
    ::testing::AddGlobalTestEnvironment(new ScratchDrive);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ClearBetweenCases);
    return true;
}();

}  // namespace

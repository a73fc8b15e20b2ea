// The reader against tools that know nothing of this program: HEX files made
// by avr-gcc/avr-objcopy and srec_cat, images made by python3-intelhex.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../oracle_tool.h"
#include "hex_text.h"
#include "upgrade/hex_reader.h"

#ifndef UPGRADE_TEST_SOURCE
#error "UPGRADE_TEST_SOURCE must name tests/upgrade"
#endif

namespace {

using namespace upgrade_test;

constexpr int kPage = 256;

// Exit status of a shell command; its output in *output.
int Run(const std::string &command, std::string *output) {
    std::FILE *pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return -1;
    char buffer[256];
    output->clear();
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) *output += buffer;
    const int status = pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HavePythonIntelHex() {
    std::string output;
    return Run("/usr/bin/python3 -c 'import intelhex' 2>/dev/null", &output) == 0;
}

// The files of make_hex_files.sh, made once for the whole run.
const std::string &Generated() {
    static const std::string folder = [] {
        const std::string out = TempFolder() + "/oracle";
        std::string output;
        const int rc = Run("bash '" UPGRADE_TEST_SOURCE "/make_hex_files.sh' '" + out + "' 2>&1", &output);
        if (rc == 77) return std::string();
        EXPECT_EQ(rc, 0) << output;
        return out;
    }();
    return folder;
}

struct OracleImage {
    std::vector<unsigned char> image;
    long highest = -1;
};

// limit: only the data below it, as the tool reads the file ("" = all).
OracleImage PythonImage(const std::string &hexPath, const std::string &limit = "") {
    OracleImage oracle;
    const std::string bin = hexPath + ".oracle.bin";
    std::string output;
    const int rc =
        Run("/usr/bin/python3 '" UPGRADE_TEST_SOURCE "/intelhex_image.py' '" + hexPath + "' '" + bin + "' " + limit,
            &output);
    EXPECT_EQ(rc, 0) << output;
    const std::string bytes = ReadFile(bin);
    oracle.image.assign(bytes.begin(), bytes.end());
    oracle.highest = std::stol(output.empty() ? "-1" : output);
    return oracle;
}

struct OurImage {
    int rc = -9;
    std::vector<unsigned char> image = std::vector<unsigned char>(UpLoad_RozmiarObrazu, 0);
    int pages = -1;
};

OurImage Load(const std::string &hexPath, int limit) {
    OurImage ours;
    ours.rc = UpLoad_OdczytajZbiorHEX(hexPath.c_str(), ours.image.data(), &ours.pages, kPage, limit);
    return ours;
}

// First differing address, or -1.
long FirstDifference(const std::vector<unsigned char> &a, const std::vector<unsigned char> &b) {
    if (a.size() != b.size()) return 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return static_cast<long>(i);
    return -1;
}

class HexOracle : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HavePythonIntelHex()) ORACLE_TOOL_MISSING("python3-intelhex is not installed");
    }
    // The tool-made file, or a skip when the tools are absent.
    std::string ToolFile(const char *name) {
        if (Generated().empty()) return {};
        return Generated() + "/" + name;
    }
};

TEST_F(HexOracle, AvrObjcopyImageAboveSixtyFourKib) {
    const std::string path = ToolFile("avr.hex");
    if (path.empty()) ORACLE_TOOL_MISSING("gcc-avr, binutils-avr or srecord is not installed");
    const std::string text = ReadFile(path);
    ASSERT_NE(text.find(":02000002"), std::string::npos) << "avr-objcopy wrote no segment address record";

    const OracleImage oracle = PythonImage(path);
    ASSERT_GT(oracle.highest, 0x10000);
    const OurImage ours = Load(path, UpLoad_RozmiarObrazu);
    ASSERT_EQ(ours.rc, 0) << UpLoad_LiniaBleduZbioru() << ": " << UpLoad_OpisBleduZbioru();
    EXPECT_EQ(FirstDifference(ours.image, oracle.image), -1);
    EXPECT_EQ(ours.pages, (oracle.highest + kPage) / kPage);

    // The upgrade's own limit is above this program: the same image.
    const OurImage limited = Load(path, 0x1E000);
    ASSERT_EQ(limited.rc, 0);
    EXPECT_EQ(FirstDifference(limited.image, oracle.image), -1);
}

TEST_F(HexOracle, AvrObjcopyEepromAndFuseSectionsAreLeftOut) {
    const std::string path = ToolFile("avr_eeprom.hex");
    if (path.empty()) ORACLE_TOOL_MISSING("gcc-avr, binutils-avr or srecord is not installed");
    const std::string text = ReadFile(path);
    ASSERT_NE(text.find(":02000004008179"), std::string::npos) << "avr-objcopy wrote no .eeprom section";
    ASSERT_NE(text.find(":02000004008278"), std::string::npos) << "avr-objcopy wrote no .fuse section";

    const OracleImage oracle = PythonImage(path, "0x1E000");
    ASSERT_GT(oracle.highest, 0);
    for (const int limit : {0x1E000, UpLoad_RozmiarObrazu}) {
        const OurImage ours = Load(path, limit);
        ASSERT_EQ(ours.rc, 0) << UpLoad_LiniaBleduZbioru() << ": " << UpLoad_OpisBleduZbioru();
        EXPECT_EQ(FirstDifference(ours.image, oracle.image), -1);
        EXPECT_EQ(ours.pages, (oracle.highest + kPage) / kPage);
    }
}

TEST_F(HexOracle, SrecCatLinearAddressesAndTheLoadLimit) {
    const std::string path = ToolFile("srec.hex");
    if (path.empty()) ORACLE_TOOL_MISSING("gcc-avr, binutils-avr or srecord is not installed");
    ASSERT_NE(ReadFile(path).find(":020000040001F9"), std::string::npos) << "srec_cat wrote no linear address";

    const OracleImage oracle = PythonImage(path);
    const OurImage ours = Load(path, UpLoad_RozmiarObrazu);
    ASSERT_EQ(ours.rc, 0) << UpLoad_LiniaBleduZbioru() << ": " << UpLoad_OpisBleduZbioru();
    EXPECT_EQ(FirstDifference(ours.image, oracle.image), -1);
    EXPECT_EQ(ours.pages, (oracle.highest + kPage) / kPage);

    // With the upgrade's limit the records from 0x1E000 on (32-byte aligned,
    // so none starts below and reaches over it) are left out.
    ASSERT_GE(oracle.highest, 0x1E000);
    std::vector<unsigned char> expected = oracle.image;
    for (std::size_t a = 0x1E000; a < expected.size(); ++a) expected[a] = 0xFF;
    const OurImage limited = Load(path, 0x1E000);
    ASSERT_EQ(limited.rc, 0);
    EXPECT_EQ(FirstDifference(limited.image, expected), -1);
    EXPECT_EQ(limited.pages, 480);
}

TEST_F(HexOracle, RecordAcrossSixtyFourKibIsBasePlusOffset) {
    const std::string path =
        WriteTempFile("straddle.hex", Join({LinearRecord(0), DataRecord(0xFFF0, Pattern(0xFFF0, 32)), LinearRecord(1),
                                            DataRecord(0x0010, Pattern(0x10010, 32)), SegmentRecord(0x1000),
                                            DataRecord(0xFFF8, Pattern(0x1FFF8, 8)), EndRecord()}));
    const OracleImage oracle = PythonImage(path);
    const OurImage ours = Load(path, UpLoad_RozmiarObrazu);
    ASSERT_EQ(ours.rc, 0);
    EXPECT_EQ(FirstDifference(ours.image, oracle.image), -1);
    EXPECT_EQ(ours.pages, (oracle.highest + kPage) / kPage);
}

}  // namespace

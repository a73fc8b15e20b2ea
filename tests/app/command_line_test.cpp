#include <gtest/gtest.h>

#include <string_view>
#include <utility>
#include <vector>

#include "app/command_line.h"
#include "app/text_scan.h"

namespace {

app::CommandLine Scan(std::vector<const char *> args) {
    args.insert(args.begin(), "vgx52");
    return app::ScanCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(AppCommandLine, PortArgumentInAnyCaseWithLeadingBlanks) {
    EXPECT_EQ(Scan({"port:5"}).port, 5);
    EXPECT_EQ(Scan({"port:5"}).portGiven, 1);
    EXPECT_EQ(Scan({"PORT:5"}).port, 5);
    EXPECT_EQ(Scan({"PoRt:7"}).port, 7);
    EXPECT_EQ(Scan({"port:  9"}).port, 9);
    EXPECT_EQ(Scan({"port:\t3"}).port, 3);
    // Digits end the number; what follows them does not matter.
    EXPECT_EQ(Scan({"port:4x"}).port, 4);
}

TEST(AppCommandLine, PortNumberIsNotRangeChecked) {
    EXPECT_EQ(Scan({"port:12"}).port, 12);
    EXPECT_EQ(Scan({"port:0"}).port, 0);
    EXPECT_EQ(Scan({"port:0"}).portGiven, 1);
    EXPECT_EQ(Scan({"port:-3"}).port, -3);
    EXPECT_EQ(Scan({"port:1000"}).port, 1000);
}

TEST(AppCommandLine, PortWithoutNumberIsIgnored) {
    for (const char *arg : {"port:", "port:x5", "port: ", "port:-", "port:99999999999"}) {
        auto c = Scan({arg});
        EXPECT_EQ(c.portGiven, 0) << arg;
        EXPECT_EQ(c.port, 1) << arg;
    }
}

TEST(AppCommandLine, PortOnlyAtTheStartOfAnArgument) {
    EXPECT_EQ(Scan({"xport:5"}).portGiven, 0);
    EXPECT_EQ(Scan({"--port:5"}).portGiven, 0);
    EXPECT_EQ(Scan({" port:5"}).portGiven, 0);
    EXPECT_EQ(Scan({"port5"}).portGiven, 0);
    EXPECT_EQ(Scan({"por"}).portGiven, 0);
}

TEST(AppCommandLine, EveryArgumentIsScannedAndTheLastPortWins) {
    auto c = Scan({"port:3", "port:4"});
    EXPECT_EQ(c.port, 4);
    EXPECT_EQ(c.portGiven, 1);
    // A later "port:" without a number keeps the earlier number.
    c = Scan({"port:3", "port:"});
    EXPECT_EQ(c.port, 3);
    EXPECT_EQ(c.portGiven, 1);
    c = Scan({"port:6", "associate", "port:8"});
    EXPECT_EQ(c.port, 8);
    EXPECT_EQ(c.associate, 1);
}

TEST(AppCommandLine, AssociateAnywhereInAnyCase) {
    EXPECT_EQ(Scan({"associate"}).associate, 1);
    EXPECT_EQ(Scan({"ASSOCIATE"}).associate, 1);
    EXPECT_EQ(Scan({"/reassociated"}).associate, 1);
    EXPECT_EQ(Scan({"port:2", "xAssociateY"}).associate, 1);
    EXPECT_EQ(Scan({"associat"}).associate, 0);
    EXPECT_EQ(Scan({}).associate, 0);
    // Both words in one argument count for both.
    auto c = Scan({"port:5associate"});
    EXPECT_EQ(c.port, 5);
    EXPECT_EQ(c.associate, 1);
}

TEST(AppCommandLine, ProgramNameIsNotAnArgument) {
    const char *args[] = {"port:5associate"};
    auto c = app::ScanCommandLine(1, args);
    EXPECT_EQ(c.portGiven, 0);
    EXPECT_EQ(c.associate, 0);
    EXPECT_EQ(app::ScanCommandLine(0, nullptr).portGiven, 0);
}

TEST(AppTextScan, RealsAndIntegersStopWhereTheNumberEnds) {
    std::string_view s = "  12.5e1rest";
    double d = 0;
    ASSERT_TRUE(app::ScanReal(s, d));
    EXPECT_DOUBLE_EQ(d, 125.0);
    EXPECT_EQ(s, "rest");

    const std::pair<const char *, double> reals[] = {{".5", 0.5},    {"+0.5", 0.5},   {"5.", 5.0},
                                                     {"5e-1x", 0.5}, {"0.5E+0", 0.5}, {"-7", -7.0}};
    for (auto [text, expected] : reals) {
        std::string_view t = text;
        double v = 0;
        EXPECT_TRUE(app::ScanReal(t, v)) << text;
        EXPECT_DOUBLE_EQ(v, expected) << text;
    }
    for (const char *text : {"", "  ", ".", "-", "+.", "e5", "nan", "inf", "1e999", "x1"}) {
        std::string_view t = text;
        double v = 7;
        EXPECT_FALSE(app::ScanReal(t, v)) << text;
        EXPECT_EQ(v, 7) << text;
        EXPECT_EQ(t, text) << "nothing consumed on failure";
    }
    // An exponent without digits is not part of the number.
    std::string_view t = "2e+";
    ASSERT_TRUE(app::ScanReal(t, d));
    EXPECT_EQ(d, 2.0);
    EXPECT_EQ(t, "e+");

    std::string_view i = "2147483647 -2147483648";
    int n = 0;
    ASSERT_TRUE(app::ScanInt(i, n));
    EXPECT_EQ(n, 2147483647);
    ASSERT_TRUE(app::ScanInt(i, n));
    EXPECT_EQ(n, -2147483647 - 1);
    std::string_view big = "2147483648";
    EXPECT_FALSE(app::ScanInt(big, n));
}

}  // namespace

#include "toolvane/time2000.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../oracle_tool.h"
#include "python_oracle.h"

namespace {

Toolvane_tm2000 Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return Toolvane_tm2000{second, minute, hour, day, month, year - 2000, -1};
}

Toolvane_tm2000 FromSeconds(std::uint32_t seconds) {
    Toolvane_tm2000 tm;
    std::memset(&tm, 0x7F, sizeof tm);
    Toolvane_gmtime2000(seconds, &tm);
    return tm;
}

void ExpectFields(const Toolvane_tm2000 &tm, int year, int month, int day, int hour, int minute, int second) {
    EXPECT_EQ(tm.year, year - 2000);
    EXPECT_EQ(tm.month, month);
    EXPECT_EQ(tm.day, day);
    EXPECT_EQ(tm.hour, hour);
    EXPECT_EQ(tm.minute, minute);
    EXPECT_EQ(tm.second, second);
}

TEST(Time2000, CalendarToSecondsAtKnownDates) {
    auto t = Date(2000, 1, 1);
    EXPECT_EQ(Toolvane_mktime2000(&t), 0u);
    t = Date(2000, 3, 1);
    EXPECT_EQ(Toolvane_mktime2000(&t), 5184000u);
    t = Date(2001, 1, 1);
    EXPECT_EQ(Toolvane_mktime2000(&t), 31622400u);
    t = Date(2004, 1, 1);
    EXPECT_EQ(Toolvane_mktime2000(&t), 126230400u);
    t = Date(2099, 12, 31, 23, 59, 59);
    EXPECT_EQ(Toolvane_mktime2000(&t), 3155759999u);
    EXPECT_EQ(Toolvane_mktime2000(nullptr), 0u);
}

TEST(Time2000, SecondsToCalendarAtKnownInstants) {
    auto tm = FromSeconds(0);
    ExpectFields(tm, 2000, 1, 1, 0, 0, 0);
    EXPECT_EQ(tm.weekday, 5);  // Saturday
    tm = FromSeconds(5183999);
    ExpectFields(tm, 2000, 2, 29, 23, 59, 59);
    tm = FromSeconds(31622400);
    ExpectFields(tm, 2001, 1, 1, 0, 0, 0);
    EXPECT_EQ(tm.weekday, 0);  // Monday
    tm = FromSeconds(3155759999u);
    ExpectFields(tm, 2099, 12, 31, 23, 59, 59);
    EXPECT_EQ(tm.weekday, 3);             // Thursday
    Toolvane_gmtime2000(12345, nullptr);  // must not crash
}

// Past 2099 the four-year rule still decides the dates a 32-bit count
// reaches: 2100 is a leap year here (unlike the Gregorian calendar).
TEST(Time2000, FourYearRuleHoldsPast2099UpToTheLastCount) {
    struct Case {
        std::uint32_t seconds;
        int year, month, day, hour, minute, second, weekday;
    };
    const Case cases[] = {
        {3160857600u, 2100, 2, 29, 0, 0, 0, 0},     // the leap day of 2100, a Monday
        {3160943999u, 2100, 2, 29, 23, 59, 59, 0},  // its last second
        {3160944000u, 2100, 3, 1, 0, 0, 0, 1},      // the day after it
        {4294967295u, 2136, 2, 6, 6, 28, 15, 1},    // the last second a count holds, a Tuesday
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.seconds);
        const Toolvane_tm2000 tm = FromSeconds(c.seconds);
        ExpectFields(tm, c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(tm.weekday, c.weekday);
        auto back = Date(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(Toolvane_mktime2000(&back), c.seconds);
    }
}

TEST(Time2000, FieldsBeyondTheirRangesAddTheirSeconds) {
    auto t = Date(2000, 1, 32);
    auto expected = Date(2000, 2, 1);
    EXPECT_EQ(Toolvane_mktime2000(&t), Toolvane_mktime2000(&expected));
    t = Date(2003, 12, 31, 24, 0, 0);
    expected = Date(2004, 1, 1);
    EXPECT_EQ(Toolvane_mktime2000(&t), Toolvane_mktime2000(&expected));
    t = Date(2010, 6, 1, 0, 0, 86400 * 3);
    expected = Date(2010, 6, 4);
    EXPECT_EQ(Toolvane_mktime2000(&t), Toolvane_mktime2000(&expected));
    t = Date(2000, 1, 1, 0, 0, -1);  // wraps modulo 2^32
    EXPECT_EQ(Toolvane_mktime2000(&t), 0xFFFFFFFFu);
}

TEST(Time2000, MonthOutsideTheYearCarriesIntoTheYear) {
    auto t = Date(2003, 13, 1);
    auto expected = Date(2004, 1, 1);
    EXPECT_EQ(Toolvane_mktime2000(&t), Toolvane_mktime2000(&expected));
    t = Date(2004, 0, 15);
    expected = Date(2003, 12, 15);
    EXPECT_EQ(Toolvane_mktime2000(&t), Toolvane_mktime2000(&expected));
    t = Date(2001, 1 + 12 * 3 + 2, 10);  // three years and two months on
    expected = Date(2004, 3, 10);
    EXPECT_EQ(Toolvane_mktime2000(&t), Toolvane_mktime2000(&expected));
    t = Date(2000, 1, 1);
    t.month = 2147483647;  // no overflow, no table overrun
    (void)Toolvane_mktime2000(&t);
    t.month = -2147483647 - 1;
    (void)Toolvane_mktime2000(&t);
}

TEST(Time2000, InverseForOneInstantOfEveryDayOfTheRange) {
    const std::uint32_t days = 36525;  // 2000-01-01 .. 2099-12-31
    for (std::uint32_t d = 0; d < days; ++d) {
        const std::uint32_t seconds = d * 86400u + (d * 7919u) % 86400u;
        const Toolvane_tm2000 tm = FromSeconds(seconds);
        ASSERT_EQ(Toolvane_mktime2000(&tm), seconds) << "day " << d;
        ASSERT_EQ(tm.weekday, static_cast<int>((d + 5) % 7));
    }
}

// Python's calendar.timegm serves as the independent calendar.
TEST(Time2000, AgreesWithPythonAtEveryMonthBoundary) {
    const auto python = toolvane_test::RunPython(
        "import calendar\n"
        "base = calendar.timegm((2000, 1, 1, 0, 0, 0))\n"
        "for y in range(2000, 2100):\n"
        "    for m in range(1, 13):\n"
        "        print(y, m, calendar.timegm((y, m, 1, 0, 0, 0)) - base, calendar.monthrange(y, m)[1])\n",
        {}, "calendar");
    if (!python.available) ORACLE_TOOL_MISSING("/usr/bin/python3 is not installed");
    ASSERT_TRUE(python.ok);
    ASSERT_EQ(python.lines.size(), 1200u);
    int previousMonthLength = 31;  // December 1999
    for (const std::string &line : python.lines) {
        std::istringstream in(line);
        int year = 0, month = 0, length = 0;
        std::uint32_t start = 0;
        in >> year >> month >> start >> length;
        const auto record = Date(year, month, 1);
        ASSERT_EQ(Toolvane_mktime2000(&record), start) << line;
        ExpectFields(FromSeconds(start), year, month, 1, 0, 0, 0);
        if (start > 0) {
            const Toolvane_tm2000 before = FromSeconds(start - 1);
            EXPECT_EQ(before.day, previousMonthLength) << line;
            EXPECT_EQ(before.month, month == 1 ? 12 : month - 1) << line;
            EXPECT_EQ(before.hour * 3600 + before.minute * 60 + before.second, 86399) << line;
        }
        previousMonthLength = length;
    }
}

TEST(Time2000, AgreesWithPythonAtRandomInstants) {
    std::mt19937 random(2000);
    const std::uint32_t end = 3155760000u;  // 2100-01-01
    std::vector<std::uint32_t> instants;
    std::vector<std::string> input;
    for (int n = 0; n < 5000; ++n) {
        instants.push_back(static_cast<std::uint32_t>(random() % end));
        input.push_back(std::to_string(instants.back()));
    }
    const auto python = toolvane_test::RunPython(
        "import calendar, sys, time\n"
        "base = calendar.timegm((2000, 1, 1, 0, 0, 0))\n"
        "for line in open(sys.argv[1]):\n"
        "    t = time.gmtime(base + int(line))\n"
        "    print(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_wday)\n",
        input, "calendar");
    if (!python.available) ORACLE_TOOL_MISSING("/usr/bin/python3 is not installed");
    ASSERT_TRUE(python.ok);
    ASSERT_EQ(python.lines.size(), instants.size());
    for (size_t n = 0; n < instants.size(); ++n) {
        std::istringstream in(python.lines[n]);
        int year, month, day, hour, minute, second, weekday;
        in >> year >> month >> day >> hour >> minute >> second >> weekday;
        const Toolvane_tm2000 tm = FromSeconds(instants[n]);
        SCOPED_TRACE(python.lines[n]);
        ExpectFields(tm, year, month, day, hour, minute, second);
        EXPECT_EQ(tm.weekday, weekday);  // Monday = 0 in both
        const auto record = Date(year, month, day, hour, minute, second);
        EXPECT_EQ(Toolvane_mktime2000(&record), instants[n]);
    }
}

// Formats with a guard band after the 20 characters the text may use.
struct Formatted {
    int result;
    std::string text;
    bool guardIntact;
};

Formatted Format(double seconds, int mode) {
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    buffer[19] = '\0';
    Formatted f;
    f.result = Toolvane_SekundyDoSTRINGa(seconds, buffer, mode);
    f.text.assign(buffer, strnlen(buffer, 20));
    f.guardIntact = true;
    for (size_t i = 20; i < sizeof buffer; ++i) f.guardIntact = f.guardIntact && buffer[i] == '#';
    return f;
}

TEST(DurationText, ModeZeroAlwaysShowsHoursMinutesSeconds) {
    EXPECT_EQ(Format(5, 0).text, "00:00:05");
    EXPECT_EQ(Format(0, 0).text, "00:00:00");
    EXPECT_EQ(Format(90061, 0).text, "1 day 01:01:01");
    EXPECT_EQ(Format(172800, 0).text, "2 days 00:00:00");
    EXPECT_EQ(Format(86399, 0).text, "23:59:59");
}

TEST(DurationText, ModeOneDropsLeadingZeroFields) {
    EXPECT_EQ(Format(5, 1).text, "05");
    EXPECT_EQ(Format(0, 1).text, "00");
    EXPECT_EQ(Format(65, 1).text, "1:05");
    EXPECT_EQ(Format(3725, 1).text, "1:02:05");
    EXPECT_EQ(Format(3605, 1).text, "1:00:05");
    EXPECT_EQ(Format(90061, 1).text, "1 day 1:01:01");
    EXPECT_EQ(Format(86405, 1).text, "1 day 0:00:05");
    EXPECT_EQ(Format(59.7, 1).text, "1:00");
    EXPECT_EQ(Format(59.4, 1).text, "59");
}

TEST(DurationText, LongestDurationFitsTwentyCharacters) {
    const Formatted f = Format(2147483647.0, 0);
    EXPECT_EQ(f.result, 0);
    EXPECT_EQ(f.text, "24855 days 03:14:07");
    EXPECT_TRUE(f.guardIntact);
}

TEST(DurationText, RejectedDurationsLeaveTheBufferUntouched) {
    for (const double seconds : {-1.0, -0.1, 2147483648.0, 2147483647.6, 1e300, std::numeric_limits<double>::infinity(),
                                 std::numeric_limits<double>::quiet_NaN()}) {
        const Formatted f = Format(seconds, 0);
        EXPECT_EQ(f.result, 1) << seconds;
        EXPECT_EQ(f.text, std::string(19, '#')) << seconds;
    }
    const Formatted badMode = Format(5, 2);
    EXPECT_EQ(badMode.result, 1);
    EXPECT_EQ(badMode.text, std::string(19, '#'));
    EXPECT_EQ(Format(5, -1).result, 1);
    EXPECT_EQ(Toolvane_SekundyDoSTRINGa(5, nullptr, 0), 1);
}

TEST(DateText, UsDateBecomesPolishOrder) {
    char out[12];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Toolvane_ZamienFormatDatyUS2PL("12-31-2026", out), 0);
    EXPECT_EQ(std::string(out, 10), "31-12-2026");
    EXPECT_EQ(out[10], '#');  // exactly ten characters written

    char inPlace[11] = "01/02.2030";
    EXPECT_EQ(Toolvane_ZamienFormatDatyUS2PL(inPlace, inPlace), 0);
    EXPECT_STREQ(inPlace, "02/01.2030");  // separators keep their places
}

TEST(DateText, UsDateOfAnotherLengthIsRejected) {
    char out[12];
    std::memset(out, '#', sizeof out);
    EXPECT_EQ(Toolvane_ZamienFormatDatyUS2PL("12-31-202", out), 1);
    EXPECT_EQ(Toolvane_ZamienFormatDatyUS2PL("12-31-20266", out), 1);
    EXPECT_EQ(Toolvane_ZamienFormatDatyUS2PL("", out), 1);
    EXPECT_EQ(out[0], '#');
    EXPECT_EQ(Toolvane_ZamienFormatDatyUS2PL(nullptr, out), 1);
    EXPECT_EQ(Toolvane_ZamienFormatDatyUS2PL("12-31-2026", nullptr), 1);
}

TEST(DateText, TwoDigitYearGetsTheCurrentCentury) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const int century = (local.tm_year + 1900) / 100;

    char date[12] = "07-12-26";
    date[11] = '#';
    EXPECT_EQ(Toolvane_RozszerzOznaczenieRoku(date), 0);
    EXPECT_EQ(std::string(date), "07-12-" + std::to_string(century) + "26");
    EXPECT_EQ(date[11], '#');
}

TEST(DateText, TwoDigitYearOfAnotherLengthIsRejected) {
    char shortDate[12] = "07-12-2";
    EXPECT_EQ(Toolvane_RozszerzOznaczenieRoku(shortDate), 1);
    EXPECT_STREQ(shortDate, "07-12-2");
    char longDate[12] = "07-12-2026";
    EXPECT_EQ(Toolvane_RozszerzOznaczenieRoku(longDate), 1);
    EXPECT_STREQ(longDate, "07-12-2026");
    EXPECT_EQ(Toolvane_RozszerzOznaczenieRoku(nullptr), 1);
}

}  // namespace

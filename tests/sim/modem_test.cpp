// The simulated Hayes modem as a byte-stream state machine: what it sends
// back for each command line in command mode, the dial answer after its
// delay, data mode to the instrument at the connection's speed, the escape
// back with its guard time, and the unsolicited RING.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "sim/instrument.h"
#include "sim/line.h"
#include "sim/modem.h"

namespace {

const std::string kIdentify = std::string("\xFF\xFF\x00", 3) + "007129030E\x01";

class SimModem : public ::testing::Test {
protected:
    // Everything the modem and the instrument sent by `at`.
    std::string Send(const std::string &bytes, double at = 0.0) {
        modem_.Write(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), at);
        return Take(at);
    }
    std::string Take(double at) {
        modem_.Poll(at);
        std::string out;
        unsigned char chunk[256];
        for (std::size_t n; (n = line_.Output().Take(at + 1e-9, chunk, sizeof chunk)) > 0;)
            out.append(reinterpret_cast<char *>(chunk), n);
        return out;
    }
    sim::Instrument instrument_;
    sim::InstrumentLine line_{instrument_};
    sim::ModemSettings settings_ = [] {
        sim::ModemSettings s;
        s.dialDelay = 2.0;
        s.byNumber["7"] = sim::DialOutcome::Busy;
        return s;
    }();
    sim::Modem modem_{line_, settings_};
};

TEST_F(SimModem, CommandLinesAndTheirAnswers) {
    struct Case {
        const char *line;
        const char *answer;  // with the echo off
    } cases[] = {
        {"ATE0\r", "ATE0\r\r\nOK\r\n"},  // echoed: the echo goes off after this line
        {"ATS7?\r", "\r\n050\r\n\r\nOK\r\n"},
        {"ATS2=035\r", "\r\nOK\r\n"},
        {"ATS2?\r", "\r\n035\r\n\r\nOK\r\n"},
        {"ats10=255\r", "\r\nOK\r\n"},
        {"ATS256=1\r", "\r\nERROR\r\n"},
        {"ATS0=256\r", "\r\nERROR\r\n"},
        {"AT&N38\r", "\r\nOK\r\n"},
        {"AT&N39\r", "\r\nERROR\r\n"},
        {"AT&T2\r", "\r\nERROR\r\n"},
        {"AT&T8\r", "\r\nOK\r\n"},
        {"AT&Z2=0W5551234\r", "\r\nOK\r\n"},
        {"AT&Z2?\r", "\r\n0W5551234\r\n\r\nOK\r\n"},
        {"AT&Z1?\r", "\r\nOK\r\n"},
        {"ATI3\r", "\r\nVGX52-SIM Hayes 33600\r\n\r\nOK\r\n"},
        {"\xFF\x55 noise AT\x08X1\r", "\r\nOK\r\n"},  // nothing before "AT" counts; a backspace there takes nothing
        {"ATO\r", "\r\nERROR\r\n"},                   // no connection to return to
        {"ATV0\r", "0\r"},
        {"ATQ9\r", "4\r"},
        {"ATQ1V1\r", ""},
        {"ATQ0\r", "\r\nOK\r\n"},
    };
    for (const auto &c : cases) EXPECT_EQ(Send(c.line), c.answer) << c.line;
    EXPECT_EQ(modem_.Register(10), 255);
}

TEST_F(SimModem, DiallingConnectsAfterItsDelayAndTheEscapeReturnsToCommandMode) {
    EXPECT_EQ(Send("ATE0\r"), "ATE0\r\r\nOK\r\n");
    EXPECT_EQ(Send("ATDT5551234\r", 10.0), "");
    EXPECT_EQ(modem_.NextEvent(), 12.0);
    EXPECT_EQ(Take(11.9), "");
    EXPECT_EQ(Take(12.0), "\r\nCONNECT 9600\r\n");
    EXPECT_TRUE(modem_.InDataMode());
    // The instrument answers through the connection at its 9600 baud: the
    // request's 14 bytes in, the reply's 18 out.
    const double byte = 10.0 / 9600;
    EXPECT_EQ(Send(kIdentify, 13.0), "");
    EXPECT_EQ(Take(13.0 + 31.9 * byte).size(), 17u);
    EXPECT_EQ(Take(13.0 + 32.0 * byte), "\x01");
    // "ATH0" is data here.
    EXPECT_EQ(Send("ATH0\r", 14.0), "");
    EXPECT_EQ(Send("++", 15.0), "");
    EXPECT_EQ(Send("+", 15.0), "");
    EXPECT_EQ(Take(15.99), "") << "the guard time after the third is not over";
    EXPECT_EQ(Take(16.0), "\r\nOK\r\n");
    EXPECT_FALSE(modem_.InDataMode());
    EXPECT_EQ(Send("ATO\r", 16.0), "\r\nCONNECT\r\n");
    EXPECT_EQ(Send("+++", 17.0), "");
    EXPECT_EQ(Send("ATH0\r", 18.0), "\r\nOK\r\n\r\nOK\r\n");
    EXPECT_FALSE(modem_.OffHook());
    EXPECT_EQ(Send("ATO\r", 19.0), "\r\nERROR\r\n");
    EXPECT_EQ(modem_.Log(), (std::vector<std::string>{"ATE0", "ATDT5551234", "+++", "ATO", "+++", "ATH0", "ATO"}));
}

// Dialled at 0, connected at 2; each write is (seconds after the
// connection, bytes). The escape counts with a second of silence from the
// program before the first '+' and after the third, the three less than a
// second apart; otherwise they are data.
TEST_F(SimModem, TheEscapeCountsOnlyWithTheGuardTimeAroundIt) {
    struct Write {
        double at;
        const char *bytes;
    };
    struct Case {
        const char *name;
        std::vector<Write> writes;
        bool command;  // back in command mode 1 s after the last write
    } cases[] = {
        {"silence around", {{1.0, "+++"}}, true},
        {"right after the connection, the dial command long before", {{0.1, "+++"}}, true},
        {"one at a time", {{1.5, "+"}, {1.9, "+"}, {2.3, "+"}}, true},
        {"data just before", {{0.5, "x"}, {1.2, "+++"}}, false},
        {"data just after", {{1.0, "+++"}, {1.5, "x"}}, false},
        {"a fourth", {{1.0, "++++"}}, false},
        {"too far apart", {{1.0, "++"}, {2.5, "+"}}, false},
        {"after data, a second of silence", {{0.5, "x"}, {1.5, "+++"}}, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        sim::Modem modem(line_, settings_);
        const auto write = [&](double at, const std::string &bytes) {
            modem.Write(reinterpret_cast<const unsigned char *>(bytes.data()), bytes.size(), at);
            modem.Poll(at);
        };
        write(0.0, "ATE0\r");
        write(0.0, "ATD\r");
        modem.Poll(2.0);
        ASSERT_TRUE(modem.InDataMode());
        line_.Output().Clear();
        double last = 2.0;
        for (const Write &w : c.writes) write(last = 2.0 + w.at, w.bytes);
        modem.Poll(last + 0.999);
        EXPECT_TRUE(modem.InDataMode()) << "never before the guard time after";
        modem.Poll(last + 1.0);
        EXPECT_EQ(!modem.InDataMode(), c.command);
        EXPECT_EQ(Take(last + 1.0).find("OK") != std::string::npos, c.command);
    }
}

TEST_F(SimModem, AnUnsolicitedRingComesWhileIdleOnly) {
    settings_.ring = 6.0;
    sim::Modem modem(line_, settings_);
    modem.Poll(100.0);  // rings count from here
    EXPECT_EQ(modem.NextEvent(), 106.0);
    modem.Poll(106.0);
    EXPECT_EQ(Take(106.0), "\r\nRING\r\n");
    const std::string dial = "ATD\r";
    modem.Write(reinterpret_cast<const unsigned char *>(dial.data()), dial.size(), 107.0);
    modem.Poll(112.0);  // dialling, then connected
    EXPECT_TRUE(modem.InDataMode());
    modem.Poll(118.5);
    EXPECT_EQ(Take(118.5), "ATD\r\r\nCONNECT 9600\r\n") << "no RING while connected";
}

TEST_F(SimModem, TheNumberChoosesTheAnswerAndAnyCharacterStopsTheDialling) {
    Send("ATE0\r");
    Send("ATDP7\r", 0.0);
    EXPECT_EQ(Take(2.0), "\r\nBUSY\r\n");
    EXPECT_FALSE(modem_.InDataMode());
    Send("ATD\r", 3.0);
    EXPECT_EQ(Send("ATH0\r", 4.0), "\r\nOK\r\n");
    EXPECT_EQ(Take(10.0), "") << "the dialling was stopped";
    EXPECT_EQ(modem_.NextEvent(), std::numeric_limits<double>::infinity());
}

}  // namespace

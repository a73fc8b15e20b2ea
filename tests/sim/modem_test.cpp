// The simulated Hayes modem as a byte-stream state machine: what it sends
// back for each command line in command mode, the dial answer after its
// delay, data mode to the instrument and the escape back.
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
    // The instrument answers through the connection; "ATH0" is data here.
    EXPECT_EQ(Send(kIdentify, 13.0).substr(0, 3), std::string("\xFF\xFF\x00", 3));
    EXPECT_EQ(Send("ATH0\r", 14.0), "");
    EXPECT_EQ(Send("++", 15.0), "");
    EXPECT_EQ(Send("+", 15.0), "\r\nOK\r\n");
    EXPECT_FALSE(modem_.InDataMode());
    EXPECT_EQ(Send("ATO\r", 16.0), "\r\nCONNECT\r\n");
    EXPECT_EQ(Send("+++ATH0\r", 17.0), "\r\nOK\r\n\r\nOK\r\n");
    EXPECT_FALSE(modem_.OffHook());
    EXPECT_EQ(Send("ATO\r", 18.0), "\r\nERROR\r\n");
    EXPECT_EQ(modem_.Log(), (std::vector<std::string>{"ATE0", "ATDT5551234", "+++", "ATO", "+++", "ATH0", "ATO"}));
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

// The main screen's poller against the simulated instrument.
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "app/screens.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "screen_fixture.h"
#include "sim/tcp_server.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

constexpr int kIdentify = 3, kSoftwareVersion = 11;
const char kNoAnswer[] = "Brak połączenia";
const char kVgx52[] = "Jest połączenie z przyrządem";
const char kOther[] = "Jest połączenie z przyrządem innym niż VGX50";
// The names the main screen shows, as the model table and the version
// suffixes give them.
const std::string kVgx52Name = "Miernik parametrów gazu, model VGX52";
const std::string kHv1Sv105 = kVgx52Name + "; H.Ver.:1; S.Ver.:105";

bool EndsWith(const std::string &text, const std::string &end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

class Poller : public apptest::ScreenTest {
protected:
    int Mode() { return Attribute(PanelEkrGl, PANEL_GL_USTGEST, ui::ATTR_CTRL_MODE); }
    int Dimmed() { return Attribute(PanelEkrGl, PANEL_GL_USTGEST, ui::ATTR_DIMMED); }
    void ExpectNoAnswer() {
        EXPECT_EQ(Status(), kNoAnswer);
        EXPECT_EQ(StatusColour(), 0x800000);
        EXPECT_EQ(Name(), "");
        EXPECT_EQ(Mode(), ui::VAL_INDICATOR);
        EXPECT_EQ(Dimmed(), 1);
    }
    void ExpectVgx52(const std::string &name) {
        EXPECT_EQ(Status(), kVgx52);
        EXPECT_EQ(StatusColour(), 0x008000);
        EXPECT_EQ(Name(), name);
        EXPECT_EQ(Mode(), ui::VAL_HOT);
        EXPECT_EQ(Dimmed(), 0);
    }
};

TEST_F(Poller, TypeCodesChooseTheState) {
    const std::pair<int, const char *> vgx52[] = {{0x1B0, "1"}, {0x1B3, "4"}, {0x1B7, "8"}};
    for (const auto &[type, hardware] : vgx52) {
        instrument.State().typeCode = type;
        Tick();
        ExpectVgx52(kVgx52Name + "; H.Ver.:" + hardware + "; S.Ver.:105");
    }
    // Other models: their own row's text, with the versions after it.
    const std::pair<int, const char *> others[] = {{0x1B8, "1"}, {0x1A7, "8"}, {0x1AF, "8"}};
    for (const auto &[type, hardware] : others) {
        instrument.State().typeCode = type;
        Tick();
        EXPECT_EQ(Status(), kOther) << type;
        EXPECT_EQ(StatusColour(), 0x000080);
        EXPECT_TRUE(EndsWith(Name(), std::string("; H.Ver.:") + hardware + "; S.Ver.:105")) << Name();
        EXPECT_EQ(Name().find(kVgx52Name), std::string::npos) << Name();
        EXPECT_EQ(Mode(), ui::VAL_INDICATOR);
        EXPECT_EQ(Dimmed(), 1);
    }
    // One identify and one version read per poll, nothing repeated.
    std::vector<int> expected;
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {kIdentify, kSoftwareVersion});
    EXPECT_EQ(line.commands, expected);
}

// The colour goes first: no state's text ever shows in another state's colour.
TEST_F(Poller, StatusColourChangesBeforeItsText) {
    const std::string initial = Status();
    ui::headless::WatchControl(PanelEkrGl, PANEL_GL_STATUS);
    Tick();  // a VGX52
    instrument.Faults().silent = true;
    Tick();
    instrument.Faults().silent = false;
    instrument.State().typeCode = 0x1B8;
    Tick();
    instrument.State().typeCode = 0x1B0;
    Tick();
    const std::pair<const char *, int> colourOf[] = {{kNoAnswer, 0x800000}, {kVgx52, 0x008000}, {kOther, 0x000080}};
    int shown = 0;
    std::string before = initial;
    for (const auto &state : ui::headless::ControlHistory()) {
        // The moment a text appears, its colour is already its own.
        if (state.text != before)
            for (const auto &[text, colour] : colourOf)
                if (state.text == text) {
                    EXPECT_EQ(state.textColor, colour) << text;
                    ++shown;
                }
        before = state.text;
    }
    EXPECT_EQ(shown, 4);
}

TEST_F(Poller, UnplugAndReplugAcrossTicks) {
    ui::SetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, 1);
    ui::headless::AdvanceTime(1.0);
    ExpectVgx52(kHv1Sv105);

    instrument.Faults().silent = true;
    ui::headless::AdvanceTime(1.0);
    ExpectNoAnswer();
    instrument.Faults().silent = false;
    ui::headless::AdvanceTime(1.0);
    ExpectVgx52(kHv1Sv105);
    // Silent: five identifies and no version read.
    EXPECT_EQ(line.Count(kIdentify), 1 + 5 + 1);
    EXPECT_EQ(line.Count(kSoftwareVersion), 2);
}

TEST_F(Poller, IdentifyIsRepeatedOnlyWhileNoValidAnswer) {
    line.silence = [](int n, int) { return n <= 4; };
    Tick();
    ExpectVgx52(kHv1Sv105);
    EXPECT_EQ(line.commands, (std::vector<int>{3, 3, 3, 3, 3, kSoftwareVersion}));

    line.Forget();
    line.silence = [](int n, int) { return n <= 5; };
    Tick();
    ExpectNoAnswer();
    EXPECT_EQ(line.commands, (std::vector<int>(5, kIdentify)));

    // An instrument's status is an answer: not repeated.
    line.Forget();
    line.silence = nullptr;
    instrument.Faults().status = 5;
    Tick();
    ExpectNoAnswer();
    EXPECT_EQ(line.commands, (std::vector<int>{kIdentify}));
}

TEST_F(Poller, EachCallStartsItsOwnCountOfAttempts) {
    // Four silent identifies, then four silent version reads: both still succeed.
    line.silence = [](int n, int) { return n <= 4 || (n >= 6 && n <= 9); };
    Tick();
    ExpectVgx52(kHv1Sv105);
    EXPECT_EQ(line.Count(kIdentify), 5);
    EXPECT_EQ(line.Count(kSoftwareVersion), 5);
}

TEST_F(Poller, FailedVersionReadLeavesTheVersionOutOfTheName) {
    line.silence = [](int, int command) { return command == kSoftwareVersion; };
    Tick();
    ExpectVgx52(kVgx52Name + "; H.Ver.:1");
    EXPECT_EQ(line.Count(kSoftwareVersion), 5);

    line.Forget();
    line.silence = nullptr;
    instrument.State().typeCode = 0x1B9;
    instrument.Commands().AddHex(kSoftwareVersion, [](sim::Instrument &, const sim::HexRequest &) {
        sim::HexReply reply;
        reply.status = 7;
        return reply;
    });
    Tick();
    EXPECT_EQ(Status(), kOther);
    EXPECT_TRUE(EndsWith(Name(), "; H.Ver.:2")) << Name();
    EXPECT_EQ(line.Count(kSoftwareVersion), 1);
}

TEST_F(Poller, ActsOnTimerTicksOnly) {
    for (int event : {ui::EVENT_COMMIT, ui::EVENT_VAL_CHANGED, ui::EVENT_CLOSE})
        ObsEkrGl_OdpytywaczMain(PanelEkrGl, PANEL_GL_TIMER, event, nullptr, 0, 0);
    EXPECT_TRUE(line.commands.empty());
    EXPECT_EQ(Status(), kNoAnswer);
}

// A link error (result 2) is not repeated: over the TCP gateway, an error
// the server reports gives 2, and the gateway counts the requests.
TEST_F(Poller, LinkErrorCountsAsNoAnswerWithoutRepetition) {
    Tick();
    ExpectVgx52(kHv1Sv105);
    Korvi70_ZamZlacze();
    sim::Instrument remote;
    sim::GatewayServer server{remote};
    ASSERT_GT(server.Listen(0), 0);
    server.Start();
    Korvi70_TypLacza = 2;
    Korvi70_NrPortuTCP = server.Port();
    Korvi70_TCPIP_TimeOut = 100;
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);
    server.Locked([](sim::GatewayFaults &f, sim::Instrument &, sim::GatewayCounters &) { f.errorCode = 1; });

    Tick();
    ExpectNoAnswer();
    EXPECT_EQ(server.Locked([](auto &, auto &, sim::GatewayCounters &c) { return c.envelopes; }), 1);

    Korvi70_ZamZlacze();
    server.Stop();
    Korvi70_TypLacza = 0;
}

}  // namespace

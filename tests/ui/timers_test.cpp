// Timer controls on the virtual clock.
#include <limits>
#include <vector>

#include "ui_fixture.h"

namespace uitest {
namespace {

namespace hl = ui::headless;

struct Tick {
    int panel, control;
    double time;
};
std::vector<Tick> g_ticks;

int RecordTick(int panel, int control, int event, void *, int, int) {
    if (event == ui::EVENT_TIMER_TICK) g_ticks.push_back({panel, control, hl::Now()});
    return 0;
}

class TimersTest : public LoadedPanelTest {
protected:
    void SetUp() override {
        g_ticks.clear();
        LoadedPanelTest::SetUp();
        ui::InstallCtrlCallback(panel_, P_TIMER, RecordTick, nullptr);
    }
    void Enable(int panel, int on) { ASSERT_EQ(ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, on), 0); }
};

TEST_F(TimersTest, TicksEveryIntervalWhileEnabled) {
    hl::AdvanceTime(5.0);
    EXPECT_TRUE(g_ticks.empty()) << "loaded disabled";
    Enable(panel_, 1);  // at t = 5: ticks at 5.5, 6.0, ...
    hl::AdvanceTime(2.0);
    ASSERT_EQ(g_ticks.size(), 4u);
    EXPECT_DOUBLE_EQ(g_ticks[0].time, 5.5);
    EXPECT_DOUBLE_EQ(g_ticks[3].time, 7.0);
    EXPECT_EQ(g_ticks[0].control, P_TIMER);
    Enable(panel_, 0);
    hl::AdvanceTime(10.0);
    EXPECT_EQ(g_ticks.size(), 4u);
    EXPECT_DOUBLE_EQ(hl::Now(), 17.0);
}

TEST_F(TimersTest, ManySmallIntervalsDoNotDrift) {
    ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_INTERVAL, 0.1);
    Enable(panel_, 1);
    hl::AdvanceTime(1.0);
    EXPECT_EQ(g_ticks.size(), 10u) << "0.1 added ten times must still reach 1.0";
}

TEST_F(TimersTest, EnablingAnEnabledTimerDoesNotRestartIt) {
    Enable(panel_, 1);
    hl::AdvanceTime(0.4);
    Enable(panel_, 1);
    hl::AdvanceTime(0.1);
    EXPECT_EQ(g_ticks.size(), 1u);
}

TEST_F(TimersTest, NewIntervalCountsFromNow) {
    Enable(panel_, 1);
    hl::AdvanceTime(0.75);  // one tick at 0.5
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_INTERVAL, 2.0), 0);
    hl::AdvanceTime(3.0);  // ticks at 2.75 only
    ASSERT_EQ(g_ticks.size(), 2u);
    EXPECT_DOUBLE_EQ(g_ticks[1].time, 2.75);
    double interval = 0;
    ui::GetCtrlAttribute(panel_, P_TIMER, ui::ATTR_INTERVAL, &interval);
    EXPECT_EQ(interval, 2.0);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_INTERVAL, 0.0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_INTERVAL, -1), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_ENABLED, 2), ui::UIE_BAD_VALUE);
}

TEST_F(TimersTest, SuspendedCallbacksAreLostNotQueued) {
    Enable(panel_, 1);
    ui::SuspendTimerCallbacks();
    EXPECT_TRUE(ui::model::TimerCallbacksSuspended());
    hl::AdvanceTime(2.2);
    EXPECT_TRUE(g_ticks.empty());
    ui::ResumeTimerCallbacks();
    hl::AdvanceTime(0.4);  // next tick keeps the old rhythm: 2.5
    ASSERT_EQ(g_ticks.size(), 1u);
    EXPECT_DOUBLE_EQ(g_ticks[0].time, 2.5);
}

TEST_F(TimersTest, TwoTimersTickInTimeOrder) {
    const int other = Load();
    ui::InstallCtrlCallback(other, P_TIMER, RecordTick, nullptr);
    ui::SetCtrlAttribute(other, P_TIMER, ui::ATTR_INTERVAL, 0.3);
    Enable(panel_, 1);
    Enable(other, 1);
    hl::AdvanceTime(1.0);  // 0.3 0.5 0.6 0.9 1.0
    ASSERT_EQ(g_ticks.size(), 5u);
    const int order[] = {other, panel_, other, other, panel_};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(g_ticks[i].panel, order[i]) << i;
    for (int i = 1; i < 5; ++i) EXPECT_LE(g_ticks[i - 1].time, g_ticks[i].time);
}

TEST_F(TimersTest, WaitsInTheScriptLetTimersTick) {
    Enable(panel_, 1);
    ui::DisplayPanel(panel_);
    hl::QueueWait(1.2);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueWait(1.0);
    ui::RunUserInterface();
    EXPECT_EQ(g_ticks.size(), 4u);
    EXPECT_DOUBLE_EQ(hl::Events()[0].time, 1.2);
    EXPECT_DOUBLE_EQ(hl::Now(), 2.2);
}

TEST_F(TimersTest, PollingLoopsSeeTimePass) {
    Enable(panel_, 1);
    hl::SetPollAdvance(0.1);
    int polls = 0;
    while (g_ticks.size() < 3 && polls < 1000) {
        ui::GetUserEvent(0, nullptr, nullptr);
        ++polls;
    }
    EXPECT_EQ(polls, 15);
    ui::ProcessSystemEvents();
    EXPECT_DOUBLE_EQ(hl::Now(), 1.6);
}

TEST_F(TimersTest, PollingUsesUpAWaitInTheScript) {
    ui::DisplayPanel(panel_);
    hl::SetPollAdvance(0.25);
    hl::QueueWait(1.0);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    int polls = 0;
    while (ui::GetUserEvent(0, nullptr, nullptr) == ui::EVENT_NONE && polls < 100) ++polls;
    EXPECT_EQ(polls, 4) << "the stop button is pressed one second into the read";
}

int DiscardOwnPanel(int panel, int, int event, void *, int, int) {
    if (event == ui::EVENT_TIMER_TICK) {
        g_ticks.push_back({panel, 0, hl::Now()});
        ui::DiscardPanel(panel);
    }
    return 0;
}

int DisableSelf(int panel, int control, int event, void *, int, int) {
    if (event == ui::EVENT_TIMER_TICK) {
        g_ticks.push_back({panel, control, hl::Now()});
        ui::SetCtrlAttribute(panel, control, ui::ATTR_ENABLED, 0);
    }
    return 0;
}

TEST_F(TimersTest, ACallbackMayRemoveItsOwnTimer) {
    ui::InstallCtrlCallback(panel_, P_TIMER, DiscardOwnPanel, nullptr);
    Enable(panel_, 1);
    const int other = Load();
    ui::InstallCtrlCallback(other, P_TIMER, DisableSelf, nullptr);
    Enable(other, 1);
    hl::AdvanceTime(5.0);
    EXPECT_EQ(g_ticks.size(), 2u) << "each ticks once, then is gone";
    EXPECT_EQ(ui::model::FindPanel(panel_), nullptr);
    int enabled = 1;
    EXPECT_EQ(ui::GetCtrlAttribute(other, P_TIMER, ui::ATTR_ENABLED, &enabled), 0);
    EXPECT_EQ(enabled, 0);
}

// A tick that waits for the operator, as a modal loop inside a timer would.
int WaitInsideTick(int panel, int control, int event, void *, int, int) {
    if (event != ui::EVENT_TIMER_TICK) return 0;
    g_ticks.push_back({panel, control, hl::Now()});
    ui::GetUserEvent(1, nullptr, nullptr);
    return 0;
}

TEST_F(TimersTest, ATimerIsNotReenteredWhileItsCallbackRuns) {
    ui::InstallCtrlCallback(panel_, P_TIMER, WaitInsideTick, nullptr);
    Enable(panel_, 1);
    ui::DisplayPanel(panel_);
    hl::QueueWait(3.0);  // consumed inside the first tick: five ticks fall due meanwhile
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::AdvanceTime(0.5);
    ASSERT_EQ(g_ticks.size(), 1u);
    EXPECT_DOUBLE_EQ(hl::Now(), 3.5);
    hl::AdvanceTime(0.5);
    EXPECT_EQ(g_ticks.size(), 2u) << "the rhythm goes on afterwards";
}

TEST_F(TimersTest, TheBackEndIsToldWhenTheNextTickIs) {
    EXPECT_EQ(ui::model::NextTimerDue(), std::numeric_limits<double>::infinity());
    hl::AdvanceTime(1.0);
    Enable(panel_, 1);
    EXPECT_DOUBLE_EQ(ui::model::NextTimerDue(), 1.5);
    ui::model::FireDueTimers(4.0, false);  // a real clock that was held up: one tick only
    EXPECT_EQ(g_ticks.size(), 1u);
    EXPECT_DOUBLE_EQ(ui::model::NextTimerDue(), 4.5);
}

}  // namespace
}  // namespace uitest

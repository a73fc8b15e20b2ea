// The event loop, timers, the wait cursor, run-time panels and painting
// during the program's own work.
#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QProgressBar>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <fstream>
#include <string>
#include <vector>

#include "qt_fixture.h"

namespace qttest {
namespace {

class QtEvents : public QtTest {};

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return QObject::eventFilter(watched, event);
    }
};

TEST_F(QtEvents, TimerTicksWhileEnabledAndStopsWhenDisabled) {
    const int panel = Load();
    ASSERT_EQ(ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, 1), 0);
    QTimer::singleShot(500, [] { ui::QuitUserInterface(0); });
    ui::RunUserInterface();
    // 0.05 s for 0.5 s: about ten; a loaded machine may lose a few.
    EXPECT_GE(TestCalls().timer, 4);
    EXPECT_LE(TestCalls().timer, 11);

    ASSERT_EQ(ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, 0), 0);
    const int ticks = TestCalls().timer;
    Spin(0.3);
    EXPECT_EQ(TestCalls().timer, ticks);
}

TEST_F(QtEvents, SuspendedTimerCallbacksDoNotRunAndResumeLater) {
    const int panel = Load();
    ASSERT_EQ(ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, 1), 0);
    ui::SuspendTimerCallbacks();
    Spin(0.3);
    EXPECT_EQ(TestCalls().timer, 0);
    ui::ResumeTimerCallbacks();
    Spin(0.3);
    EXPECT_GT(TestCalls().timer, 0);
}

TEST_F(QtEvents, IntervalFollowsTheAttribute) {
    const int panel = Load();
    ASSERT_EQ(ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_INTERVAL, 0.2), 0);
    ASSERT_EQ(ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, 1), 0);
    Spin(0.5);
    EXPECT_GE(TestCalls().timer, 1);
    EXPECT_LE(TestCalls().timer, 3);
}

TEST_F(QtEvents, TimerCallbackThatDiscardsItsPanelEndsItsTicks) {
    const int panel = Load();
    TestCalls().onTimer = [panel] { ui::DiscardPanel(panel); };
    ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, 1);
    Spin(0.3);
    EXPECT_EQ(TestCalls().timer, 1);
    EXPECT_EQ(ui::qt::PanelWindow(panel), nullptr);
}

TEST_F(QtEvents, QuitFromACallbackEndsTheLoopWithItsCode) {
    const int panel = Load();
    ui::DisplayPanel(panel);
    // The quit command's pattern: discard its own panel, then quit.
    TestCalls().onButton = [panel] {
        ui::DiscardPanel(panel);
        ui::QuitUserInterface(7);
    };
    QTimer::singleShot(20, [panel] { QTest::mouseClick(ui::qt::ControlWidget(panel, P_BUTTON), Qt::LeftButton); });
    EXPECT_EQ(ui::RunUserInterface(), 7);
    EXPECT_EQ(ui::qt::PanelWindow(panel), nullptr);
}

TEST_F(QtEvents, CloseButtonDoesWhatThePanelsCloseControlDoes) {
    const int panel = Load();
    ui::DisplayPanel(panel);
    QWidget *window = ui::qt::PanelWindow(panel);
    // Naming no close control, the window stays.
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(TestCalls().button, 0);

    ASSERT_EQ(ui::SetPanelAttribute(panel, ui::ATTR_CLOSE_CTRL, P_BUTTON), 0);
    TestCalls().onButton = [panel] {
        ui::DiscardPanel(panel);
        ui::QuitUserInterface(7);
    };
    QTimer::singleShot(20, [window] { window->close(); });
    EXPECT_EQ(ui::RunUserInterface(), 7);
    EXPECT_EQ(TestCalls().button, 1);
    EXPECT_EQ(TestCalls().lastControl, P_BUTTON);
    EXPECT_EQ(ui::model::FindPanel(panel), nullptr);
}

TEST_F(QtEvents, CloseWhileOnlyPaintIsLetThroughReachesTheNextLookForAnEvent) {
    const int panel = Load();
    ASSERT_EQ(ui::SetPanelAttribute(panel, ui::ATTR_CLOSE_CTRL, P_BUTTON), 0);
    ASSERT_EQ(ui::InstallPopup(panel), 0);
    QWidget *window = ui::qt::PanelWindow(panel);
    // A level indicator lets paint through at once: the close comes then.
    QTimer::singleShot(0, [window] { window->close(); });
    ASSERT_EQ(ui::SetCtrlVal(panel, P_LEVEL, 40.0), 0);
    int from = 0, control = 0, event = ui::EVENT_NONE;
    for (int look = 0; look < 500 && event == ui::EVENT_NONE; ++look) {
        event = ui::GetUserEvent(0, &from, &control);
        if (event == ui::EVENT_NONE) QThread::msleep(1);
    }
    EXPECT_EQ(event, ui::EVENT_COMMIT) << "the close was not lost";
    EXPECT_EQ(from, panel);
    EXPECT_EQ(control, P_BUTTON);
    ui::RemovePopup(0);
}

TEST_F(QtEvents, ProcessSystemEventsRunsWhatIsPending) {
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    EXPECT_EQ(ui::ProcessSystemEvents(), 0);
    EXPECT_TRUE(ran);
}

TEST_F(QtEvents, WaitCursorCoversTheApplication) {
    ASSERT_EQ(ui::SetWaitCursor(1), 0);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    ui::SetWaitCursor(1);  // twice on, once off
    ASSERT_EQ(ui::SetWaitCursor(0), 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtEvents, ScreenSizeIsTheScreens) {
    int height = 0, width = 0;
    ASSERT_EQ(ui::GetScreenSize(&height, &width), 0);
    EXPECT_GT(height, 0);
    EXPECT_GT(width, 0);
}

TEST_F(QtEvents, ProgressWindowMadeAtRunTimePaintsEveryValueAtOnce) {
    // Opened over a window, it still goes where it was placed.
    ui::DisplayPanel(Load());
    int height = 0, width = 0;
    ui::GetScreenSize(&height, &width);
    const int top = height / 2 - 100, left = width / 2 - 100;
    const int panel = ui::NewPanel(0, "Flash UpLoad progress level", top, left, 25, 400);
    ASSERT_GT(panel, 0);
    const int bar = ui::NewCtrl(panel, ui::CTRL_LEVEL_INDICATOR, "progress", 10, 10);
    ASSERT_GT(bar, 0);
    ui::SetCtrlAttribute(panel, bar, ui::ATTR_MIN_VALUE, 0.0);
    ui::SetCtrlAttribute(panel, bar, ui::ATTR_MAX_VALUE, 100.0);
    ASSERT_EQ(ui::InstallPopup(panel), 0);
    QWidget *window = ui::qt::PanelWindow(panel);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), "Flash UpLoad progress level");
    EXPECT_EQ(window->pos(), QPoint(left, top));
    EXPECT_GE(window->width(), 400);
    ASSERT_TRUE(window->windowHandle() && window->windowHandle()->isExposed()) << "on the screen before work goes on";

    auto *progress = qobject_cast<QProgressBar *>(ui::qt::ControlWidget(panel, bar));
    ASSERT_NE(progress, nullptr);
    PaintCounter counter;
    progress->installEventFilter(&counter);
    // A busy loop of the user-interface thread: no event loop turns between values.
    for (int page = 0; page < 5; ++page) {
        const int before = counter.paints;
        ASSERT_EQ(ui::SetCtrlVal(panel, bar, page * 100.0 / 5), 0);
        EXPECT_GT(counter.paints, before) << "page " << page;
        EXPECT_EQ(progress->value(), page * 2000);
    }
    progress->removeEventFilter(&counter);
}

TEST_F(QtEvents, StatusTextIsPaintedAtOnce) {
    const int panel = Load();
    ui::DisplayPanel(panel);
    QWidget *status = ui::qt::ControlWidget(panel, P_TEXT);
    ASSERT_NE(status, nullptr);
    PaintCounter counter;
    status->installEventFilter(&counter);
    ASSERT_EQ(ui::SetCtrlVal(panel, P_TEXT, "Jest połączenie z przyrządem"), 0);
    EXPECT_GT(counter.paints, 0) << "a label alone would wait for the event loop";
    status->removeEventFilter(&counter);
}

TEST_F(QtEvents, TraceFileFollowsTheTextDisplays) {
    const std::string trace = folder_ + "/trace.txt";
    setenv("VGX52_TRACE", trace.c_str(), 1);
    const int panel = Load();
    ui::SetCtrlAttribute(panel, P_TEXT, ui::ATTR_TEXT_COLOR, ui::VAL_DK_GREEN);
    ui::SetCtrlVal(panel, P_TEXT, "Jest połączenie z przyrządem");
    ui::SetCtrlVal(panel, P_TEXT, "Jest połączenie z przyrządem");  // no change, no line
    ui::SetCtrlVal(panel, P_STR, "not a text display");
    ui::SetCtrlVal(panel, P_TEXT, "dwie\nlinie");
    unsetenv("VGX52_TRACE");
    std::ifstream in(trace);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line.substr(line.find(' ') + 1));
    const std::vector<std::string> expected = {
        "panel 1 control 5 colour 800000 text Brak połączenia",
        "panel 1 control 5 colour 008000 text Brak połączenia",
        "panel 1 control 5 colour 008000 text Jest połączenie z przyrządem",
        "panel 1 control 5 colour 008000 text dwie linie",
    };
    EXPECT_EQ(lines, expected);
}

}  // namespace
}  // namespace qttest

// The event loop on the headless back end: queued commits, modality,
// GetUserEvent inside a callback, and the ways a commit is refused.
#include <vector>

#include "ui_fixture.h"

namespace uitest {
namespace {

namespace hl = ui::headless;
using ui::model::UserResult;

struct Call {
    int panel, control, event;
};
using CallLog = std::vector<Call>;

int Record(int panel, int control, int event, void *data, int, int) {
    static_cast<CallLog *>(data)->push_back({panel, control, event});
    return 0;
}

int QuitWith7(int, int, int event, void *, int, int) {
    if (event == ui::EVENT_COMMIT) ui::QuitUserInterface(7);
    return 0;
}

int Swallow(int, int, int, void *, int, int) { return 1; }

class EventsTest : public LoadedPanelTest {
protected:
    void SetUp() override {
        LoadedPanelTest::SetUp();
        ASSERT_EQ(ui::DisplayPanel(panel_), 0);
    }
    CallLog log_;
};

TEST_F(EventsTest, RunProcessesTheQueueAndReturnsWhenItIsEmpty) {
    ui::InstallCtrlCallback(panel_, P_BUTTON, Record, &log_);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueCommit(hl::ByResource(PANEL), P_BUTTON);
    EXPECT_EQ(ui::RunUserInterface(), 0);
    ASSERT_EQ(log_.size(), 2u);
    EXPECT_EQ(log_[0].panel, panel_);
    EXPECT_EQ(log_[0].control, P_BUTTON);
    EXPECT_EQ(log_[0].event, ui::EVENT_COMMIT);
    EXPECT_EQ(hl::PendingActions(), 0u);
    EXPECT_EQ(ui::RunUserInterface(), 0) << "an empty script never blocks";
}

// The window system's close button: the commit of the control the panel
// names, with the checks of any commit; nothing when it names none.
TEST_F(EventsTest, CloseButtonCommitsThePanelsCloseControl) {
    Write("close.uir", "panel P 1\n close C\ncontrol B 2 button\ncontrol C 3 button\n");
    const int panel = ui::LoadPanel(0, "close.uir", 1);
    ASSERT_GT(panel, 0);
    int named = 0;
    ASSERT_EQ(ui::GetPanelAttribute(panel, ui::ATTR_CLOSE_CTRL, &named), 0);
    EXPECT_EQ(named, 3);
    ui::DisplayPanel(panel);
    ui::InstallCtrlCallback(panel, 3, Record, &log_);
    int control = -1;
    EXPECT_EQ(ui::model::UserClose(panel, &control), UserResult::Delivered);
    EXPECT_EQ(control, 3);
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_EQ(log_[0].event, ui::EVENT_COMMIT);

    // Behind a popup it is blocked like any commit.
    const int dialog = Load(DIALOG);
    ui::InstallPopup(dialog);
    EXPECT_EQ(ui::model::UserClose(panel, &control), UserResult::Modal);
    ui::RemovePopup(1);

    // Set at run time; 0 = the close button does nothing.
    EXPECT_EQ(ui::model::UserClose(panel_, &control), UserResult::NoClose);
    EXPECT_EQ(control, 0);
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_CLOSE_CTRL, 99), ui::UIE_INVALID_CONTROL);
    ASSERT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_CLOSE_CTRL, P_BUTTON), 0);
    ui::InstallCtrlCallback(panel_, P_BUTTON, Record, &log_);
    EXPECT_EQ(ui::model::UserClose(panel_, &control), UserResult::Delivered);
    EXPECT_EQ(log_.size(), 2u);
    ASSERT_EQ(ui::SetPanelAttribute(panel, ui::ATTR_CLOSE_CTRL, 0), 0);
    EXPECT_EQ(ui::model::UserClose(panel, &control), UserResult::NoClose);
    EXPECT_EQ(log_.size(), 2u);
}

TEST_F(EventsTest, QuitEndsTheLoopWithItsCode) {
    ui::InstallCtrlCallback(panel_, P_BUTTON, QuitWith7, nullptr);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    EXPECT_EQ(ui::RunUserInterface(), 7);
    EXPECT_EQ(hl::PendingActions(), 1u) << "nothing runs after the quit";
    EXPECT_EQ(hl::QuitCount(), 1);
    EXPECT_EQ(hl::LastQuitCode(), 7);
}

TEST_F(EventsTest, QuitOutsideTheLoopDoesNotStopALaterOne) {
    ui::InstallCtrlCallback(panel_, P_BUTTON, Record, &log_);
    EXPECT_EQ(ui::QuitUserInterface(3), 0);
    EXPECT_EQ(hl::QuitCount(), 1);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    EXPECT_EQ(ui::RunUserInterface(), 0);
    EXPECT_EQ(log_.size(), 1u);
}

int g_namedCalls = 0;
int Named(int, int, int event, void *, int, int) {
    if (event == ui::EVENT_COMMIT) ++g_namedCalls;
    return 0;
}

TEST_F(EventsTest, CallbacksAreFoundByTheNameInTheResourceFile) {
    g_namedCalls = 0;
    ui::RegisterCallback("TestButton", nullptr);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);  // no function under the name yet
    ui::RunUserInterface();
    EXPECT_EQ(hl::Events().back().result, UserResult::Delivered);
    ui::RegisterCallback("TestButton", Named);  // registered after the panel was loaded
    EXPECT_EQ(ui::FindCallback("TestButton"), &Named);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    ui::RunUserInterface();
    EXPECT_EQ(g_namedCalls, 1);
    ui::RegisterCallback("TestButton", nullptr);
    EXPECT_EQ(ui::FindCallback("TestButton"), nullptr);
    EXPECT_EQ(ui::FindCallback(nullptr), nullptr);
}

TEST_F(EventsTest, AModalPopupBlocksCommitsToThePanelBelow) {
    ui::InstallCtrlCallback(panel_, P_BUTTON, Record, &log_);
    Write("test.uir", kTestUir);
    const int dialog = ui::LoadPanel(0, "test.uir", DIALOG);
    ui::InstallCtrlCallback(dialog, D_OK, Record, &log_);
    ASSERT_EQ(ui::InstallPopup(dialog), 0);
    EXPECT_EQ(ui::InstallPopup(dialog), ui::UIE_POPUP_STATE);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueCommit(hl::TopPopup(), D_OK);
    ui::RunUserInterface();
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_EQ(log_[0].panel, dialog);
    EXPECT_EQ(hl::Events()[0].result, UserResult::Modal);

    ASSERT_EQ(ui::RemovePopup(0), 0);
    EXPECT_EQ(ui::RemovePopup(0), ui::UIE_NO_POPUP);
    int visible = 1;
    ui::GetPanelAttribute(dialog, ui::ATTR_VISIBLE, &visible);
    EXPECT_EQ(visible, 0) << "a removed popup is hidden, not discarded";
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueCommit(hl::ByHandle(dialog), D_OK);
    ui::RunUserInterface();
    EXPECT_EQ(log_.size(), 2u);
    EXPECT_EQ(hl::Events()[3].result, UserResult::Hidden);
}

TEST_F(EventsTest, PopupsStackAndRemoveAll) {
    Write("test.uir", kTestUir);
    const int a = ui::LoadPanel(0, "test.uir", DIALOG);
    int b = ui::LoadPanel(0, "test.uir", DIALOG);
    ui::InstallPopup(a);
    ui::InstallPopup(b);
    EXPECT_EQ(ui::model::TopPopup(), b);
    hl::QueueCommit(hl::ByHandle(a), D_OK);
    ui::RunUserInterface();
    EXPECT_EQ(hl::Events().back().result, UserResult::Modal) << "only the top popup is live";
    ASSERT_EQ(ui::DiscardPanel(b), 0);
    EXPECT_EQ(ui::model::TopPopup(), a) << "discarding a popup takes it off the stack";
    ui::InstallPopup(b = ui::LoadPanel(0, "test.uir", DIALOG));
    EXPECT_EQ(ui::RemovePopup(1), 0);
    EXPECT_TRUE(ui::model::PopupStack().empty());
    ui::InstallPopup(a);
    ASSERT_EQ(ui::HidePanel(a), 0);
    EXPECT_TRUE(ui::model::PopupStack().empty()) << "a hidden popup would block unseen";
}

// A screen that opens a dialog and waits for its commits inside a callback.
struct DialogRun {
    std::string file;
    int dialog = 0;
    std::vector<int> controls;
    double number = 0;
    int openings = 0;
};

int OpenDialog(int, int, int event, void *data, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    auto *run = static_cast<DialogRun *>(data);
    ++run->openings;
    run->dialog = ui::LoadPanel(0, run->file.c_str(), DIALOG);
    ui::InstallPopup(run->dialog);
    for (;;) {
        int panel = 0, control = 0;
        if (ui::GetUserEvent(1, &panel, &control) != ui::EVENT_COMMIT) break;
        if (panel != run->dialog) continue;
        run->controls.push_back(control);
        if (control == D_OK) {
            ui::GetCtrlVal(run->dialog, D_NUM, &run->number);
            break;
        }
    }
    ui::RemovePopup(0);
    ui::DiscardPanel(run->dialog);
    return 0;
}

TEST_F(EventsTest, GetUserEventWaitsForCommitsInsideACallback) {
    DialogRun run;
    run.file = Write("test.uir", kTestUir);
    ui::InstallCtrlCallback(panel_, P_BUTTON, OpenDialog, &run);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueInput(hl::ByResource(DIALOG), D_NUM, 287.055);  // handle unknown until the screen loads it
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);         // the panel below: blocked
    hl::QueueCommit(hl::TopPopup(), D_OK);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);  // after the dialog closed: opens it again
    ui::RunUserInterface();
    ASSERT_EQ(run.controls.size(), 2u);
    EXPECT_EQ(run.controls[0], D_NUM);
    EXPECT_EQ(run.controls[1], D_OK);
    EXPECT_EQ(run.number, 287.055);
    EXPECT_EQ(run.openings, 2);
    ASSERT_EQ(hl::Events().size(), 5u) << "recorded in the order queued, nested ones included";
    EXPECT_EQ(hl::Events()[2].result, UserResult::Modal);
    EXPECT_EQ(hl::Events()[4].result, UserResult::Delivered);
    // The second opening found the script exhausted: GetUserEvent gave up, never hung.
    EXPECT_TRUE(hl::Failures().empty());
    EXPECT_TRUE(ui::model::PopupStack().empty());
}

TEST_F(EventsTest, GetUserEventWithoutWaiting) {
    int panel = -1, control = -1;
    EXPECT_EQ(ui::GetUserEvent(0, &panel, &control), ui::EVENT_NONE);
    EXPECT_EQ(panel, 0);
    hl::QueueWait(1.0);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    EXPECT_EQ(ui::GetUserEvent(0, &panel, &control), ui::EVENT_NONE) << "the operator has not acted yet";
    EXPECT_EQ(hl::PendingActions(), 2u);
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_COMMIT);
    EXPECT_EQ(panel, panel_);
    EXPECT_EQ(control, P_BUTTON);
    EXPECT_DOUBLE_EQ(hl::Now(), 1.0);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    EXPECT_EQ(ui::GetUserEvent(0, nullptr, nullptr), ui::EVENT_COMMIT);
}

TEST_F(EventsTest, RefusedCommitsAndTheirReasons) {
    ui::InstallCtrlCallback(panel_, P_BUTTON, Record, &log_);
    ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, 1);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueAction([&] {
        ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, 0);
        ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_CTRL_MODE, ui::VAL_INDICATOR);
    });
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueCommit(hl::ByHandle(panel_), P_HIDDEN);
    hl::QueueCommit(hl::ByHandle(panel_), P_PLAIN);
    hl::QueueCommit(hl::ByHandle(panel_), P_TIMER);
    hl::QueueCommit(hl::ByHandle(panel_), 99);
    hl::QueueCommit(hl::ByResource(77), P_BUTTON);
    hl::QueueAction([&] { ui::HidePanel(panel_); });
    hl::QueueCommit(hl::ByHandle(panel_), P_RING);
    ui::RunUserInterface();
    const UserResult expected[] = {UserResult::Dimmed,  UserResult::NotHot,      UserResult::Hidden,
                                   UserResult::NotHot,  UserResult::NotOperable, UserResult::NoControl,
                                   UserResult::NoPanel, UserResult::Hidden};
    ASSERT_EQ(hl::Events().size(), 8u);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(hl::Events()[i].result, expected[i])
            << i << ": " << ui::model::UserResultName(hl::Events()[i].result);
    EXPECT_TRUE(log_.empty());
    ASSERT_EQ(hl::Failures().size(), 1u) << "only the panel that could not be found is a failure";
    EXPECT_NE(hl::Failures()[0].find("77"), std::string::npos);
}

TEST_F(EventsTest, InputSetsTheValueThenCommits) {
    ui::InstallCtrlCallback(panel_, P_RING, Record, &log_);
    ui::InstallCtrlCallback(panel_, P_NUM, Record, &log_);
    hl::QueueSelectIndex(hl::ByHandle(panel_), P_RING, 2);
    hl::QueueInput(hl::ByHandle(panel_), P_NUM, 500);      // coerced as a typed value is
    hl::QueueInput(hl::ByHandle(panel_), P_NUM, "tekst");  // does not fit: nothing happens
    hl::QueueInput(hl::ByHandle(panel_), P_TEXT, "x");     // an indicator: not operable
    ui::RunUserInterface();
    ASSERT_EQ(log_.size(), 4u);
    EXPECT_EQ(log_[0].event, ui::EVENT_VAL_CHANGED);
    EXPECT_EQ(log_[1].event, ui::EVENT_COMMIT);
    EXPECT_EQ(log_[2].control, P_NUM);
    int i = 0;
    double d = 0;
    std::string s;
    ui::GetCtrlVal(panel_, P_RING, &i);
    EXPECT_EQ(i, 30);
    ui::GetCtrlVal(panel_, P_NUM, &d);
    EXPECT_EQ(d, 100.0);
    ui::GetCtrlVal(panel_, P_TEXT, &s);
    EXPECT_EQ(s, "Brak połączenia");
    EXPECT_EQ(hl::Events()[2].result, UserResult::BadValue);
    EXPECT_EQ(hl::Events()[3].result, UserResult::NotHot);
}

// What the operator types into a field, as every back end hands it over:
// read with the point as separator, hex in a hex field, refused when it is
// not the field's kind of number (the value then stays).
TEST_F(EventsTest, TypedTextIsReadAsTheFieldsNumber) {
    struct Case {
        int control;
        int format;
        const char *typed;
        UserResult result;
        const char *shown;  // the field's text afterwards
    };
    const Case cases[] = {
        {P_NUM, ui::VAL_DECIMAL_FORMAT, " 12.25 ", UserResult::Delivered, "12.250"},
        {P_NUM, ui::VAL_DECIMAL_FORMAT, "+5", UserResult::Delivered, "5.000"},
        {P_NUM, ui::VAL_DECIMAL_FORMAT, "1e1", UserResult::Delivered, "10.000"},
        {P_NUM, ui::VAL_DECIMAL_FORMAT, "1,5", UserResult::BadValue, "10.000"},
        {P_NUM, ui::VAL_DECIMAL_FORMAT, "inf", UserResult::BadValue, "10.000"},
        {P_NUM, ui::VAL_DECIMAL_FORMAT, "", UserResult::BadValue, "10.000"},
        {P_INT, ui::VAL_DECIMAL_FORMAT, "-3", UserResult::Delivered, "-3"},
        {P_INT, ui::VAL_DECIMAL_FORMAT, "7.5", UserResult::BadValue, "-3"},
        {P_INT, ui::VAL_DECIMAL_FORMAT, "3000000000", UserResult::BadValue, "-3"},
        {P_INT, ui::VAL_HEX_FORMAT, "0x1f", UserResult::Delivered, "01F"},  // as many digits as 500 has
        {P_INT, ui::VAL_HEX_FORMAT, "1F4", UserResult::Delivered, "1F4"},
        {P_INT, ui::VAL_HEX_FORMAT, "-0x3", UserResult::Delivered, "-003"},
        {P_INT, ui::VAL_HEX_FORMAT, "0x", UserResult::BadValue, "-003"},
        {P_INT, ui::VAL_HEX_FORMAT, "+1", UserResult::BadValue, "-003"},
        {P_INT, ui::VAL_HEX_FORMAT, "12.0", UserResult::BadValue, "-003"},
    };
    for (const Case &c : cases) {
        if (c.control == P_INT) {
            ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_INT, ui::ATTR_FORMAT, c.format), 0);
        }
        EXPECT_EQ(ui::model::UserText(panel_, c.control, c.typed), c.result) << c.typed;
        EXPECT_EQ(ui::model::FieldText(*ui::model::FindControl(panel_, c.control)), c.shown) << c.typed;
    }
    EXPECT_EQ(ui::model::UserText(panel_, P_STR, " a b "), UserResult::Delivered);
    EXPECT_EQ(ui::model::FindControl(panel_, P_STR)->text, " a b ");
}

TEST_F(EventsTest, NormalModeTakesValuesWithoutCommitting) {
    ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_CTRL_MODE, ui::VAL_NORMAL);
    ui::InstallCtrlCallback(panel_, P_STR, Record, &log_);
    hl::QueueInput(hl::ByHandle(panel_), P_STR, std::string("0221234567"));
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    int panel = 0, control = 0;
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_COMMIT);
    EXPECT_EQ(control, P_BUTTON) << "the input produced no commit of its own";
    std::string s;
    ui::GetCtrlVal(panel_, P_STR, &s);
    EXPECT_EQ(s, "0221234567");
    ASSERT_EQ(log_.size(), 1u);
    EXPECT_EQ(log_[0].event, ui::EVENT_VAL_CHANGED);
}

TEST_F(EventsTest, ASwallowedCommitIsNotReturned) {
    ui::InstallCtrlCallback(panel_, P_BUTTON, Swallow, nullptr);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueCommit(hl::ByHandle(panel_), P_RING);
    int panel = 0, control = 0;
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_COMMIT);
    EXPECT_EQ(control, P_RING);
    EXPECT_EQ(hl::Events()[0].result, UserResult::Swallowed);
}

int InnerLoop(int, int, int event, void *data, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    *static_cast<int *>(data) = ui::RunUserInterface();
    return 0;
}

TEST_F(EventsTest, QuitEndsOnlyTheInnermostLoop) {
    int inner = -1;
    ui::InstallCtrlCallback(panel_, P_RING, InnerLoop, &inner);
    ui::InstallCtrlCallback(panel_, P_BUTTON, QuitWith7, nullptr);
    ui::InstallCtrlCallback(panel_, P_PLAIN, Record, &log_);
    ui::SetCtrlAttribute(panel_, P_PLAIN, ui::ATTR_CTRL_MODE, ui::VAL_HOT);
    hl::QueueCommit(hl::ByHandle(panel_), P_RING);    // starts the inner loop
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);  // ends it
    hl::QueueCommit(hl::ByHandle(panel_), P_PLAIN);   // back in the outer loop
    EXPECT_EQ(ui::RunUserInterface(), 0);
    EXPECT_EQ(inner, 7);
    EXPECT_EQ(log_.size(), 1u);
}

// The quit control's way: suspend, discard its own panel, end the loop.
int DiscardOwnPanelAndQuit(int panel, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    ui::SuspendTimerCallbacks();
    ui::DiscardPanel(panel);
    ui::QuitUserInterface(0);
    return 0;
}

int DiscardOnChange(int panel, int, int event, void *, int, int) {
    if (event == ui::EVENT_VAL_CHANGED) ui::DiscardPanel(panel);
    return 0;
}

TEST_F(EventsTest, ACallbackMayDiscardItsOwnPanel) {
    ui::InstallCtrlCallback(panel_, P_BUTTON, DiscardOwnPanelAndQuit, nullptr);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    EXPECT_EQ(ui::RunUserInterface(), 0);
    EXPECT_EQ(ui::model::FindPanel(panel_), nullptr);
    EXPECT_EQ(hl::QuitCount(), 1);
    EXPECT_EQ(hl::PendingActions(), 1u);

    const int other = Load();
    ui::DisplayPanel(other);
    ui::InstallCtrlCallback(other, P_NUM, DiscardOnChange, nullptr);
    hl::QueueInput(hl::ByHandle(other), P_NUM, 5.0);
    int p = 0, c = 0;
    // The stale commit finds no panel; the input's panel goes before its commit.
    EXPECT_EQ(ui::GetUserEvent(1, &p, &c), ui::EVENT_NONE);
    EXPECT_EQ(ui::model::FindPanel(other), nullptr);
    EXPECT_EQ(hl::Failures().size(), 1u);
}

TEST_F(EventsTest, ProcessSystemEventsLeavesTheOperatorsActionsQueued) {
    hl::QueueCommit(hl::ByHandle(panel_), P_BUTTON);
    EXPECT_EQ(ui::ProcessSystemEvents(), 0);
    EXPECT_EQ(hl::PendingActions(), 1u);
}

TEST_F(EventsTest, WaitCursorAndScreenSize) {
    EXPECT_FALSE(ui::model::WaitCursor());
    ui::SetWaitCursor(1);
    EXPECT_TRUE(ui::model::WaitCursor());
    EXPECT_TRUE(hl::WaitCursor());
    ui::SetWaitCursor(0);
    EXPECT_FALSE(ui::model::WaitCursor());
    int h = 0, w = 0;
    EXPECT_EQ(ui::GetScreenSize(&h, &w), 0);
    EXPECT_EQ(h, 1080);
    EXPECT_EQ(w, 1920);
    hl::SetScreenSize(768, 1024);
    ui::GetScreenSize(&h, &w);
    EXPECT_EQ(h, 768);
    EXPECT_EQ(w, 1024);
}

}  // namespace
}  // namespace uitest

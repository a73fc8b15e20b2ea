// The headless back end: panels stay data, popups are answered from a
// script and recorded, the operator's actions are a queue, and timers run on
// a virtual clock. Screens' tests run on it. Nothing here ever blocks.
//
//   ui::headless::Install();
//   ui::headless::ExpectConfirm("Warning", true);
//   ui::headless::QueueCommit(ui::headless::ByResource(PANEL_GL), PANEL_GL_QUIT);
//   ui::RunUserInterface();           // returns on QuitUserInterface or when the queue is empty
//   EXPECT_TRUE(ui::headless::Failures().empty());
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/backend.h"
#include "ui/model.h"

namespace ui::headless {

// Installs the headless back end and starts afresh: every panel discarded,
// queues, scripts and records emptied, clock at 0, screen 1920x1080.
void Install();

// ---- which panel a queued action goes to (resolved when it is reached) ----
struct PanelRef {
    enum class By { Handle, Resource, TopPopup } by = By::Handle;
    int value = 0;
};
PanelRef ByHandle(int handle);
PanelRef ByResource(int resourceId);  // the newest live panel loaded with that number
PanelRef TopPopup();                  // the active popup

// ---- the operator's actions, in order ----
void QueueCommit(PanelRef panel, int control);
// The window manager's close button on the panel's window.
void QueueClose(PanelRef panel);
// Sets the value as the operator would (EVENT_VAL_CHANGED), then commits
// when the control is in hot mode.
void QueueInput(PanelRef panel, int control, int value);
void QueueInput(PanelRef panel, int control, double value);
void QueueInput(PanelRef panel, int control, const std::string &value);
void QueueSelectIndex(PanelRef panel, int control, int index);
// The operator does nothing for this long: the clock moves on (timers tick)
// before the next action becomes available.
void QueueWait(double seconds);
// Runs a test's own code at this point of the script.
void QueueAction(std::function<void()> action);
size_t PendingActions();

// What happened to each queued commit or input.
struct EventRecord {
    int panel = 0;  // 0 when the reference did not resolve
    int control = 0;
    bool input = false;
    model::UserResult result = model::UserResult::NoPanel;
    double time = 0.0;
};
const std::vector<EventRecord> &Events();

// ---- popups ----
struct PopupScript {
    PopupKind kind = PopupKind::Message;
    std::string title;  // must equal the popup's title; "" matches any
    PopupAnswer answer;
    std::function<void()> onShow;  // optional: runs while the popup is up
};
void ExpectPopup(PopupScript script);
void ExpectMessage(const std::string &title);
void ExpectConfirm(const std::string &title, bool yes);
void ExpectPrompt(const std::string &title, const std::string &answer);
void ExpectPromptCancel(const std::string &title);
// button 1..3, or 0 = the window closed (gives the escape button).
void ExpectGeneric(const std::string &title, int button, const std::string &response = "");
size_t PendingPopups();  // scripted answers not yet used

struct PopupRecord {
    PopupRequest request;
    PopupAnswer answer;
    bool expected = false;  // answered from the script
};
const std::vector<PopupRecord> &Popups();

// Unexpected popups (answered OK / no / cancel / escape button) and queued
// actions whose panel could not be found.
const std::vector<std::string> &Failures();

// ---- clock ----
double Now();
// Moves the clock on, ticking due timers in time order.
void AdvanceTime(double seconds);
// Each GetUserEvent(0, ...) that finds nothing and each ProcessSystemEvents()
// moves the clock on by this much (default 0), so polling loops see time pass.
void SetPollAdvance(double seconds);

// ---- how a control changed ----
// Once watched, each change of the control (value, attribute) is recorded
// with its text and text colour just after it, so a test can check the
// order of the program's calls and not only their end.
struct ControlState {
    std::string text;
    int textColor = 0;
};
void WatchControl(int panel, int control);
const std::vector<ControlState> &ControlHistory();

// ---- other state ----
bool WaitCursor();  // as SetWaitCursor left it
bool TimerCallbacksSuspended();
void SetScreenSize(int height, int width);
int QuitCount();  // QuitUserInterface calls so far
int LastQuitCode();

}  // namespace ui::headless

// The seam between the toolkit-neutral core and a toolkit. The core keeps the
// model (ui/model.h) and tells the back end what changed; the back end shows
// it, runs the blocking parts (popups, the event loop, waiting for a user
// event) and drives the clock for the timers.
//
// What a back end does with the user:
//  - a button press, a committed edit: ui::model::UserInput() for the new
//    value (if any), then ui::model::UserCommit(); when GetUserEvent() is
//    waiting and the result is Delivered, hand (panel, control) to it.
//  - the window system closing a panel's window: ui::model::UserClose(),
//    then as for a commit (the panel's close control, or nothing).
//  - timers: ask ui::model::NextTimerDue() after TimersChanged() and call
//    ui::model::FireDueTimers(Now()) when that time has come.
#pragma once
#include <string>
#include <vector>

namespace ui {

enum class PopupKind { Message, Confirm, Prompt, Generic };

struct PopupRequest {
    PopupKind kind = PopupKind::Message;
    std::string title;
    std::string message;
    std::string buttons[3];     // Generic: "" = no such button
    bool hasResponse = false;   // Prompt, or Generic with a response field
    int maxResponseLength = 0;  // bytes
    int enterButton = 0;        // Generic
    int escapeButton = 0;       // Generic
};

struct PopupAnswer {
    int button = 0;          // Confirm: 1 yes / 0 no; Generic: 1..3 (0 = closed, no escape button)
    bool cancelled = false;  // Prompt
    std::string response;    // Prompt, Generic with a response field
};

// The buttons a popup shows, left to right: "OK" for a message, "Yes" "No"
// for a confirmation, "OK" "Cancel" for a prompt, the named ones of a
// generic popup. Enter presses `enter`, Escape and the window's close button
// press `escape` (1-based; 0: the popup ends with no button).
struct PopupButtons {
    std::vector<std::string> labels;
    int enter = 0;
    int escape = 0;
};
PopupButtons ButtonsOf(const PopupRequest &request);

class Backend {
public:
    virtual ~Backend() = default;

    // ---- notifications (the model is already updated) ----
    virtual void PanelCreated(int /*panel*/) {}
    virtual void PanelShown(int /*panel*/) {}
    virtual void PanelHidden(int /*panel*/) {}
    virtual void PanelDiscarded(int /*panel*/) {}
    virtual void PanelChanged(int /*panel*/) {}  // title or placement
    virtual void ControlCreated(int /*panel*/, int /*control*/) {}
    virtual void ControlChanged(int /*panel*/, int /*control*/) {}  // value, items, lines, attributes
    virtual void PopupInstalled(int /*panel*/) {}
    virtual void PopupRemoved(int /*panel*/) {}
    virtual void TimersChanged() {}  // reschedule: NextTimerDue() moved
    virtual void TimerCallbacksSuspended(bool /*suspended*/) {}
    virtual void WaitCursorChanged(bool /*on*/) {}

    // ---- what needs a toolkit ----
    // Blocks until the operator answers (a modal dialog).
    virtual PopupAnswer ShowPopup(const PopupRequest &request) = 0;
    // Runs the event loop until QuitUserInterface(); returns its code.
    virtual int RunUserInterface() = 0;
    virtual void QuitUserInterface(int returnCode) = 0;
    // Next delivered commit event (see ui::GetUserEvent); may be nested
    // inside a callback. Returns EVENT_COMMIT or EVENT_NONE.
    virtual int GetUserEvent(bool wait, int *panel, int *control) = 0;
    virtual void ProcessSystemEvents() = 0;
    // The clock of the timers, in seconds (any origin, never going back).
    virtual double Now() = 0;
    virtual void GetScreenSize(int *height, int *width) = 0;
};

// The back end in use (not owned); null = none: the model still works, the
// calls that need a toolkit return UIE_NO_BACKEND.
void SetBackend(Backend *backend);
Backend *CurrentBackend();

// For a library used by programs that never choose a back end (the SDK):
// while none is in use, the first call that needs one (loading or making a
// panel, a popup, the event loop) runs `install`, which calls SetBackend.
// nullptr (the default) leaves those calls without a back end.
void SetBackendOnDemand(void (*install)());

}  // namespace ui

// The event loop calls, handed to the back end, and the operator's actions
// as the back end reports them.
#include "ui/core.h"

namespace ui::model {
namespace {

bool Within(int panel, int ancestor) {
    for (int guard = 0; panel != 0 && guard < 10000; ++guard) {
        if (panel == ancestor) return true;
        const Panel *p = core::GetPanel(panel);
        if (!p) return false;
        panel = p->parent;
    }
    return false;
}

bool ShownWithParents(int panel) {
    for (int guard = 0; panel != 0 && guard < 10000; ++guard) {
        const Panel *p = core::GetPanel(panel);
        if (!p || !p->visible) return false;
        panel = p->parent;
    }
    return true;
}

// The checks an operator's action passes before it reaches the control.
UserResult Reachable(int panel, int control, bool commit, Control **out) {
    Panel *p = core::GetPanel(panel);
    if (!p) return UserResult::NoPanel;
    Control *c = core::GetControl(*p, control);
    if (!c) return UserResult::NoControl;
    if (c->kind == CTRL_TIMER) return UserResult::NotOperable;
    const int top = TopPopup();
    if (top != 0 && !Within(panel, top)) return UserResult::Modal;
    if (!ShownWithParents(panel) || !c->visible) return UserResult::Hidden;
    if (c->dimmed) return UserResult::Dimmed;
    if (c->mode == VAL_INDICATOR || (commit && c->mode != VAL_HOT)) return UserResult::NotHot;
    *out = c;
    return UserResult::Delivered;
}

template <class Store>
UserResult Input(int panel, int control, Store store) {
    Control *c = nullptr;
    const UserResult r = Reachable(panel, control, false, &c);
    if (r != UserResult::Delivered) return r;
    if (store(*c) != 0) return UserResult::BadValue;
    core::Notify([&](Backend &b) { b.ControlChanged(panel, control); });
    core::CallCallback(panel, control, EVENT_VAL_CHANGED, 0, 0);
    return UserResult::Delivered;
}

}  // namespace

const char *UserResultName(UserResult result) {
    switch (result) {
    case UserResult::Delivered: return "delivered";
    case UserResult::Swallowed: return "swallowed";
    case UserResult::NoPanel: return "no such panel";
    case UserResult::NoControl: return "no such control";
    case UserResult::Modal: return "blocked by a popup";
    case UserResult::Hidden: return "hidden";
    case UserResult::Dimmed: return "dimmed";
    case UserResult::NotHot: return "not hot";
    case UserResult::NotOperable: return "not operable";
    case UserResult::BadValue: return "bad value";
    case UserResult::NoClose: return "no close control";
    }
    return "?";
}

UserResult UserCommit(int panel, int control) {
    Control *c = nullptr;
    const UserResult r = Reachable(panel, control, true, &c);
    if (r != UserResult::Delivered) return r;
    return core::CallCallback(panel, control, EVENT_COMMIT, 0, 0) != 0 ? UserResult::Swallowed : UserResult::Delivered;
}

UserResult UserClose(int panel, int *control) {
    if (control) *control = 0;
    const Panel *p = core::GetPanel(panel);
    if (!p) return UserResult::NoPanel;
    const int close = p->closeControl;
    if (close == 0) return UserResult::NoClose;
    if (control) *control = close;
    return UserCommit(panel, close);
}

UserResult UserInput(int panel, int control, int value) {
    return Input(panel, control, [&](Control &c) -> int { return core::StoreInt(c, value); });
}

UserResult UserInput(int panel, int control, double value) {
    return Input(panel, control, [&](Control &c) -> int { return core::StoreDouble(c, value); });
}

UserResult UserInput(int panel, int control, const char *value) {
    // Typing replaces a text box's contents rather than adding to them.
    return Input(panel, control, [&](Control &c) -> int {
        if (c.kind == CTRL_TEXT_BOX && value) {
            core::ResetLines(c, value);
            return 0;
        }
        return core::StoreText(c, value);
    });
}

UserResult UserSelectIndex(int panel, int control, int index) {
    return Input(panel, control, [&](Control &c) -> int {
        if (!core::IsListKind(c.kind)) return UIE_WRONG_KIND;
        if (index < 0 || index >= static_cast<int>(c.items.size())) return UIE_INDEX;
        c.index = index;
        return 0;
    });
}

}  // namespace ui::model

namespace ui {

int RunUserInterface() {
    Backend *b = core::Toolkit();
    return b ? b->RunUserInterface() : UIE_NO_BACKEND;
}

int QuitUserInterface(int returnCode) {
    Backend *b = core::Toolkit();
    if (!b) return UIE_NO_BACKEND;
    b->QuitUserInterface(returnCode);
    return 0;
}

int GetUserEvent(int wait, int *panel, int *control) {
    Backend *b = core::Toolkit();
    if (!b) return UIE_NO_BACKEND;
    int p = 0, c = 0;
    const int event = b->GetUserEvent(wait != 0, &p, &c);
    if (panel) *panel = p;
    if (control) *control = c;
    return event;
}

int ProcessSystemEvents() {
    Backend *b = core::Toolkit();
    if (!b) return UIE_NO_BACKEND;
    b->ProcessSystemEvents();
    return 0;
}

int SuspendTimerCallbacks() {
    core::S().suspended = true;
    core::Notify([](Backend &b) { b.TimerCallbacksSuspended(true); });
    return 0;
}

int ResumeTimerCallbacks() {
    core::S().suspended = false;
    core::Notify([](Backend &b) { b.TimerCallbacksSuspended(false); });
    return 0;
}

int SetWaitCursor(int on) {
    core::S().waitCursor = on != 0;
    core::Notify([&](Backend &b) { b.WaitCursorChanged(on != 0); });
    return 0;
}

int GetScreenSize(int *height, int *width) {
    Backend *b = core::Toolkit();
    if (!b) return UIE_NO_BACKEND;
    int h = 0, w = 0;
    b->GetScreenSize(&h, &w);
    if (height) *height = h;
    if (width) *width = w;
    return 0;
}

}  // namespace ui

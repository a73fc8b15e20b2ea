#include "ui/core.h"

#include <cfloat>
#include <climits>
#include <cmath>

#include "platform/utf8.h"

namespace ui::core {

State &S() {
    static State state;
    return state;
}

model::Panel *GetPanel(int handle) {
    auto it = S().panels.find(handle);
    return it == S().panels.end() ? nullptr : &it->second;
}

model::Control *GetControl(model::Panel &panel, int control) {
    for (model::Control &c : panel.controls)
        if (c.number == control) return &c;
    return nullptr;
}

int Lookup(int panel, int control, model::Panel **p, model::Control **c) {
    model::Panel *found = GetPanel(panel);
    if (!found) return UIE_INVALID_PANEL;
    model::Control *ctrl = GetControl(*found, control);
    if (!ctrl) return UIE_INVALID_CONTROL;
    if (p) *p = found;
    if (c) *c = ctrl;
    return 0;
}

Backend *Toolkit() {
    State &s = S();
    if (!s.backend && s.installOnDemand) s.installOnDemand();
    return s.backend;
}

double ClockNow() {
    Backend *b = S().backend;
    return b ? b->Now() : 0.0;
}

CtrlCallbackPtr CallbackOf(const model::Control &control) {
    if (control.callback) return control.callback;
    if (control.callbackName.empty()) return nullptr;
    return FindCallback(control.callbackName.c_str());
}

int CallCallback(int panel, int control, int event, int eventData1, int eventData2) {
    model::Panel *p = nullptr;
    model::Control *c = nullptr;
    if (Lookup(panel, control, &p, &c) != 0) return 0;
    CtrlCallbackPtr fn = CallbackOf(*c);
    if (!fn) return 0;
    void *data = c->callbackData;
    // The callback may discard this very panel: nothing of it is used afterwards.
    try {
        return fn(panel, control, event, data, eventData1, eventData2);
    } catch (...) {
        return 0;  // an exception must not unwind through the event loop
    }
}

std::string Str(const char *s) { return s ? std::string(s) : std::string(); }

void CopyOut(std::string_view text, char *out, int size) {
    if (size > 0) platform::CopyText(text, out, static_cast<std::size_t>(size));
}

bool IsIdentifier(std::string_view s) {
    if (s.empty()) return false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char ch = s[i];
        const bool alpha = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || ch == '_';
        const bool digit = ch >= '0' && ch <= '9';
        if (!(alpha || (digit && i > 0))) return false;
    }
    return true;
}

}  // namespace ui::core

namespace ui {

void SetBackend(Backend *backend) { core::S().backend = backend; }
Backend *CurrentBackend() { return core::S().backend; }
void SetBackendOnDemand(void (*install)()) { core::S().installOnDemand = install; }

}  // namespace ui

namespace ui::model {
namespace {

struct KindName {
    int kind;
    const char *keyword;
};
constexpr KindName kKinds[] = {
    {CTRL_NUMERIC, "numeric"},
    {CTRL_NUMERIC_INT, "int"},
    {CTRL_STRING, "string"},
    {CTRL_TEXT_MSG, "text"},
    {CTRL_TEXT_BOX, "textbox"},
    {CTRL_COMMAND_BUTTON, "button"},
    {CTRL_RING, "ring"},
    {CTRL_LIST_BOX, "list"},
    {CTRL_RADIO_BUTTON, "radio"},
    {CTRL_BINARY_SWITCH, "switch"},
    {CTRL_LEVEL_INDICATOR, "level"},
    {CTRL_TIMER, "timer"},
    {CTRL_LED, "led"},
};

}  // namespace

bool IsValidKind(int kind) { return kind >= CTRL_NUMERIC && kind <= CTRL_LED; }

const char *KindKeyword(int kind) {
    for (const KindName &k : kKinds)
        if (k.kind == kind) return k.keyword;
    return "";
}

int KindFromKeyword(const std::string &keyword) {
    for (const KindName &k : kKinds)
        if (keyword == k.keyword) return k.kind;
    return 0;
}

Control DefaultControl(int kind) {
    Control c;
    c.kind = kind;
    switch (kind) {
    case CTRL_NUMERIC:
        c.minValue = -DBL_MAX;
        c.maxValue = DBL_MAX;
        break;
    case CTRL_NUMERIC_INT:
        c.minValue = INT_MIN;
        c.maxValue = INT_MAX;
        c.precision = 0;
        break;
    case CTRL_LEVEL_INDICATOR:
        c.minValue = 0.0;
        c.maxValue = 100.0;
        c.mode = VAL_INDICATOR;
        break;
    case CTRL_TEXT_MSG:
    case CTRL_TEXT_BOX:
    case CTRL_LED: c.mode = VAL_INDICATOR; break;
    case CTRL_TIMER:
        c.width = c.height = 0;
        c.visible = false;  // never shown; commits to it are refused by kind anyway
        break;
    default: break;
    }
    if (kind == CTRL_TEXT_BOX) c.height = 100;
    return c;
}

const Panel *FindPanel(int handle) { return core::GetPanel(handle); }

const Control *FindControl(int panel, int control) {
    Panel *p = core::GetPanel(panel);
    return p ? core::GetControl(*p, control) : nullptr;
}

std::vector<int> PanelHandles() {
    std::vector<int> handles;
    for (const auto &entry : core::S().panels) handles.push_back(entry.first);
    return handles;
}

const std::vector<int> &PopupStack() { return core::S().popups; }

int TopPopup() { return core::S().popups.empty() ? 0 : core::S().popups.back(); }

int FindPanelByResource(int resourceId) {
    const auto &panels = core::S().panels;
    for (auto it = panels.rbegin(); it != panels.rend(); ++it)
        if (resourceId > 0 && it->second.resourceId == resourceId) return it->first;
    return 0;
}

bool TimerCallbacksSuspended() { return core::S().suspended; }
bool WaitCursor() { return core::S().waitCursor; }

void Reset() {
    core::State &s = core::S();
    s.panels.clear();
    s.popups.clear();
    s.suspended = false;
    s.waitCursor = false;
    s.lastResourceError.clear();
    core::TimersChanged();
}

}  // namespace ui::model

// Inside the user-interface core: the process-wide model and the helpers
// that the public calls share. Not for screens; they use ui/ui.h.
#pragma once
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/backend.h"
#include "ui/model.h"

namespace ui::core {

struct State {
    std::map<int, model::Panel> panels;  // by handle; handles only grow, so this is creation order
    std::vector<int> popups;             // bottom first
    int nextHandle = 1;
    bool suspended = false;
    bool waitCursor = false;
    std::string projectFolder;  // "" = the program's folder
    std::string lastResourceError;
    Backend *backend = nullptr;
    void (*installOnDemand)() = nullptr;
};

State &S();

model::Panel *GetPanel(int handle);
model::Control *GetControl(model::Panel &panel, int control);
// 0, UIE_INVALID_PANEL or UIE_INVALID_CONTROL.
int Lookup(int panel, int control, model::Panel **p, model::Control **c);

// The back end for a call that needs one: installed on demand first when
// none is in use (SetBackendOnDemand); null when there is still none.
Backend *Toolkit();

template <class F>
void Notify(F &&f) {
    if (Backend *b = S().backend) f(*b);
}

// The back end's clock, 0 without a back end.
double ClockNow();

// Callback of a control (direct or by name); null when none.
CtrlCallbackPtr CallbackOf(const model::Control &control);
// Calls the control's callback, if any; returns its result (0 when none).
int CallCallback(int panel, int control, int event, int eventData1, int eventData2);

// ---- values (shared by SetCtrlVal, the operator's input and panel states) ----
bool HasValue(int kind);
bool IsNumericKind(int kind);  // numeric, int, level
bool IsBinaryKind(int kind);   // radio, switch, led
bool IsListKind(int kind);     // ring, list
bool IsTextKind(int kind);     // string, text
int StoreInt(model::Control &c, int value);
int StoreDouble(model::Control &c, double value);
int StoreText(model::Control &c, const char *value);
// Cuts a string control's text to its maximum entry length, in characters.
void CutToEntryLength(model::Control &c);
void AppendText(model::Control &c, std::string_view text);
void ResetLines(model::Control &c, std::string_view text);
std::string JoinLines(const model::Control &c);
// Keeps the value of a numeric control within its range.
void ClampToRange(model::Control &c);

// ---- timers ----
void StartTimer(model::Control &c);  // next tick one interval from now
void TimersChanged();

// ---- strings ----
std::string Str(const char *s);  // null = ""
// Copies into a C buffer of `size` bytes, cut on a UTF-8 character boundary.
void CopyOut(std::string_view text, char *out, int size);
bool IsIdentifier(std::string_view s);

}  // namespace ui::core

// The model the core keeps: panels and their controls. Back ends read it to
// build their windows and report the operator's actions through it; tests
// use it to find the panels that the code under test loaded.
// Pointers returned here stay valid only until the next call that changes
// the set of panels or controls (or runs a callback).
#pragma once
#include <string>
#include <vector>

#include "ui/ui.h"

namespace ui::model {

struct ListItem {
    std::string label;
    int value = 0;
};

struct Control {
    int number = 0;
    int kind = 0;              // CtrlKind
    std::string constantName;  // as in the resource file ("" if made at run time)
    std::string label;
    std::string callbackName;
    CtrlCallbackPtr callback = nullptr;  // installed directly; otherwise found by name
    void *callbackData = nullptr;
    int top = 0, left = 0, height = 20, width = 100;
    bool dimmed = false;
    bool visible = true;
    int mode = VAL_HOT;
    int textColor = VAL_BLACK;

    // Value: numeric kinds (int ones hold whole numbers), text kinds, lists, text boxes.
    double numeric = 0.0;
    std::string text;
    std::vector<ListItem> items;
    int index = -1;  // selected item, -1 when the list is empty
    std::vector<std::string> lines;
    bool lineOpen = false;  // the text ended with "\n": the next text starts a line

    double minValue = 0.0, maxValue = 0.0;  // numeric kinds; see DefaultControl()
    int precision = 2;
    int format = VAL_DECIMAL_FORMAT;  // int controls: digits in decimal or upper-case hex
    int maxEntryLength = -1;          // string controls: most characters held, -1 = no limit

    // Timers.
    double interval = 1.0;
    bool enabled = true;
    double due = 0.0;      // next tick, on the back end's clock
    bool ticking = false;  // its callback is running
};

struct Panel {
    int handle = 0;
    int parent = 0;
    int resourceId = 0;    // 0 for NewPanel
    std::string fileName;  // resource file it came from
    std::string constantName;
    std::string title;
    int top = 0, left = 0, height = 300, width = 400;
    bool visible = false;
    int closeControl = 0;           // ATTR_CLOSE_CTRL
    std::vector<Control> controls;  // in resource-file order
};

// A control of the given kind with that kind's defaults.
Control DefaultControl(int kind);
bool IsValidKind(int kind);
// Keyword of the kind as written in resource files, "" if unknown; and back.
const char *KindKeyword(int kind);
int KindFromKeyword(const std::string &keyword);  // 0 if unknown

const Panel *FindPanel(int handle);
const Control *FindControl(int panel, int control);
std::vector<int> PanelHandles();          // in creation order
const std::vector<int> &PopupStack();     // bottom first
int TopPopup();                           // 0 when none
int FindPanelByResource(int resourceId);  // newest live panel with it, 0 if none
bool TimerCallbacksSuspended();
bool WaitCursor();

// ---- the operator, as a back end reports it ----
enum class UserResult {
    Delivered,  // callback (if any) ran and did not swallow it
    Swallowed,  // the callback returned non-zero
    NoPanel,
    NoControl,
    Modal,   // another panel is the active popup
    Hidden,  // panel or control not visible
    Dimmed,
    NotHot,       // indicator (or normal mode: no commit events)
    NotOperable,  // a kind the operator cannot commit (timer)
    BadValue,     // the value does not fit the control
    NoClose,      // the panel names no control for its close button
};
const char *UserResultName(UserResult result);
// A commit of the control: checked against modality, visibility, dimming and
// mode, then its callback is called with EVENT_COMMIT.
UserResult UserCommit(int panel, int control);
// The operator changed a value (typed, chose an item, flipped a switch):
// the same checks (normal mode allowed), the value is stored, the callback
// gets EVENT_VAL_CHANGED. The commit is a separate UserCommit().
UserResult UserInput(int panel, int control, int value);
UserResult UserInput(int panel, int control, double value);
UserResult UserInput(int panel, int control, const char *value);
UserResult UserSelectIndex(int panel, int control, int index);
// A numeric control's value as its field shows it: `precision` digits after
// the point; an int in decimal or, in hex format, upper-case hex digits, as
// many as the largest value of its range has. The point whatever the
// desktop's language.
std::string FieldText(const Control &control);
// The operator typed `text` into a field. A numeric field reads it as a
// number (blanks around it ignored; the point as separator; in a hex int
// field hex digits, with or without 0x) and refuses with BadValue what is not
// a finite number or, in an int field, not a whole one within int; then as
// UserInput. Other kinds take the text as UserInput does.
UserResult UserText(int panel, int control, const std::string &text);
// The window system asks to close the panel's window (its close button, a
// keyboard shortcut): a UserCommit() of the panel's close control, which
// *control receives (0 when there is none). Every back end calls this, so
// a window closes the way its own quit, return or cancel control does.
UserResult UserClose(int panel, int *control);

// ---- timers ----
// When the earliest enabled timer is due (+infinity when none).
double NextTimerDue();
// Ticks every timer due at or before `now`, earliest first. With catchUp
// each missed interval ticks (virtual clock); without it a late timer ticks
// once and its next tick is counted from now (real clock).
void FireDueTimers(double now, bool catchUp);

// Discards every panel (no callbacks), empties the popup stack, clears the
// suspension and the wait cursor. Registered callback names stay.
void Reset();

}  // namespace ui::model

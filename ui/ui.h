// Toolkit-neutral user interface: panels loaded from resource files,
// controls with values and attributes, popups, timers and the event loop.
// The calls mirror the run-time library the screens were written for; a back
// end (Qt for the program, console without windows, headless for tests) shows them.
// Every call returns 0 (or a handle/value >= 0) on success and a negative
// UiError on failure, and never throws.
#pragma once
#include <string>

namespace ui {

using CtrlCallbackPtr = int (*)(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);

enum Event {
    EVENT_NONE = 0,
    EVENT_COMMIT = 1,
    EVENT_VAL_CHANGED = 2,
    EVENT_TIMER_TICK = 15,  // the code the timer callbacks were written against
    EVENT_CLOSE = 4,
    EVENT_DISCARD = 5,
};

enum UiError {
    UIE_NO_SUCH_FILE = -1,
    UIE_NO_SUCH_PANEL = -2,    // no panel with that number in the file
    UIE_BAD_FILE = -3,         // the resource file cannot be parsed
    UIE_INVALID_PANEL = -4,    // handle not valid
    UIE_INVALID_CONTROL = -5,  // control not on the panel
    UIE_BAD_ATTRIBUTE = -6,    // attribute not valid for the control kind
    UIE_BAD_VALUE = -7,        // value of the wrong type or out of range
    UIE_INDEX = -8,            // list or text-box index out of range
    UIE_NO_POPUP = -9,
    UIE_CANCELLED = -10,  // prompt dismissed
    UIE_NO_BACKEND = -11,
    UIE_WRONG_KIND = -12,   // operation not offered by the control kind (list op on a numeric...)
    UIE_POPUP_STATE = -13,  // panel already installed as a popup
    UIE_FILE_WRITE = -14,   // a panel-state file cannot be written
    UIE_NO_OPERATOR = -15,  // no event loop: nobody can operate the windows (console)
};

// Control kinds, as written in resource files (keyword in brackets).
enum CtrlKind {
    CTRL_NUMERIC = 1,      // [numeric] double value
    CTRL_NUMERIC_INT,      // [int] integer value
    CTRL_STRING,           // [string] editable one-line text
    CTRL_TEXT_MSG,         // [text] read-only text (status lines, labels)
    CTRL_TEXT_BOX,         // [textbox] several lines
    CTRL_COMMAND_BUTTON,   // [button]
    CTRL_RING,             // [ring] one of several items, each with a value
    CTRL_LIST_BOX,         // [list]
    CTRL_RADIO_BUTTON,     // [radio] integer 0/1
    CTRL_BINARY_SWITCH,    // [switch] integer 0/1
    CTRL_LEVEL_INDICATOR,  // [level] horizontal gauge, double within its range
    CTRL_TIMER,            // [timer] invisible; ticks every ATTR_INTERVAL s while enabled
    CTRL_LED,              // [led] integer 0/1
};

enum Attribute {
    // controls
    ATTR_DIMMED = 1,     // int 0/1
    ATTR_CTRL_MODE,      // int: VAL_HOT, VAL_INDICATOR, VAL_NORMAL
    ATTR_TEXT_COLOR,     // int 0xRRGGBB
    ATTR_LABEL_TEXT,     // text
    ATTR_VISIBLE,        // int 0/1
    ATTR_INTERVAL,       // double seconds (timers)
    ATTR_ENABLED,        // int 0/1 (timers)
    ATTR_MIN_VALUE,      // double (numeric, level)
    ATTR_MAX_VALUE,      // double (numeric, level)
    ATTR_PRECISION,      // int digits after the point (numeric)
    ATTR_CTRL_KIND,      // int CtrlKind, read only
    ATTR_CALLBACK_NAME,  // text, read only
    // placement (controls and panels), in pixels
    ATTR_TOP,
    ATTR_LEFT,
    ATTR_WIDTH,
    ATTR_HEIGHT,
    // panels
    ATTR_TITLE,              // text
    ATTR_PANEL_RESOURCE_ID,  // int, read only
    // int controls
    ATTR_FORMAT,  // int: VAL_DECIMAL_FORMAT or VAL_HEX_FORMAT, how the value is shown and typed
    // panels: int, the control the window's close button commits, as the
    // operator pressing it would; 0 (the default) = the close button does nothing
    ATTR_CLOSE_CTRL,
    // string controls: int, the most characters the field holds (what the
    // operator types, and what the program or a panel state puts in, is
    // cut to it); -1 (the default) = no limit
    ATTR_MAX_ENTRY_LENGTH,
};

enum CtrlMode { VAL_NORMAL = 0, VAL_HOT = 1, VAL_INDICATOR = 2 };
enum NumberFormat { VAL_DECIMAL_FORMAT = 0, VAL_HEX_FORMAT = 1 };

// Colours used by the screens.
constexpr int VAL_BLACK = 0x000000;
constexpr int VAL_DK_RED = 0x800000;
constexpr int VAL_DK_GREEN = 0x008000;
constexpr int VAL_DK_BLUE = 0x000080;
constexpr int VAL_RED = 0xFF0000;
constexpr int VAL_GREEN = 0x00FF00;
constexpr int VAL_BLUE = 0x0000FF;

// ---- callbacks by name (resource files bind controls to these names) ----
void RegisterCallback(const char *name, CtrlCallbackPtr callback);
CtrlCallbackPtr FindCallback(const char *name);
// Binds a function to one control directly (takes precedence over the name).
int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr callback, void *callbackData);

// ---- resource files ----
// Relative resource file names are taken from this folder; null or "" =
// the folder of the running program (the default).
void SetProjectFolder(const char *folder);
std::string GetProjectFolder();
// What went wrong in the last failed LoadPanel, RecallPanelState (file,
// line and reason) or SavePanelState (the reason), for diagnostics.
std::string GetLastResourceError();

// ---- panels ----
// Loads panel number panelResourceId from a resource file (a path as the
// system gives it; see platform::HostPath; a relative name is taken from the
// project folder). Returns a handle > 0; every load is a new panel.
int LoadPanel(int parentPanel, const char *fileName, int panelResourceId);
int NewPanel(int parentPanel, const char *title, int top, int left, int height, int width);
// Adds a control at run time; returns its control number.
int NewCtrl(int panel, int kind, const char *label, int top, int left);
int DisplayPanel(int panel);
int HidePanel(int panel);
int DiscardPanel(int panel);
int SetPanelAttribute(int panel, int attribute, int value);
int SetPanelAttribute(int panel, int attribute, const char *value);
int GetPanelAttribute(int panel, int attribute, int *value);
int GetPanelAttribute(int panel, int attribute, std::string *value);

// Shows a panel as a modal popup: only it receives events until removed.
int InstallPopup(int panel);
// Removes the top popup (removeAll = 0) or every popup (1).
int RemovePopup(int removeAll);

// ---- control values and attributes ----
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, double value);
// On a text box the text is appended (a "\n" starts a new line), as the
// run-time did; ResetTextBox replaces the contents.
int SetCtrlVal(int panel, int control, const char *value);
// Rings and lists give the selected item's value (int, double) or label (text).
int GetCtrlVal(int panel, int control, int *value);
int GetCtrlVal(int panel, int control, double *value);
int GetCtrlVal(int panel, int control, std::string *value);
// Copies at most size - 1 bytes and a terminator.
int GetCtrlVal(int panel, int control, char *value, int size);

int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, double value);
int SetCtrlAttribute(int panel, int control, int attribute, const char *value);
int GetCtrlAttribute(int panel, int control, int attribute, int *value);
int GetCtrlAttribute(int panel, int control, int attribute, double *value);
int GetCtrlAttribute(int panel, int control, int attribute, std::string *value);

// Rings and list boxes: items with a label and an integer value.
int ClearListCtrl(int panel, int control);
int InsertListItem(int panel, int control, int index, const char *label, int value);  // index -1 = end
int GetNumListItems(int panel, int control, int *count);
int SetCtrlIndex(int panel, int control, int index);
int GetCtrlIndex(int panel, int control, int *index);  // -1 when the list is empty
int ReplaceListItem(int panel, int control, int index, const char *label, int value);
int DeleteListItem(int panel, int control, int index, int count);  // count -1 = to the end
int GetLabelFromIndex(int panel, int control, int index, std::string *label);
int GetValueFromIndex(int panel, int control, int index, int *value);
int GetIndexFromValue(int panel, int control, int *index, int value);  // UIE_BAD_VALUE if absent

// Text boxes.
int ResetTextBox(int panel, int control, const char *text);
int InsertTextBoxLine(int panel, int control, int index, const char *text);  // index -1 = end
int GetNumTextBoxLines(int panel, int control, int *count);
int GetTextBoxLine(int panel, int control, int index, std::string *line);

// ---- popups (block until answered) ----
int MessagePopup(const char *title, const char *message);
int ConfirmPopup(const char *title, const char *message);  // 1 yes, 0 no
// 0 with the answer (at most maxResponseLength characters), or UIE_CANCELLED.
// maxResponseLength counts bytes (a UTF-8 letter may take two); response
// must hold maxResponseLength + 1 bytes. Cancelling leaves it empty.
int PromptPopup(const char *title, const char *message, char *response, int maxResponseLength);
// Up to three buttons (null or "" = none); an optional response field when
// response is not null. Returns the button pressed (1..3); Enter presses
// enterButton, Escape or closing the window presses escapeButton (0 when
// escapeButton is 0).
int GenericMessagePopup(const char *title, const char *message, const char *button1, const char *button2,
                        const char *button3, char *response, int maxResponseLength, int enterButton, int escapeButton);

// ---- events ----
int RunUserInterface();  // until QuitUserInterface; returns its code
int QuitUserInterface(int returnCode);
// Next commit event of any control (panel and control through the out
// arguments); wait = 0 returns EVENT_NONE at once when nothing is pending.
// May be called from inside a callback.
int GetUserEvent(int wait, int *panel, int *control);
int ProcessSystemEvents();  // runs what is pending, then returns
int SuspendTimerCallbacks();
int ResumeTimerCallbacks();
int SetWaitCursor(int on);
int GetScreenSize(int *height, int *width);

// ---- panel state files (values of every control) ----
// A name without a folder is a file of the current folder: the state is
// the user's, not the program's (whose folder a user may not write to).
// One file holds several states; saving one keeps the others. A file that
// is not a panel-state file is never overwritten (UIE_BAD_FILE); a file
// that cannot be written gives UIE_FILE_WRITE, the reason in
// GetLastResourceError.
int SavePanelState(int panel, const char *fileName, int stateIndex);
// UIE_NO_SUCH_FILE, UIE_NO_SUCH_PANEL (no such state in the file) or
// UIE_BAD_FILE (a value that does not fit, or the state of another panel)
// change nothing.
int RecallPanelState(int panel, const char *fileName, int stateIndex);
// The file the two above read and write for fileName.
std::string PanelStateFilePath(const char *fileName);

}  // namespace ui

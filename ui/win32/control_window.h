// One control of a panel as native child windows (the widget and the label
// beside it): built from the model's control, kept in step with it, and
// reporting the operator's actions back to the model.
#pragma once
#include <windows.h>

#include <string>

#include "ui/model.h"

namespace ui::win32::detail {

// A control's window identifier is this plus its number.
inline constexpr int kControlIdBase = 1000;
// The height a drop-down list (a ring) opens to.
int DropDownHeight();

class ControlWindow {
public:
    // Timers have no window: Widget() is then null.
    ControlWindow(int panel, const model::Control &control, HWND parent);
    ~ControlWindow();
    ControlWindow(const ControlWindow &) = delete;
    ControlWindow &operator=(const ControlWindow &) = delete;

    int Number() const { return number_; }
    int Kind() const { return kind_; }
    HWND Widget() const { return widget_; }
    // The label shown beside the widget; null for kinds that carry their
    // own text (buttons, radio buttons, switches).
    HWND Label() const { return label_; }
    bool IsButton() const { return kind_ == CTRL_COMMAND_BUTTON; }
    bool Visible() const { return visible_; }
    bool HasLabel() const { return label_ && !labelText_.empty(); }

    // Shows the control's value and attributes as the model has them;
    // true when its visibility or size changed (the panel lays out again).
    bool Update(const model::Control &control);
    // A notification (WM_COMMAND's code) from the widget.
    void Command(int code);
    // Enter pressed while the widget has the focus.
    void EnterPressed();
    // WM_CTLCOLOR*: sets the text colour into dc and returns the background
    // brush.
    HBRUSH Colours(HDC dc) const;
    // WM_DRAWITEM: the gauge of a level indicator.
    void Draw(const DRAWITEMSTRUCT &item) const;

    // The widget's size as the layout wants it; a widget that Grows() takes
    // the width of its column.
    SIZE Preferred() const;
    bool Grows() const;
    int LabelWidth() const;

private:
    void Build(HWND parent);
    void ShowValue(const model::Control &control);
    void ShowMode(const model::Control &control);
    // The model again, after the model refused what the operator entered.
    void Resync();
    // After the operator set a value: commits when the control is hot.
    void CommitIfHot(model::UserResult input);
    void TextEdited();

    int panel_ = 0;
    int number_ = 0;
    int kind_ = 0;
    int mode_ = -1;
    int textColor_ = VAL_BLACK;
    bool visible_ = true;
    int listRows_ = 0;
    int levelPosition_ = -1;  // of kLevelSteps
    std::string levelText_;
    std::wstring labelText_;
    HWND widget_ = nullptr;
    HWND label_ = nullptr;
};

}  // namespace ui::win32::detail

#include "ui/win32/control_window.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "ui/win32/event_loop.h"
#include "ui/win32/gdi.h"

namespace ui::win32::detail {
namespace {

// The gauge's steps: fine enough for a smooth bar.
constexpr int kLevelSteps = 10000;
constexpr int kLedSize = 14;
constexpr int kNumberDigits = 12;
constexpr int kMinTextWidth = 160;
constexpr int kDropDownRows = 10;
constexpr COLORREF kLedOn = RGB(0x20, 0xC0, 0x20);
constexpr COLORREF kLedOff = RGB(0x30, 0x50, 0x30);

bool IsLineEdit(int kind) { return kind == CTRL_NUMERIC || kind == CTRL_NUMERIC_INT || kind == CTRL_STRING; }

std::wstring TextBoxText(const model::Control &c) {
    std::string text;
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        if (i) text += "\r\n";
        text += c.lines[i];
    }
    if (c.lineOpen) text += "\r\n";
    return Wide(text);
}

std::wstring ButtonText(const std::string &label) {
    std::wstring text;
    for (wchar_t ch : Wide(label)) {
        text += ch;
        if (ch == L'&') text += L'&';  // a letter, not a mnemonic
    }
    return text;
}

int LevelPosition(const model::Control &c) {
    const double span = c.maxValue - c.minValue;
    if (!(span > 0.0)) return 0;
    const double share = (c.numeric - c.minValue) / span;
    return static_cast<int>(std::lround(std::clamp(share, 0.0, 1.0) * kLevelSteps));
}

// Keeps the items of a ring or list as the model has them.
void ShowItems(HWND w, bool ring, const model::Control &c) {
    const UINT count = ring ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT textLength = ring ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = ring ? CB_GETLBTEXT : LB_GETTEXT;
    bool same = SendMessageW(w, count, 0, 0) == static_cast<LRESULT>(c.items.size());
    for (std::size_t i = 0; same && i < c.items.size(); ++i) {
        const LRESULT length = SendMessageW(w, textLength, i, 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        SendMessageW(w, getText, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        same = text == Wide(c.items[i].label);
    }
    if (same) return;
    SendMessageW(w, ring ? CB_RESETCONTENT : LB_RESETCONTENT, 0, 0);
    for (const model::ListItem &item : c.items)
        SendMessageW(w, ring ? CB_ADDSTRING : LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item.label).c_str()));
}

HWND Make(const wchar_t *cls, DWORD style, DWORD exStyle, HWND parent, int id) {
    HWND w = CreateWindowExW(exStyle, cls, L"", WS_CHILD | style, 0, 0, 10, 10, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (w) ApplyFont(w);
    return w;
}

}  // namespace

ControlWindow::ControlWindow(int panel, const model::Control &control, HWND parent)
    : panel_(panel), number_(control.number), kind_(control.kind) {
    if (kind_ == CTRL_TIMER) return;
    Build(parent);
    Update(control);
}

// The windows go with their panel's window.
ControlWindow::~ControlWindow() = default;

void ControlWindow::Build(HWND parent) {
    const int id = kControlIdBase + number_;
    const DWORD tab = WS_TABSTOP;
    switch (kind_) {
    case CTRL_NUMERIC:
    case CTRL_NUMERIC_INT:
        widget_ = Make(L"EDIT", tab | ES_AUTOHSCROLL | ES_RIGHT, WS_EX_CLIENTEDGE, parent, id);
        break;
    case CTRL_STRING: widget_ = Make(L"EDIT", tab | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, parent, id); break;
    case CTRL_TEXT_MSG:
        // Instrument names come from the wire: "&" is a letter, not a mnemonic.
        widget_ = Make(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE | SS_ENDELLIPSIS, 0, parent, id);
        break;
    case CTRL_TEXT_BOX:
        widget_ = Make(L"EDIT", tab | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL, WS_EX_CLIENTEDGE,
                       parent, id);
        break;
    case CTRL_COMMAND_BUTTON: widget_ = Make(L"BUTTON", tab | BS_PUSHBUTTON, 0, parent, id); break;
    case CTRL_RING: widget_ = Make(L"COMBOBOX", tab | CBS_DROPDOWNLIST | WS_VSCROLL, 0, parent, id); break;
    case CTRL_LIST_BOX:
        widget_ = Make(L"LISTBOX", tab | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE, parent, id);
        break;
    case CTRL_RADIO_BUTTON: widget_ = Make(L"BUTTON", tab | BS_RADIOBUTTON, 0, parent, id); break;
    case CTRL_BINARY_SWITCH: widget_ = Make(L"BUTTON", tab | BS_CHECKBOX, 0, parent, id); break;
    // A gauge drawn here: the bar with its value written over it.
    case CTRL_LEVEL_INDICATOR: widget_ = Make(L"STATIC", SS_OWNERDRAW, WS_EX_STATICEDGE, parent, id); break;
    case CTRL_LED: widget_ = Make(L"STATIC", SS_LEFT, WS_EX_STATICEDGE, parent, id); break;
    default: widget_ = Make(L"STATIC", SS_LEFT | SS_NOPREFIX, 0, parent, id); break;
    }
    if (kind_ == CTRL_TEXT_BOX) SendMessageW(widget_, EM_SETLIMITTEXT, 0, 0);  // as much as the system allows
    const bool ownText = kind_ == CTRL_COMMAND_BUTTON || kind_ == CTRL_RADIO_BUTTON || kind_ == CTRL_BINARY_SWITCH;
    if (!ownText) label_ = Make(L"STATIC", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, 0, parent, -1);
}

bool ControlWindow::Update(const model::Control &c) {
    if (!widget_) return false;
    ShowValue(c);
    ShowMode(c);
    const std::wstring label = kind_ == CTRL_COMMAND_BUTTON ? ButtonText(c.label) : Wide(c.label);
    bool relayout = false;
    if (label_) {
        if (label != labelText_) relayout = true;
        SetText(label_, label);
    } else {
        if (label != labelText_) relayout = true;
        SetText(widget_, label);
    }
    labelText_ = label;
    if (c.textColor != textColor_) {
        textColor_ = c.textColor;
        InvalidateRect(widget_, nullptr, TRUE);
        if (label_) InvalidateRect(label_, nullptr, TRUE);
    }
    EnableWindow(widget_, !c.dimmed);
    if (label_) EnableWindow(label_, !c.dimmed);
    if (visible_ != c.visible) {
        visible_ = c.visible;
        relayout = true;
    }
    ShowWindow(widget_, visible_ ? SW_SHOWNA : SW_HIDE);
    if (label_) ShowWindow(label_, visible_ && !labelText_.empty() ? SW_SHOWNA : SW_HIDE);
    if (kind_ == CTRL_TEXT_MSG && visible_) {
        // A text longer than its place widens the window.
        RECT place;
        GetClientRect(widget_, &place);
        if (TextSize(Wide(c.text)).cx + Px(4) > place.right) relayout = true;
    }
    if (kind_ == CTRL_LIST_BOX) {
        const int rows = std::clamp(static_cast<int>(c.items.size()), 4, 12);
        if (rows != listRows_) relayout = true;
        listRows_ = rows;
    }
    // Painted now, not when the message loop next turns: the program may be
    // busy on this thread for a while (pages of an upgrade).
    if (visible_ && IsWindowVisible(widget_)) UpdateWindow(widget_);
    return relayout;
}

void ControlWindow::ShowValue(const model::Control &c) {
    switch (kind_) {
    case CTRL_NUMERIC:
    case CTRL_NUMERIC_INT:
    case CTRL_STRING:
        // The operator types no more than the field holds (0: the system's limit).
        if (kind_ == CTRL_STRING)
            SendMessageW(widget_, EM_SETLIMITTEXT, static_cast<WPARAM>(std::max(c.maxEntryLength, 0)), 0);
        SetText(widget_, Wide(kind_ == CTRL_STRING ? c.text : model::FieldText(c)));
        SendMessageW(widget_, EM_SETMODIFY, FALSE, 0);
        break;
    case CTRL_TEXT_MSG: SetText(widget_, Wide(c.text)); break;
    case CTRL_TEXT_BOX: {
        const std::wstring text = TextBoxText(c);
        const int length = GetWindowTextLengthW(widget_);
        if (length != static_cast<int>(text.size()) || WindowText(widget_) != Utf8(text)) {
            SetWindowTextW(widget_, text.c_str());
            SendMessageW(widget_, EM_SETSEL, text.size(), text.size());
            SendMessageW(widget_, EM_SCROLLCARET, 0, 0);
        }
        SendMessageW(widget_, EM_SETMODIFY, FALSE, 0);
        break;
    }
    case CTRL_RING:
        ShowItems(widget_, true, c);
        SendMessageW(widget_, CB_SETCURSEL, static_cast<WPARAM>(c.index), 0);
        break;
    case CTRL_LIST_BOX:
        ShowItems(widget_, false, c);
        SendMessageW(widget_, LB_SETCURSEL, static_cast<WPARAM>(c.index), 0);
        break;
    case CTRL_RADIO_BUTTON:
    case CTRL_BINARY_SWITCH:
        SendMessageW(widget_, BM_SETCHECK, c.numeric != 0.0 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    case CTRL_LEVEL_INDICATOR: {
        char value[64];
        std::snprintf(value, sizeof value, "%.*f", std::clamp(c.precision, 0, 15), c.numeric);
        const int position = LevelPosition(c);
        if (position != levelPosition_ || value != levelText_) {
            levelPosition_ = position;
            levelText_ = value;
            InvalidateRect(widget_, nullptr, FALSE);
        }
        break;
    }
    case CTRL_LED: {
        const bool on = c.numeric != 0.0;
        if (GetWindowLongPtrW(widget_, GWLP_USERDATA) != (on ? 1 : 0)) {
            SetWindowLongPtrW(widget_, GWLP_USERDATA, on ? 1 : 0);
            InvalidateRect(widget_, nullptr, TRUE);
        }
        break;
    }
    default: break;
    }
}

void ControlWindow::ShowMode(const model::Control &c) {
    if (c.mode == mode_) return;
    mode_ = c.mode;
    // An indicator shows a value; the operator can neither press nor edit it.
    const bool indicator = c.mode == VAL_INDICATOR;
    if (IsLineEdit(kind_) || kind_ == CTRL_TEXT_BOX) SendMessageW(widget_, EM_SETREADONLY, indicator, 0);
    LONG_PTR style = GetWindowLongPtrW(widget_, GWL_STYLE);
    style = indicator ? (style & ~static_cast<LONG_PTR>(WS_TABSTOP)) : (style | WS_TABSTOP);
    if (kind_ != CTRL_TEXT_MSG && kind_ != CTRL_LEVEL_INDICATOR && kind_ != CTRL_LED)
        SetWindowLongPtrW(widget_, GWL_STYLE, style);
}

void ControlWindow::Draw(const DRAWITEMSTRUCT &item) const {
    if (kind_ != CTRL_LEVEL_INDICATOR) return;
    const RECT all = item.rcItem;
    RECT done = all;
    done.right = all.left + MulDiv(all.right - all.left, levelPosition_, kLevelSteps);
    RECT rest = all;
    rest.left = done.right;
    FillRect(item.hDC, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
    FillRect(item.hDC, &rest, GetSysColorBrush(COLOR_WINDOW));
    // The value in the middle, in the colour that reads on each part.
    const std::wstring text = Wide(levelText_);
    HGDIOBJ old = SelectObject(item.hDC, UiFont());
    SetBkMode(item.hDC, TRANSPARENT);
    const RECT *parts[] = {&done, &rest};
    const int colours[] = {COLOR_HIGHLIGHTTEXT, COLOR_WINDOWTEXT};
    for (int i = 0; i < 2; ++i) {
        SaveDC(item.hDC);
        IntersectClipRect(item.hDC, parts[i]->left, parts[i]->top, parts[i]->right, parts[i]->bottom);
        SetTextColor(item.hDC, GetSysColor(colours[i]));
        RECT box = all;
        DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        RestoreDC(item.hDC, -1);
    }
    SelectObject(item.hDC, old);
}

HBRUSH ControlWindow::Colours(HDC dc) const {
    if (kind_ == CTRL_LED) return Brush(GetWindowLongPtrW(widget_, GWLP_USERDATA) ? kLedOn : kLedOff);
    SetTextColor(dc, Colour(textColor_));
    // An editable field on the window colour; displays, labels and
    // read-only fields on the panel's.
    const bool field = (IsLineEdit(kind_) || kind_ == CTRL_TEXT_BOX || kind_ == CTRL_LIST_BOX || kind_ == CTRL_RING) &&
                       mode_ != VAL_INDICATOR;
    const int background = field ? COLOR_WINDOW : COLOR_BTNFACE;
    SetBkColor(dc, GetSysColor(background));
    return GetSysColorBrush(background);
}

SIZE ControlWindow::Preferred() const {
    const int line = LineHeight();
    const int field = line + Px(10);
    switch (kind_) {
    case CTRL_NUMERIC:
    case CTRL_NUMERIC_INT: return {static_cast<int>(TextSize(L"0").cx) * kNumberDigits + Px(10), field};
    case CTRL_STRING: return {std::max(static_cast<int>(TextSize(L"x").cx) * 24, Px(150)), field};
    case CTRL_TEXT_MSG: {
        const std::wstring text = Wide(WindowText(widget_));
        return {std::max(static_cast<int>(TextSize(text).cx) + Px(4), Px(kMinTextWidth)), line + Px(6)};
    }
    case CTRL_TEXT_BOX: {
        const model::Control *c = model::FindControl(panel_, number_);
        return {std::max(Px(c ? c->width : 0), Px(300)), std::clamp(Px(c ? c->height : 0), 4 * line, 20 * line)};
    }
    case CTRL_COMMAND_BUTTON:
        return {std::max(static_cast<int>(TextSize(labelText_).cx) + Px(24), Px(80)), line + Px(12)};
    case CTRL_RING: return {std::max(static_cast<int>(TextSize(L"M").cx) * 12, Px(120)), field};
    case CTRL_LIST_BOX: {
        const LRESULT itemHeight = SendMessageW(widget_, LB_GETITEMHEIGHT, 0, 0);
        int width = static_cast<int>(TextSize(L"M").cx) * 10;
        const LRESULT count = SendMessageW(widget_, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = SendMessageW(widget_, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
            std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
            SendMessageW(widget_, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
            text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
            width = std::max(width, static_cast<int>(TextSize(text).cx));
        }
        const int rows = std::max(listRows_, 4);
        return {width + GetSystemMetrics(SM_CXVSCROLL) + Px(8),
                rows * static_cast<int>(itemHeight > 0 ? itemHeight : line + 2) + Px(6)};
    }
    case CTRL_RADIO_BUTTON:
    case CTRL_BINARY_SWITCH:
        return {static_cast<int>(TextSize(labelText_).cx) + GetSystemMetrics(SM_CXMENUCHECK) + Px(12), line + Px(6)};
    case CTRL_LEVEL_INDICATOR: return {Px(200), line + Px(6)};
    case CTRL_LED: return {Px(kLedSize), Px(kLedSize)};
    default: return {Px(100), line + Px(6)};
    }
}

bool ControlWindow::Grows() const {
    return kind_ != CTRL_LED && kind_ != CTRL_RADIO_BUTTON && kind_ != CTRL_BINARY_SWITCH &&
           kind_ != CTRL_COMMAND_BUTTON;
}

// A few pixels more than the text: a static control draws a little wider
// than the font's own measure.
int ControlWindow::LabelWidth() const { return HasLabel() ? static_cast<int>(TextSize(labelText_).cx) + Px(4) : 0; }

int DropDownHeight() { return (LineHeight() + Px(4)) * kDropDownRows; }

void ControlWindow::Command(int code) {
    switch (kind_) {
    case CTRL_COMMAND_BUTTON:
        if (code == BN_CLICKED) OperatorCommit(panel_, number_);
        break;
    case CTRL_NUMERIC:
    case CTRL_NUMERIC_INT:
    case CTRL_STRING:
        if (code == EN_KILLFOCUS) TextEdited();
        break;
    case CTRL_TEXT_BOX:
        if (code == EN_KILLFOCUS && SendMessageW(widget_, EM_GETMODIFY, 0, 0)) {
            SendMessageW(widget_, EM_SETMODIFY, FALSE, 0);
            std::string text = WindowText(widget_);
            // The model's lines end with "\n" alone.
            text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
            CommitIfHot(model::UserInput(panel_, number_, text.c_str()));
        }
        break;
    case CTRL_RING:
    case CTRL_LIST_BOX:
        if (code == CBN_SELCHANGE || code == LBN_SELCHANGE) {
            const LRESULT index = SendMessageW(widget_, kind_ == CTRL_RING ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
            if (index >= 0) CommitIfHot(model::UserSelectIndex(panel_, number_, static_cast<int>(index)));
        }
        break;
    case CTRL_RADIO_BUTTON:
    case CTRL_BINARY_SWITCH:
        if (code == BN_CLICKED) {
            // A switch flips; a radio button is chosen.
            const bool checked = SendMessageW(widget_, BM_GETCHECK, 0, 0) == BST_CHECKED;
            const int value = kind_ == CTRL_RADIO_BUTTON ? 1 : (checked ? 0 : 1);
            SendMessageW(widget_, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
            CommitIfHot(model::UserInput(panel_, number_, value));
        }
        break;
    default: break;
    }
}

void ControlWindow::EnterPressed() {
    if (IsLineEdit(kind_))
        TextEdited();
    else if (kind_ == CTRL_COMMAND_BUTTON)
        OperatorCommit(panel_, number_);
}

void ControlWindow::TextEdited() {
    if (!SendMessageW(widget_, EM_GETMODIFY, 0, 0)) return;
    SendMessageW(widget_, EM_SETMODIFY, FALSE, 0);
    CommitIfHot(model::UserText(panel_, number_, WindowText(widget_)));
}

void ControlWindow::CommitIfHot(model::UserResult input) {
    if (input != model::UserResult::Delivered) {
        Resync();
        return;
    }
    // The value-changed callback may have discarded the panel.
    const model::Control *c = model::FindControl(panel_, number_);
    if (c && c->mode == VAL_HOT) OperatorCommit(panel_, number_);
}

void ControlWindow::Resync() {
    if (const model::Control *c = model::FindControl(panel_, number_)) Update(*c);
}

}  // namespace ui::win32::detail

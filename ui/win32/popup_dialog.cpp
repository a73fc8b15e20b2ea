#include "ui/win32/popup_dialog.h"

#include <algorithm>
#include <string>
#include <vector>

#include "ui/model.h"
#include "ui/win32/event_loop.h"
#include "ui/win32/gdi.h"
#include "ui/win32/win32_backend.h"

namespace ui::win32::detail {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
constexpr wchar_t kClass[] = L"VGX52Popup";
constexpr int kMarginAt96 = 12;
constexpr int kGapAt96 = 10;
constexpr int kMinTextWidthAt96 = 300;
constexpr int kMaxTextWidthAt96 = 560;
constexpr int kMinButtonWidthAt96 = 80;

// The gaps and sizes at the screen's resolution.
const int kMargin = Px(kMarginAt96), kGap = Px(kGapAt96), kMinTextWidth = Px(kMinTextWidthAt96),
          kMaxTextWidth = Px(kMaxTextWidthAt96), kMinButtonWidth = Px(kMinButtonWidthAt96);

// Drops whole characters from the end until the UTF-8 form fits.
std::string FitBytes(std::wstring text, int maxBytes) {
    std::string utf8 = Utf8(text);
    while (!text.empty() && static_cast<int>(utf8.size()) > maxBytes) {
        const bool pair = text.size() >= 2 && text.back() >= 0xDC00 && text.back() <= 0xDFFF;
        text.resize(text.size() - (pair ? 2 : 1));
        utf8 = Utf8(text);
    }
    return utf8;
}

std::vector<HWND> &Active() {
    static std::vector<HWND> active;
    return active;
}

struct Dialog {
    PopupButtons buttons;
    HWND window = nullptr;
    HWND edit = nullptr;
    int pressed = -1;  // -1: not answered yet

    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
        auto *self = reinterpret_cast<Dialog *>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) switch (message) {
            case WM_COMMAND: {
                const int id = LOWORD(wParam);
                if (id > kPopupButtonId && id <= kPopupButtonId + 3)
                    self->pressed = id - kPopupButtonId;
                else if (id == IDOK) {
                    // Enter: the focused button, else the enter button.
                    const int focused = GetDlgCtrlID(GetFocus());
                    if (focused > kPopupButtonId && focused <= kPopupButtonId + 3)
                        self->pressed = focused - kPopupButtonId;
                    else if (self->buttons.enter > 0)
                        self->pressed = self->buttons.enter;
                } else if (id == IDCANCEL)
                    self->pressed = self->buttons.escape;
                return 0;
            }
            case WM_CLOSE: self->pressed = self->buttons.escape; return 0;
            case WM_SETCURSOR:
                if (!model::WaitCursor()) break;
                SetCursor(LoadCursorW(nullptr, IDC_WAIT));
                return TRUE;
            case WM_CTLCOLORSTATIC: {
                auto *dc = reinterpret_cast<HDC>(wParam);
                SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
                return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
            }
            default: break;
            }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

HWND Child(const wchar_t *cls, const std::wstring &text, DWORD style, DWORD exStyle, HWND parent, int id, int x, int y,
           int width, int height) {
    HWND w = CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (w) ApplyFont(w);
    return w;
}

// The message's size, wrapped at the widest the dialog allows.
SIZE MessageSize(const std::wstring &text) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, UiFont());
    RECT r{0, 0, kMaxTextWidth, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {std::max<LONG>(r.right, kMinTextWidth), std::max<LONG>(r.bottom, LineHeight())};
}

BOOL CALLBACK CollectEnabled(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && IsWindowEnabled(window))
        reinterpret_cast<std::vector<HWND> *>(list)->push_back(window);
    return TRUE;
}

}  // namespace

PopupAnswer RunPopupDialog(const PopupRequest &request, HWND owner) {
    static const bool registered = [] {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = Dialog::Proc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        cls.lpszClassName = kClass;
        return RegisterClassExW(&cls) != 0;
    }();
    (void)registered;

    Dialog dialog;
    dialog.buttons = ButtonsOf(request);
    const std::wstring message = Wide(request.message);
    const SIZE text = MessageSize(message);
    const int line = LineHeight();
    const int buttonHeight = line + Px(12);
    std::vector<int> widths;
    int buttonsWidth = 0;
    for (const std::string &label : dialog.buttons.labels) {
        widths.push_back(std::max(static_cast<int>(TextSize(Wide(label)).cx) + Px(24), kMinButtonWidth));
        buttonsWidth += widths.back() + (buttonsWidth ? kGap : 0);
    }
    const int width = std::max<int>(text.cx, buttonsWidth) + 2 * kMargin;
    int y = kMargin + text.cy + kGap;
    const int editTop = y;
    if (request.hasResponse) y += line + Px(10) + kGap;
    const int buttonTop = y + kGap;
    const int height = buttonTop + buttonHeight + kMargin;

    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    const int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    RECT over;
    if (!owner || !GetWindowRect(owner, &over)) SystemParametersInfoW(SPI_GETWORKAREA, 0, &over, 0);
    const int x0 = std::max(0, static_cast<int>(over.left + over.right - outerWidth) / 2);
    const int y0 = std::max(0, static_cast<int>(over.top + over.bottom - outerHeight) / 2);
    dialog.window = CreateWindowExW(kExStyle, kClass, Wide(request.title).c_str(), kStyle, x0, y0, outerWidth,
                                    outerHeight, owner, nullptr, GetModuleHandleW(nullptr), &dialog);
    if (!dialog.window) return {};
    Child(L"STATIC", message, SS_LEFT | SS_NOPREFIX, 0, dialog.window, kPopupMessageId, kMargin, kMargin, text.cx,
          text.cy);
    if (request.hasResponse) {
        dialog.edit = Child(L"EDIT", L"", WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, dialog.window,
                            kPopupResponseId, kMargin, editTop, width - 2 * kMargin, line + Px(10));
        // A letter takes at least one byte; the byte limit is kept when answering.
        SendMessageW(dialog.edit, EM_LIMITTEXT, static_cast<WPARAM>(std::max(request.maxResponseLength, 0)), 0);
    }
    int x = width - kMargin - buttonsWidth;
    HWND first = nullptr;
    for (std::size_t i = 0; i < dialog.buttons.labels.size(); ++i) {
        const int number = static_cast<int>(i) + 1;
        const DWORD style = WS_TABSTOP | (number == dialog.buttons.enter ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        HWND b = Child(L"BUTTON", Wide(dialog.buttons.labels[i]), style, 0, dialog.window, kPopupButtonId + number, x,
                       buttonTop, widths[i], buttonHeight);
        if (number == dialog.buttons.enter || !first) first = b;
        x += widths[i] + kGap;
    }

    // Modal: every other window of the program waits for the answer.
    std::vector<HWND> disabled;
    EnumThreadWindows(GetCurrentThreadId(), CollectEnabled, reinterpret_cast<LPARAM>(&disabled));
    for (HWND w : disabled) EnableWindow(w, FALSE);
    AddDialogWindow(dialog.window);
    Active().push_back(dialog.window);
    ShowWindow(dialog.window, SW_SHOW);
    SetForegroundWindow(dialog.window);
    SetFocus(dialog.edit ? dialog.edit : first);
    UpdateWindow(dialog.window);
    const unsigned quits = QuitCount();
    while (dialog.pressed < 0 && QuitCount() == quits) PumpOne(true);
    if (dialog.pressed < 0) dialog.pressed = dialog.buttons.escape;

    PopupAnswer answer;
    switch (request.kind) {
    case PopupKind::Message: answer.button = 1; break;
    case PopupKind::Confirm: answer.button = dialog.pressed == 1 ? 1 : 0; break;
    case PopupKind::Prompt: answer.cancelled = dialog.pressed != 1; break;
    case PopupKind::Generic: answer.button = dialog.pressed; break;
    }
    if (dialog.edit && !answer.cancelled)
        answer.response = FitBytes(Wide(WindowText(dialog.edit)), std::max(request.maxResponseLength, 0));
    // Enabled again before the dialog goes, so that its owner becomes the
    // active window.
    for (HWND w : disabled)
        if (IsWindow(w)) EnableWindow(w, TRUE);
    Active().erase(std::remove(Active().begin(), Active().end(), dialog.window), Active().end());
    RemoveDialogWindow(dialog.window);
    SetWindowLongPtrW(dialog.window, GWLP_USERDATA, 0);
    DestroyWindow(dialog.window);
    return answer;
}

HWND ActiveDialog() { return Active().empty() ? nullptr : Active().back(); }

}  // namespace ui::win32::detail

#include "ui/win32/panel_window.h"

#include <algorithm>

#include "ui/model.h"
#include "ui/win32/event_loop.h"
#include "ui/win32/gdi.h"
#include "ui/win32/panel_layout.h"

namespace ui::win32::detail {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;
constexpr wchar_t kClass[] = L"VGX52Panel";

void RegisterOnce(WNDPROC proc) {
    static const bool registered = [proc] {
        WNDCLASSEXW cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = proc;
        cls.hInstance = GetModuleHandleW(nullptr);
        cls.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        cls.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        // The program's icon when the resources carry one.
        cls.hIcon = LoadIconW(cls.hInstance, MAKEINTRESOURCEW(1));
        cls.lpszClassName = kClass;
        return RegisterClassExW(&cls) != 0;
    }();
    (void)registered;
}

}  // namespace

PanelWindow::PanelWindow(int handle, HWND owner) : handle_(handle) {
    RegisterOnce(Proc);
    window_ = CreateWindowExW(kExStyle, kClass, L"", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100, owner, nullptr,
                              GetModuleHandleW(nullptr), this);
    AddDialogWindow(window_);
    if (const model::Panel *panel = model::FindPanel(handle))
        for (const model::Control &c : panel->controls)
            controls_.push_back(std::make_unique<ControlWindow>(handle_, c, window_));
    SyncPanel();
}

PanelWindow::~PanelWindow() {
    // Destroying the window destroys its controls' windows and the windows
    // it owns (the panel's child panels), which then know they are gone.
    if (window_) {
        RemoveDialogWindow(window_);
        SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
}

ControlWindow *PanelWindow::Find(int control) const {
    for (const auto &c : controls_)
        if (c->Number() == control) return c.get();
    return nullptr;
}

ControlWindow *PanelWindow::FindByWindow(HWND window) const {
    for (const auto &c : controls_)
        if (window && (c->Widget() == window || c->Label() == window)) return c.get();
    return nullptr;
}

void PanelWindow::SyncPanel() {
    if (!window_) return;  // gone with its owner
    const model::Panel *panel = model::FindPanel(handle_);
    if (!panel) return;
    SetText(window_, Wide(panel->title));
    Fit();
}

void PanelWindow::Fit() {
    if (!window_) return;
    const model::Panel *panel = model::FindPanel(handle_);
    if (!panel) return;
    // A window on the screen grows to show longer texts but does not
    // shrink under the operator's eyes.
    RECT now{0, 0, 0, 0};
    if (IsWindowVisible(window_)) GetClientRect(window_, &now);
    SIZE client = LayOut(handle_, controls_, now.right);
    // A resource file's panel size was drawn for the original's pixel
    // layout, which the columns replace: such a panel is as large as its
    // controls need. A panel made at run time keeps its size unless its
    // controls need more.
    if (panel->resourceId == 0) {
        client.cx = std::max<LONG>(client.cx, panel->width);
        client.cy = std::max<LONG>(client.cy, panel->height);
    }
    RECT outer{0, 0, client.cx, client.cy};
    AdjustWindowRectEx(&outer, kStyle, FALSE, kExStyle);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void PanelWindow::PlaceOver(HWND opener) {
    if (!window_) return;
    const model::Panel *panel = model::FindPanel(handle_);
    if (!panel) return;
    Fit();
    RECT own;
    GetWindowRect(window_, &own);
    const int width = own.right - own.left, height = own.bottom - own.top;
    RECT area;
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0))
        area = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    // A panel made at run time opens where its maker placed it. A resource
    // file's panel was placed for the original's screen: it opens centred
    // over its opener, or without one (the main window) in the middle of
    // the screen.
    POINT topLeft{panel->left, panel->top};
    if (panel->resourceId != 0 && opener) {
        RECT o;
        GetWindowRect(opener, &o);
        topLeft = {(o.left + o.right - width) / 2, (o.top + o.bottom - height) / 2};
    } else if (panel->resourceId != 0) {
        topLeft = {(area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2};
    }
    // Whole on the screen where it fits; its top left corner always.
    topLeft.x = std::max<LONG>(area.left, std::min<LONG>(topLeft.x, area.right - width));
    topLeft.y = std::max<LONG>(area.top, std::min<LONG>(topLeft.y, area.bottom - height));
    SetWindowPos(window_, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PanelWindow::AddControl(int control) {
    if (!window_) return;
    const model::Control *c = model::FindControl(handle_, control);
    if (!c || Find(control)) return;
    controls_.push_back(std::make_unique<ControlWindow>(handle_, *c, window_));
    Fit();
}

void PanelWindow::UpdateControl(int control) {
    if (!window_) return;
    ControlWindow *view = Find(control);
    const model::Control *c = model::FindControl(handle_, control);
    if (view && c && view->Update(*c)) Fit();
}

void PanelWindow::ShowNow() {
    if (!window_) return;
    if (!IsWindowVisible(window_)) ShowWindow(window_, SW_SHOW);
    SetForegroundWindow(window_);
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

LRESULT CALLBACK PanelWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto *create = reinterpret_cast<CREATESTRUCTW *>(lParam);
        static_cast<PanelWindow *>(create->lpCreateParams)->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto *self = reinterpret_cast<PanelWindow *>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->Message(message, wParam, lParam);
}

LRESULT PanelWindow::Message(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDOK) {
            // Enter: a field takes what was typed, a focused button is pressed.
            if (ControlWindow *c = FindByWindow(GetFocus())) c->EnterPressed();
            return 0;
        }
        if (id == IDCANCEL) return 0;
        if (ControlWindow *c = FindByWindow(reinterpret_cast<HWND>(lParam))) c->Command(HIWORD(wParam));
        return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN: {
        auto *dc = reinterpret_cast<HDC>(wParam);
        auto *from = reinterpret_cast<HWND>(lParam);
        ControlWindow *c = FindByWindow(from);
        if (c && c->Widget() == from) return reinterpret_cast<LRESULT>(c->Colours(dc));
        break;
    }
    case WM_DRAWITEM: {
        const auto *item = reinterpret_cast<const DRAWITEMSTRUCT *>(lParam);
        if (ControlWindow *c = FindByWindow(item->hwndItem)) c->Draw(*item);
        return TRUE;
    }
    case WM_CLOSE:
        // The window goes the way the panel's close control takes it (its
        // callback hides or discards the panel), or stays when it names none.
        OperatorClose(handle_);
        return 0;
    case WM_NCDESTROY: {
        // Gone with the window that owns it: no handle to destroy again.
        HWND window = window_;
        RemoveDialogWindow(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        return DefWindowProcW(window, message, wParam, lParam);
    }
    case WM_SETCURSOR:
        if (model::WaitCursor()) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace ui::win32::detail

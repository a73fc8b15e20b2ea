// The Win32 back end: follows the model's changes with windows and controls
// and hands the blocking parts to the message loop and the popup dialog.
#include "ui/win32/win32_backend.h"

#include <commctrl.h>

#include <algorithm>
#include <map>
#include <memory>

#include "ui/backend.h"
#include "ui/model.h"
#include "ui/trace.h"
#include "ui/win32/event_loop.h"
#include "ui/win32/panel_window.h"
#include "ui/win32/popup_dialog.h"
#include "ui/win32/screenshot.h"
#include "ui/win32/timers.h"

namespace ui::win32 {
namespace {

using PanelView = detail::PanelWindow;

bool IsPopup(int panel) {
    const std::vector<int> &popups = model::PopupStack();
    return std::find(popups.begin(), popups.end(), panel) != popups.end();
}

class Win32Backend final : public Backend {
public:
    std::map<int, std::unique_ptr<PanelView>> views;  // by handle: oldest first

    PanelView *View(int panel) const {
        auto it = views.find(panel);
        return it == views.end() ? nullptr : it->second.get();
    }
    HWND Visible(int panel) const {
        PanelView *v = View(panel);
        return v && IsWindowVisible(v->Window()) ? v->Window() : nullptr;
    }

    void PanelCreated(int panel) override {
        const model::Panel *p = model::FindPanel(panel);
        if (!p || View(panel)) return;
        PanelView *owner = View(p->parent);
        views[panel] = std::make_unique<PanelView>(panel, owner ? owner->Window() : nullptr);
        for (const model::Control &c : p->controls) trace::TraceControl(panel, c.number, detail::Now());
        ApplyModality();
    }
    void PanelShown(int panel) override {
        PanelView *v = View(panel);
        if (!v) return;
        if (!IsWindowVisible(v->Window())) v->PlaceOver(OpenerOf(panel));
        v->ShowNow();
    }
    void PanelHidden(int panel) override {
        if (PanelView *v = View(panel)) ShowWindow(v->Window(), SW_HIDE);
    }
    void PanelDiscarded(int panel) override {
        auto it = views.find(panel);
        if (it == views.end()) return;
        std::shared_ptr<PanelView> gone(std::move(it->second));
        views.erase(it);
        ShowWindow(gone->Window(), SW_HIDE);
        // The discard may come from a callback of one of its own controls:
        // the windows go when the message loop next turns.
        detail::Later([gone] {});
        ApplyModality();
    }
    void PanelChanged(int panel) override {
        if (PanelView *v = View(panel)) v->SyncPanel();
    }
    void ControlCreated(int panel, int control) override {
        if (PanelView *v = View(panel)) v->AddControl(control);
    }
    void ControlChanged(int panel, int control) override {
        if (PanelView *v = View(panel)) v->UpdateControl(control);
        trace::TraceControl(panel, control, detail::Now());
    }
    void PopupInstalled(int panel) override {
        PanelView *v = View(panel);
        if (!v) return;
        if (!IsWindowVisible(v->Window())) v->PlaceOver(OpenerOf(panel));
        ApplyModality();
        v->ShowNow();
    }
    void PopupRemoved(int panel) override {
        PanelView *v = View(panel);
        const model::Panel *p = model::FindPanel(panel);
        ApplyModality();
        if (v && (!p || !p->visible)) ShowWindow(v->Window(), SW_HIDE);
        if (HWND top = Visible(model::TopPopup()) ? Visible(model::TopPopup()) : Visible(MainWindowPanel()))
            SetForegroundWindow(top);
    }
    void TimersChanged() override { detail::RescheduleTimers(); }
    void WaitCursorChanged(bool on) override {
        // Shown at once where the pointer is; WM_SETCURSOR keeps it there.
        SetCursor(LoadCursorW(nullptr, on ? IDC_WAIT : IDC_ARROW));
    }

    PopupAnswer ShowPopup(const PopupRequest &request) override {
        HWND owner = Visible(model::TopPopup());
        if (!owner) owner = Visible(MainWindowPanel());
        const PopupAnswer answer = detail::RunPopupDialog(request, owner);
        ApplyModality();
        return answer;
    }
    int RunUserInterface() override {
        detail::ArmScreenshot();
        return detail::RunLoop();
    }
    void QuitUserInterface(int returnCode) override { detail::QuitLoops(returnCode); }
    int GetUserEvent(bool wait, int *panel, int *control) override {
        return detail::WaitForCommit(wait, panel, control);
    }
    void ProcessSystemEvents() override { detail::ProcessPending(); }
    double Now() override { return detail::Now(); }
    void GetScreenSize(int *height, int *width) override {
        *height = GetSystemMetrics(SM_CYSCREEN);
        *width = GetSystemMetrics(SM_CXSCREEN);
    }

    // While a panel is the active popup, only its window takes the
    // operator's input (the model refuses the others' events anyway).
    void ApplyModality() {
        const int top = model::TopPopup();
        for (const auto &[handle, v] : views) EnableWindow(v->Window(), top == 0 || handle == top);
    }

    // The window a panel opens from: its parent panel's, else the active
    // popup's, else the main window's; null for the main window itself.
    HWND OpenerOf(int panel) const {
        const model::Panel *p = model::FindPanel(panel);
        if (!p) return nullptr;
        if (HWND w = Visible(p->parent)) return w;
        const std::vector<int> &popups = model::PopupStack();
        for (auto it = popups.rbegin(); it != popups.rend(); ++it)
            if (HWND w = Visible(*it); *it != panel && w) return w;
        for (const auto &entry : views) {
            const model::Panel *other = model::FindPanel(entry.first);
            if (entry.first != panel && other && other->parent == 0 && Visible(entry.first) && !IsPopup(entry.first))
                return entry.second->Window();
        }
        return nullptr;
    }

    void Forget() {
        // Children first: a panel's window owns its child panels' windows.
        while (!views.empty()) views.erase(std::prev(views.end()));
    }
};

Win32Backend &B() {
    static Win32Backend backend;
    return backend;
}

}  // namespace

void Install() {
    static const bool initialised = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)initialised;
    // The old panels are dropped without telling any back end, and this one
    // forgets its windows itself.
    SetBackend(nullptr);
    model::Reset();
    B().Forget();
    detail::ResetLoops();
    trace::ResetTrace();
    SetBackend(&B());
    detail::RescheduleTimers();
}

HWND PanelWindow(int panel) {
    detail::PanelWindow *v = B().View(panel);
    return v ? v->Window() : nullptr;
}

HWND ControlWindow(int panel, int control) {
    detail::PanelWindow *v = B().View(panel);
    detail::ControlWindow *c = v ? v->Find(control) : nullptr;
    return c ? c->Widget() : nullptr;
}

HWND ControlLabel(int panel, int control) {
    detail::PanelWindow *v = B().View(panel);
    detail::ControlWindow *c = v ? v->Find(control) : nullptr;
    return c ? c->Label() : nullptr;
}

HWND ActivePopupDialog() { return detail::ActiveDialog(); }

bool SavePanelImage(int panel, const char *fileName) {
    detail::PanelWindow *v = B().View(panel);
    if (!v || !fileName || !*fileName) return false;
    SetForegroundWindow(v->Window());
    return detail::SaveWindowImage(v->Window(), fileName);
}

int MainWindowPanel() {
    for (const auto &entry : B().views) {
        const model::Panel *p = model::FindPanel(entry.first);
        if (p && p->visible && p->parent == 0 && !IsPopup(entry.first)) return entry.first;
    }
    return 0;
}

}  // namespace ui::win32

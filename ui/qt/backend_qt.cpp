// The Qt back end: follows the model's changes with windows and widgets and
// hands the blocking parts to the event loop and the popup dialog.
#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QLayout>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <map>

#include "ui/backend.h"
#include "ui/model.h"
#include "ui/qt/application.h"
#include "ui/qt/event_loop.h"
#include "ui/qt/panel_view.h"
#include "ui/qt/popup_dialog.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/screenshot.h"
#include "ui/qt/timers.h"
#include "ui/trace.h"

namespace ui::qt {
namespace {

using detail::PanelView;

class QtBackend final : public Backend {
public:
    std::map<int, PanelView *> views;  // by handle: oldest first
    bool waitCursor = false;

    PanelView *View(int panel) const {
        auto it = views.find(panel);
        return it == views.end() ? nullptr : it->second;
    }

    void PanelCreated(int panel) override {
        detail::EnsureApplication();
        const model::Panel *p = model::FindPanel(panel);
        if (!p || View(panel)) return;
        views[panel] = new PanelView(panel, View(p->parent));
        for (const model::Control &c : p->controls) trace::TraceControl(panel, c.number, detail::Now());
    }
    void PanelShown(int panel) override {
        PanelView *v = View(panel);
        if (!v) return;
        if (!v->isVisible()) v->PlaceOver(OpenerOf(panel));
        v->ShowNow();
    }
    void PanelHidden(int panel) override {
        if (PanelView *v = View(panel)) v->hide();
    }
    void PanelDiscarded(int panel) override {
        PanelView *v = View(panel);
        if (!v) return;
        views.erase(panel);
        v->hide();
        // The discard may come from a callback of one of its own buttons.
        v->deleteLater();
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
        if (!v->isVisible()) v->PlaceOver(OpenerOf(panel));
        v->SetPopup(true);
        v->ShowNow();
    }
    void PopupRemoved(int panel) override {
        PanelView *v = View(panel);
        if (!v) return;
        v->SetPopup(false);
        const model::Panel *p = model::FindPanel(panel);
        if (!p || !p->visible) v->hide();
    }
    void TimersChanged() override { detail::RescheduleTimers(); }
    void WaitCursorChanged(bool on) override {
        if (on == waitCursor) return;
        detail::EnsureApplication();
        FlushPending();
        waitCursor = on;
        if (on)
            QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        else
            QApplication::restoreOverrideCursor();
        detail::FlushPaint();
    }

    PopupAnswer ShowPopup(const PopupRequest &request) override {
        detail::EnsureApplication();
        return detail::RunPopupDialog(request, ParentForPopup());
    }
    int RunUserInterface() override {
        detail::EnsureApplication();
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
        detail::EnsureApplication();
        const QScreen *screen = QGuiApplication::primaryScreen();
        const QRect area = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
        *height = area.height();
        *width = area.width();
    }

    // A popup dialog sits over the active popup, else over the main window.
    QWidget *ParentForPopup() const {
        if (PanelView *v = View(model::TopPopup()); v && v->isVisible()) return v;
        if (PanelView *v = View(MainWindowPanel()); v && v->isVisible()) return v;
        return nullptr;
    }

    void FlushPending() {
        for (const auto &entry : views) entry.second->FlushPending();
    }

    // The window a panel opens from: its parent panel's, else the active
    // popup's, else the main window's; null for the main window itself.
    QWidget *OpenerOf(int panel) const {
        const model::Panel *p = model::FindPanel(panel);
        if (!p) return nullptr;
        if (PanelView *v = View(p->parent); v && v->isVisible()) return v;
        const std::vector<int> &popups = model::PopupStack();
        for (auto it = popups.rbegin(); it != popups.rend(); ++it)
            if (PanelView *v = View(*it); *it != panel && v && v->isVisible()) return v;
        for (const auto &[handle, v] : views) {
            const model::Panel *other = model::FindPanel(handle);
            if (handle != panel && other && other->parent == 0 && v->isVisible() &&
                std::find(popups.begin(), popups.end(), handle) == popups.end())
                return v;
        }
        return nullptr;
    }

    void Forget() {
        // Children first: a panel's window owns its child panels' windows.
        for (auto it = views.rbegin(); it != views.rend(); ++it) delete it->second;
        views.clear();
        if (waitCursor) QApplication::restoreOverrideCursor();
        waitCursor = false;
    }
};

QtBackend &B() {
    static QtBackend backend;
    return backend;
}

}  // namespace

void Install() {
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

// Whoever looks at a window sees the model as it is now.
QWidget *PanelWindow(int panel) {
    PanelView *v = B().View(panel);
    if (v) v->FlushPending();
    return v;
}

QWidget *ControlWidget(int panel, int control) {
    PanelView *v = B().View(panel);
    detail::ControlView *c = v ? v->Find(control) : nullptr;
    if (c) c->FlushPending();
    return c ? c->Widget() : nullptr;
}

QLabel *ControlLabel(int panel, int control) {
    PanelView *v = B().View(panel);
    detail::ControlView *c = v ? v->Find(control) : nullptr;
    if (c) c->FlushPending();
    return c ? c->Label() : nullptr;
}

bool SavePanelImage(int panel, const char *fileName) {
    PanelView *v = B().View(panel);
    if (!v || !fileName || !*fileName) return false;
    v->FlushPending();
    v->ensurePolished();
    if (v->layout()) v->layout()->activate();
    return v->grab().save(QString::fromLocal8Bit(fileName), "PNG");
}

int MainWindowPanel() {
    const std::vector<int> &popups = model::PopupStack();
    for (const auto &entry : B().views) {
        const model::Panel *p = model::FindPanel(entry.first);
        if (p && p->visible && p->parent == 0 && std::find(popups.begin(), popups.end(), entry.first) == popups.end())
            return entry.first;
    }
    return 0;
}

}  // namespace ui::qt

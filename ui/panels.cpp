// Panels: loading from resource files, making at run time, showing,
// discarding, and the stack of modal popups.
#include <algorithm>

#include "ui/core.h"
#include "ui/resource_file.h"

namespace ui {
namespace {

bool ValidParent(int parent) { return parent == 0 || core::GetPanel(parent) != nullptr; }

int AddPanel(model::Panel panel) {
    core::State &s = core::S();
    const int handle = s.nextHandle++;
    panel.handle = handle;
    panel.visible = false;
    bool timers = false;
    for (model::Control &c : panel.controls)
        if (c.kind == CTRL_TIMER && c.enabled) {
            core::StartTimer(c);
            timers = true;
        }
    s.panels.emplace(handle, std::move(panel));
    core::Notify([&](Backend &b) { b.PanelCreated(handle); });
    if (timers) core::TimersChanged();
    return handle;
}

// Takes the panel off the popup stack if it is there.
void Unpopup(int panel) {
    auto &popups = core::S().popups;
    auto it = std::find(popups.begin(), popups.end(), panel);
    if (it == popups.end()) return;
    popups.erase(it);
    core::Notify([&](Backend &b) { b.PopupRemoved(panel); });
}

void CollectWithChildren(int panel, std::vector<int> &out) {
    for (const auto &entry : core::S().panels)
        if (entry.second.parent == panel) CollectWithChildren(entry.first, out);
    out.push_back(panel);
}

}  // namespace

void SetProjectFolder(const char *folder) { core::S().projectFolder = core::Str(folder); }
std::string GetProjectFolder() { return core::S().projectFolder; }
std::string GetLastResourceError() { return core::S().lastResourceError; }

int LoadPanel(int parentPanel, const char *fileName, int panelResourceId) {
    core::Toolkit();  // a back end installed now starts afresh: before the panel, not after
    if (!ValidParent(parentPanel)) return UIE_INVALID_PANEL;
    const std::string name = core::Str(fileName);
    std::vector<model::Panel> panels;
    std::string error;
    if (int rc = detail::ReadResourceFile(name, panels, error)) {
        core::S().lastResourceError = error;
        return rc;
    }
    for (model::Panel &p : panels) {
        if (p.resourceId != panelResourceId) continue;
        p.parent = parentPanel;
        p.fileName = name;
        return AddPanel(std::move(p));
    }
    core::S().lastResourceError = name + ": no panel number " + std::to_string(panelResourceId);
    return UIE_NO_SUCH_PANEL;
}

int NewPanel(int parentPanel, const char *title, int top, int left, int height, int width) {
    core::Toolkit();  // as for LoadPanel
    if (!ValidParent(parentPanel)) return UIE_INVALID_PANEL;
    if (height < 0 || width < 0) return UIE_BAD_VALUE;
    model::Panel p;
    p.parent = parentPanel;
    p.title = core::Str(title);
    p.top = top;
    p.left = left;
    p.height = height;
    p.width = width;
    return AddPanel(std::move(p));
}

int NewCtrl(int panel, int kind, const char *label, int top, int left) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    if (!model::IsValidKind(kind)) return UIE_BAD_VALUE;
    int number = 0;
    for (const model::Control &c : p->controls) number = std::max(number, c.number);
    model::Control c = model::DefaultControl(kind);
    c.number = number + 1;
    c.label = core::Str(label);
    c.top = top;
    c.left = left;
    if (kind == CTRL_TIMER) core::StartTimer(c);
    p->controls.push_back(std::move(c));
    core::Notify([&](Backend &b) { b.ControlCreated(panel, number + 1); });
    if (kind == CTRL_TIMER) core::TimersChanged();
    return number + 1;
}

int DisplayPanel(int panel) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    p->visible = true;
    core::Notify([&](Backend &b) { b.PanelShown(panel); });
    return 0;
}

int HidePanel(int panel) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    p->visible = false;
    // A hidden popup would hold every other panel without being seen.
    Unpopup(panel);
    core::Notify([&](Backend &b) { b.PanelHidden(panel); });
    return 0;
}

int DiscardPanel(int panel) {
    if (!core::GetPanel(panel)) return UIE_INVALID_PANEL;
    std::vector<int> doomed;
    CollectWithChildren(panel, doomed);
    for (int handle : doomed) {
        Unpopup(handle);
        core::S().panels.erase(handle);
        core::Notify([&](Backend &b) { b.PanelDiscarded(handle); });
    }
    core::TimersChanged();
    return 0;
}

int InstallPopup(int panel) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    auto &popups = core::S().popups;
    if (std::find(popups.begin(), popups.end(), panel) != popups.end()) return UIE_POPUP_STATE;
    popups.push_back(panel);
    p->visible = true;
    core::Notify([&](Backend &b) { b.PopupInstalled(panel); });
    return 0;
}

int RemovePopup(int removeAll) {
    auto &popups = core::S().popups;
    if (popups.empty()) return UIE_NO_POPUP;
    do {
        const int panel = popups.back();
        popups.pop_back();
        if (model::Panel *p = core::GetPanel(panel)) p->visible = false;
        core::Notify([&](Backend &b) { b.PopupRemoved(panel); });
    } while (removeAll && !popups.empty());
    return 0;
}

}  // namespace ui

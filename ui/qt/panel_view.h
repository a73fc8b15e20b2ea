// A panel as a window. Its controls are laid out from the resource file's
// placement: value controls in columns (a control that lies beside another
// starts a new column), each a form with the label beside the field, rows in
// top-to-bottom order; the command buttons in one row at the bottom. The
// window is as large as that layout needs, and opens centred over the window
// that opened it (a panel made at run time: where its maker placed it), kept
// on the screen.
#pragma once
#include <QWidget>
#include <memory>
#include <vector>

#include "ui/model.h"
#include "ui/qt/control_view.h"

class QFormLayout;
class QHBoxLayout;

namespace ui::qt::detail {

class PanelView : public QWidget {
public:
    // parentWindow: the window of the panel's parent panel, or null.
    PanelView(int handle, QWidget *parentWindow);
    ~PanelView() override;

    int Handle() const { return handle_; }
    ControlView *Find(int control) const;

    // Title and size as the model has them.
    void SyncPanel();
    // Before the window shows: a panel made at run time where the model
    // places it; a resource file's panel centred over `opener`, or on the
    // screen without one; moved inside the screen where it would leave it.
    void PlaceOver(const QWidget *opener);
    void AddControl(int control);
    // The model changed the control (drawn at most ~30 times a second).
    void UpdateControl(int control);
    // Shows every change still held back.
    void FlushPending();
    // Installed as a modal popup (or no longer).
    void SetPopup(bool popup);
    bool IsPopup() const { return popup_; }
    // Shows the window and lets the window system put it on the screen
    // before the program goes on.
    void ShowNow();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Column {
        int left = 0, right = 0;
        QFormLayout *form = nullptr;
    };
    void Build(const model::Panel &panel);
    void Place(const model::Control &control, ControlView &view);
    Column &ColumnFor(const model::Control &control);
    void FitSize();

    int handle_ = 0;
    bool popup_ = false;
    QHBoxLayout *columnsLayout_ = nullptr;
    QHBoxLayout *buttonRow_ = nullptr;
    std::vector<Column> columns_;
    std::vector<std::unique_ptr<ControlView>> controls_;
};

}  // namespace ui::qt::detail

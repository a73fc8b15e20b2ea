// A panel as a top-level window (owned by its parent panel's window): its
// controls laid out by LayOut(), as large as they need, opening centred over
// the window that opened it (a panel made at run time: where its maker
// placed it) and kept on the screen. Its close button asks
// for the panel's close control.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/win32/control_window.h"

namespace ui::win32::detail {

class PanelWindow {
public:
    // owner: the window of the panel's parent panel, or null.
    PanelWindow(int handle, HWND owner);
    ~PanelWindow();
    PanelWindow(const PanelWindow &) = delete;
    PanelWindow &operator=(const PanelWindow &) = delete;

    int Handle() const { return handle_; }
    HWND Window() const { return window_; }
    ControlWindow *Find(int control) const;

    // Title and size as the model has them.
    void SyncPanel();
    // Before the window shows: a panel made at run time where the model
    // places it; a resource file's panel centred over `opener`, or on the
    // screen without one; moved inside the screen where it would leave it.
    void PlaceOver(HWND opener);
    void AddControl(int control);
    void UpdateControl(int control);
    // Shows the window, brings it to the front and paints it now.
    void ShowNow();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Message(UINT message, WPARAM wParam, LPARAM lParam);
    ControlWindow *FindByWindow(HWND window) const;
    void Fit();

    int handle_ = 0;
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<ControlWindow>> controls_;
};

}  // namespace ui::win32::detail

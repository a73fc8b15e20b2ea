// The blocking popups (message, confirm, prompt, up to three buttons) as a
// modal dialog built in code, with the request's exact title and text. While
// it is up, every other window of the program is disabled; it runs the
// message loop until the operator answers or the event loop is ending.
#pragma once
#include <windows.h>

#include "ui/backend.h"

namespace ui::win32::detail {

// Shows the dialog over `owner` (may be null) and waits for the operator.
PopupAnswer RunPopupDialog(const PopupRequest &request, HWND owner);
// The dialog on the screen now (the innermost), null when none.
HWND ActiveDialog();

}  // namespace ui::win32::detail

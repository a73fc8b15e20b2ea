// The blocking popups (message, confirm, prompt, up to three buttons) as a
// modal dialog with the request's exact title and text.
//
// Its parts are named for tests: "message" (the text), "response" (the
// answer field), "button1" to "button3".
#pragma once

#include "ui/backend.h"

class QWidget;

namespace ui::qt::detail {

// Shows the dialog over `parent` (may be null) and waits for the operator.
PopupAnswer RunPopupDialog(const PopupRequest &request, QWidget *parent);

}  // namespace ui::qt::detail

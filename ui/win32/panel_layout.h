// The placement of a panel's controls in its window, from the resource
// file's placement: value controls in columns (a control that lies beside
// another starts a new column), each row a label and its field, rows in
// top-to-bottom order; the command buttons in one row at the bottom right.
// Hidden controls take no room.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "ui/win32/control_window.h"

namespace ui::win32::detail {

// Moves the controls' windows to their places, at least minWidth wide;
// returns the client size the window needs.
SIZE LayOut(int panel, const std::vector<std::unique_ptr<ControlWindow>> &controls, int minWidth);

}  // namespace ui::win32::detail

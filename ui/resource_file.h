// Resource files (*.uir): the panels of a program in a readable UTF-8 text.
//
//   # comment
//   panel PANEL_GL 1                      constant name, panel number
//       title "Ekran główny"
//       position 40 60                    top left (pixels)
//       size 300 500                      height width
//       close PANEL_GL_KONIEC             the window's close button commits this control
//   control PANEL_GL_STATUS 2 text        constant name, control number, kind keyword
//       label "Stan"
//       value "Brak połączenia"
//   control PANEL_GL_TIMER 3 timer
//       callback ObsEkrGl_OdpytywaczMain
//       interval 1.0
//       enabled 0
//
// A "panel" line starts a panel, a "control" line a control of the last
// panel; the lines that follow set properties of that control (or of the
// panel before its first control). Indentation is only for the reader.
// Control properties: label TEXT, callback NAME, position T L, size H W,
// mode normal|hot|indicator, dimmed 0|1, visible 0|1, color 0xRRGGBB,
// min R, max R, precision N (numeric kinds), format decimal|hex (int),
// maxlength N (string: the most characters it holds), value (by kind: a real, an
// integer, 0|1 or a text), item TEXT N and index N (ring, list), line TEXT
// (textbox), interval R and enabled 0|1 (timer).
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "ui/model.h"

namespace ui::detail {

constexpr std::size_t kMaxResourceFileBytes = 8u << 20;
constexpr std::size_t kMaxLineBytes = 64u << 10;

// Panels with their resource number and constant names (handles are 0).
// False with "line N: reason" on the first error; nothing is half-parsed.
bool ParseResourceFile(std::string_view content, std::vector<model::Panel> &panels, std::string &error);

// Resolves, reads and parses a resource file: 0, UIE_NO_SUCH_FILE or
// UIE_BAD_FILE (error then says why).
int ReadResourceFile(std::string_view name, std::vector<model::Panel> &panels, std::string &error);

}  // namespace ui::detail

// What the windows draw with: the system's message font (it has the Polish
// letters), text sizes in it, colours, and the program's UTF-8 text as the
// UTF-16 of the wide-character API.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace ui::win32::detail {

std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);
// A window's text, as UTF-8.
std::string WindowText(HWND window);
// Sets a window's text when it differs (no flicker, no change notification).
void SetText(HWND window, const std::wstring &text);

// The font of every window of the back end (never freed: it lives as long
// as the process).
HFONT UiFont();
// The size of one line of text in that font.
SIZE TextSize(const std::wstring &text);
// The height of a line of that font.
int LineHeight();
// Pixels at the screen's resolution for a length drawn at 96 dots per inch
// (the program is DPI-aware: Windows does not stretch its windows).
int Px(int pixelsAt96);
// Sets the font on a window and its children.
void ApplyFont(HWND window);

// A 0xRRGGBB value as a COLORREF.
COLORREF Colour(int rgb);
// Solid brushes, made once per colour.
HBRUSH Brush(COLORREF colour);

}  // namespace ui::win32::detail

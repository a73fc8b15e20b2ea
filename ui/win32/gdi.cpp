#include "ui/win32/gdi.h"

#include <map>

#include "platform/wide_windows.h"

namespace ui::win32::detail {

std::wstring Wide(std::string_view utf8) { return platform::detail::Widen(utf8); }
std::string Utf8(std::wstring_view wide) { return platform::detail::Narrow(wide); }

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const int got = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(got > 0 ? got : 0));
    return Utf8(text);
}

void SetText(HWND window, const std::wstring &text) {
    const int length = GetWindowTextLengthW(window);
    if (length == static_cast<int>(text.size())) {
        std::wstring now(text.size() + 1, L'\0');
        GetWindowTextW(window, now.data(), static_cast<int>(now.size()));
        now.resize(text.size());
        if (now == text) return;
    }
    SetWindowTextW(window, text.c_str());
}

HFONT UiFont() {
    static HFONT font = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
            if (HFONT f = CreateFontIndirectW(&metrics.lfMessageFont)) return f;
        return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    }();
    return font;
}

SIZE TextSize(const std::wstring &text) {
    SIZE size{0, 0};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, UiFont());
    const std::wstring measured = text.empty() ? L" " : text;
    GetTextExtentPoint32W(dc, measured.c_str(), static_cast<int>(measured.size()), &size);
    if (text.empty()) size.cx = 0;
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size;
}

int LineHeight() {
    static const int height = [] {
        HDC dc = GetDC(nullptr);
        HGDIOBJ old = SelectObject(dc, UiFont());
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc, &metrics);
        SelectObject(dc, old);
        ReleaseDC(nullptr, dc);
        return metrics.tmHeight > 0 ? static_cast<int>(metrics.tmHeight) : 13;
    }();
    return height;
}

int Px(int pixelsAt96) {
    static const int dpi = [] {
        HDC dc = GetDC(nullptr);
        const int d = GetDeviceCaps(dc, LOGPIXELSY);
        ReleaseDC(nullptr, dc);
        return d > 0 ? d : 96;
    }();
    return MulDiv(pixelsAt96, dpi, 96);
}

void ApplyFont(HWND window) { SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE); }

COLORREF Colour(int rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

HBRUSH Brush(COLORREF colour) {
    static std::map<COLORREF, HBRUSH> brushes;
    HBRUSH &brush = brushes[colour];
    if (!brush) brush = CreateSolidBrush(colour);
    return brush;
}

}  // namespace ui::win32::detail

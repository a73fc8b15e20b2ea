#include "ui/win32/screenshot.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/screenshot_request.h"
#include "ui/ui.h"
#include "ui/win32/gdi.h"
#include "ui/win32/timers.h"
#include "ui/win32/win32_backend.h"

namespace ui::win32::detail {
namespace {

constexpr UINT_PTR kShotTimer = 2;

std::string &Path() {
    static std::string path;
    return path;
}

void CALLBACK Shoot(HWND window, UINT, UINT_PTR id, DWORD) {
    KillTimer(window, id);
    const int panel = MainWindowPanel();
    const std::string &path = Path();
    if (panel == 0)
        std::fprintf(stderr, "vgx52: no main window to save in %s\n", path.c_str());
    else if (SavePanelImage(panel, path.c_str()))
        std::fprintf(stderr, "vgx52: main window saved in %s\n", path.c_str());
    else
        std::fprintf(stderr, "vgx52: the main window could not be saved in %s (error %lu)\n", path.c_str(),
                     GetLastError());
    std::fflush(stderr);
    ui::QuitUserInterface(0);
}

void Put(std::vector<unsigned char> &out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

}  // namespace

void ArmScreenshot() {
    static bool armed = false;
    const std::optional<ScreenshotRequest> request = RequestedScreenshot();
    if (armed || !request) return;
    armed = true;
    Path() = request->file;
    SetTimer(MessageWindow(), kShotTimer, static_cast<UINT>(request->afterSeconds * 1000.0), Shoot);
}

bool SaveWindowImage(HWND window, const char *fileName) {
    RECT r;
    if (!window || !fileName || !GetWindowRect(window, &r)) return false;
    const int width = r.right - r.left, height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    // Wine puts what a thread drew on the screen when the thread finds no
    // message waiting (else at most every 50 ms): a look for a message that
    // never comes does it. Without it the controls drawn last are missing
    // from the picture.
    constexpr UINT kNeverSent = WM_APP + 0x3F5A;
    MSG peek;
    PeekMessageW(&peek, nullptr, kNeverSent, kNeverSent, PM_NOREMOVE);
    // What the screen shows in the window's place: frame and controls as
    // the window system drew them (the window is in front, just painted).
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as the file keeps it
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = bitmap && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        SelectObject(memory, old);
    }
    if (ok) {
        // Rows of 24-bit pixels are padded to whole 4-byte words.
        const std::uint32_t stride = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
        const std::uint32_t size = stride * static_cast<std::uint32_t>(height);
        std::vector<unsigned char> file;
        file.push_back('B');
        file.push_back('M');
        Put(file, 54 + size, 4);
        Put(file, 0, 4);
        Put(file, 54, 4);
        Put(file, 40, 4);
        Put(file, static_cast<std::uint32_t>(width), 4);
        Put(file, static_cast<std::uint32_t>(height), 4);
        Put(file, 1, 2);
        Put(file, 24, 2);
        Put(file, 0, 4);
        Put(file, size, 4);
        Put(file, 2835, 4);  // 72 dots per inch
        Put(file, 2835, 4);
        Put(file, 0, 4);
        Put(file, 0, 4);
        const auto *pixels = static_cast<const unsigned char *>(bits);
        file.insert(file.end(), pixels, pixels + size);
        FILE *out = _wfopen(Wide(fileName).c_str(), L"wb");
        ok = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
        if (out) ok = std::fclose(out) == 0 && ok;
    }
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

}  // namespace ui::win32::detail

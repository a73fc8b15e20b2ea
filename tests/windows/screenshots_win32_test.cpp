// Every panel of the program, shown by the real screens on the Win32 back
// end against the simulated instrument in this process. Each window is
// checked for what a person would see wrong (too big for a 1024x768 screen,
// a control outside it or over another, a text cut short) and, when
// VGX52_SCREENSHOT_DIR names a folder, saved there as <name>.bmp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "../screens/program_screens.h"
#include "app/app_state.h"
#include "app/density_calculator.h"
#include "app/density_screen.h"
#include "app/main_screen.h"
#include "app/port_select.h"
#include "app/screens.h"
#include "korvi70/config.h"
#include "korvi70/dialogs.h"
#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "platform/com.h"
#include "platform/wide_windows.h"
#include "sim/modem_device.h"
#include "toolvane/folders.h"
#include "ui/Korvi70G.h"
#include "ui/VGX52_G.h"
#include "ui/model.h"
#include "ui/ui.h"
#include "ui/win32/win32_backend.h"
#include "upgrade/messages.h"

namespace fs = std::filesystem;

namespace {

using platform::detail::Narrow;
using screens::kPort;

std::string Text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return Narrow(buffer);
}

// The window's own controls (labels included) as the screen shows them,
// in client coordinates.
struct Shown {
    HWND window;
    RECT area;
};
std::vector<Shown> ShownControls(HWND window) {
    std::vector<Shown> out;
    for (HWND c = GetWindow(window, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!IsWindowVisible(c)) continue;
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT *>(&r), 2);
        out.push_back({c, r});
    }
    return out;
}

bool IsGroupBox(HWND c) {
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    return lstrcmpiW(cls, L"Button") == 0 && (GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
}

// A label's or button's text drawn in its font needs more room than it has.
bool CutShort(HWND c) {
    wchar_t cls[32] = {};
    GetClassNameW(c, cls, 32);
    const bool label = lstrcmpiW(cls, L"Static") == 0, button = lstrcmpiW(cls, L"Button") == 0;
    const std::wstring text = platform::detail::Widen(Text(c));
    if ((!label && !button) || text.empty() || IsGroupBox(c)) return false;
    RECT inside;
    GetClientRect(c, &inside);
    const LONG style = GetWindowLongW(c, GWL_STYLE) & BS_TYPEMASK;
    // A check box or radio button draws its box before the text.
    const bool boxed = button && style != BS_PUSHBUTTON && style != BS_DEFPUSHBUTTON;
    const int room = inside.right - (boxed ? 16 : button ? 4 : 0);
    HDC dc = GetDC(c);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(c, WM_GETFONT, 0, 0)));
    RECT need{0, 0, room, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &need,
              DT_CALCRECT | (label ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(c, dc);
    return need.right > room || need.bottom > inside.bottom;
}

std::string Folder() {
    const char *folder = std::getenv("VGX52_SCREENSHOT_DIR");
    return folder ? folder : "";
}

// Lets the window and its controls take what is waiting for them (a
// button draws itself in answer to more than WM_PAINT).
void Settle(HWND window) {
    for (int i = 0; i < 5; ++i) {
        MSG msg;
        while (PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

// Checks a panel's window and, when asked, saves its picture. Every other
// panel's window is hidden meanwhile: Wine draws a window that lies wholly
// inside another one black.
void SavePanel(int panel, const std::string &name) {
    HWND window = ui::win32::PanelWindow(panel);
    ASSERT_NE(window, nullptr) << name;
    EXPECT_TRUE(IsWindowVisible(window)) << name;
    RECT frame, client;
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    EXPECT_TRUE(client.right >= 100 && client.bottom >= 20) << name << ": " << client.right << "x" << client.bottom;
    EXPECT_TRUE(frame.right - frame.left <= 1024 && frame.bottom - frame.top <= 768) << name << ": too big";
    const std::vector<Shown> shown = ShownControls(window);
    EXPECT_FALSE(shown.empty()) << name;
    for (std::size_t i = 0; i < shown.size(); ++i) {
        const RECT &a = shown[i].area;
        const std::string what = name + ": \"" + Text(shown[i].window) + "\"";
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.right <= client.right && a.bottom <= client.bottom)
            << what << " outside the window";
        EXPECT_FALSE(CutShort(shown[i].window)) << what << " cut short";
        if (IsGroupBox(shown[i].window)) continue;
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            RECT both;
            if (!IsGroupBox(shown[j].window) && IntersectRect(&both, &a, &shown[j].area))
                ADD_FAILURE() << what << " over \"" << Text(shown[j].window) << "\"";
        }
    }
    if (Folder().empty()) return;
    std::vector<HWND> hidden;
    for (int other : ui::model::PanelHandles()) {
        HWND w = ui::win32::PanelWindow(other);
        if (w && w != window && IsWindowVisible(w)) {
            ShowWindow(w, SW_HIDE);
            hidden.push_back(w);
        }
    }
    Settle(window);
    const std::string file = Folder() + "\\" + name + ".bmp";
    EXPECT_TRUE(ui::win32::SavePanelImage(panel, file.c_str())) << file;
    for (HWND w : hidden) ShowWindow(w, SW_SHOWNA);
}

// Runs `tick` from the message loop every `ms` until it returns true.
std::map<UINT_PTR, std::function<bool()>> &Ticks() {
    static std::map<UINT_PTR, std::function<bool()>> ticks;
    return ticks;
}
void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    static bool busy = false;  // a tick that lets messages through is not entered again
    auto it = Ticks().find(id);
    if (busy || it == Ticks().end()) return;
    busy = true;
    std::function<bool()> work = it->second;
    if (work()) {
        KillTimer(nullptr, id);
        Ticks().erase(id);
    }
    busy = false;
}
UINT_PTR Every(UINT ms, std::function<bool()> tick) {
    const UINT_PTR id = SetTimer(nullptr, 0, ms, Tick);
    Ticks()[id] = std::move(tick);
    return id;
}
void StopAll() {
    for (auto &entry : Ticks()) KillTimer(nullptr, entry.first);
    Ticks().clear();
}

void Click(int panel, int control) { PostMessageW(ui::win32::ControlWindow(panel, control), BM_CLICK, 0, 0); }

int Value(int panel, int control) {
    int value = -1;
    ui::GetCtrlVal(panel, control, &value);
    return value;
}

// What an operator does in a dialog, one step after another, each tried
// again until it says it is done, once the dialog is the modal panel.
using Step = std::function<bool(int panel)>;
void Operate(int resource, std::vector<Step> steps) {
    auto next = std::make_shared<std::size_t>(0);
    Every(30, [=] {
        const int panel = ui::model::FindPanelByResource(resource);
        if (panel == 0) return *next > 0;
        if (*next >= steps.size()) return true;
        if (ui::model::TopPopup() != panel || !IsWindowVisible(ui::win32::PanelWindow(panel))) return false;
        if (steps[*next](panel)) ++*next;
        return false;
    });
}
Step Snapshot(const char *name) {
    return [name](int panel) {
        SavePanel(panel, name);
        return true;
    };
}
// Clicks until the dialog is gone.
Step Close(int control) {
    return [control](int panel) {
        Click(panel, control);
        return false;
    };
}

// Answers every message or question with its first button, noting titles.
class Agree {
public:
    Agree() {
        timer_ = Every(10, [this] {
            HWND dialog = ui::win32::ActivePopupDialog();
            if (dialog && dialog != last_) {
                last_ = dialog;
                titles.push_back(Text(dialog));
                PostMessageW(GetDlgItem(dialog, ui::win32::kPopupButtonId + 1), BM_CLICK, 0, 0);
            }
            return false;
        });
    }
    ~Agree() {
        KillTimer(nullptr, timer_);
        Ticks().erase(timer_);
    }
    std::vector<std::string> titles;

private:
    UINT_PTR timer_ = 0;
    HWND last_ = nullptr;
};

class Win32Screens : public screens::ProgramScreens {
protected:
    void InstallBackend() override { ui::win32::Install(); }
    void SetUp() override {
        ProgramScreens::SetUp();
        if (!ui::win32::PanelWindow(PanelEkrGl)) GTEST_SKIP() << "no window station to make windows in";
        if (!Folder().empty()) fs::create_directories(Folder());
    }
    void TearDown() override {
        StopAll();
        ProgramScreens::TearDown();
    }
};

TEST_F(Win32Screens, MainScreenInItsThreeStates) {
    struct Case {
        int typeCode;
        bool silent;
        const char *name;
    } cases[] = {
        {0x1B3, false, "main-connected"}, {0x1B8, false, "main-other-instrument"}, {0x1B8, true, "main-no-answer"}};
    for (const Case &c : cases) {
        instrument_.State().typeCode = c.typeCode;
        instrument_.Faults().silent = c.silent;
        Poll();
        SavePanel(PanelEkrGl, c.name);
    }
}

TEST_F(Win32Screens, PortSelectionPopup) {
    Operate(PANEL_PORT, {Snapshot("port-popup"), Close(PANEL_PORT_OK)});
    Korvi70_NrZlacza = 3;
    EXPECT_EQ(OkreslKonfiguracjeKorvi70(Toolvane_ZbiorUir), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 3) << "the preselected COM3 accepted";
    Korvi70_NrZlacza = kPort;
}

TEST_F(Win32Screens, DensityScreenAndCalculator) {
    instrument_.State().typeCode = 0x1B0;
    Poll();
    ObsEkrGl_UstGestGazu(PanelEkrGl, PANEL_GL_USTGEST, ui::EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_NE(PanelUstGest, 0);
    ObsEkrUstGest_WpiszGestPowietrza(PanelUstGest, PANEL_UG_POWIETRZE, ui::EVENT_COMMIT, nullptr, 0, 0);
    SavePanel(PanelUstGest, "density-screen");

    ObsEkrUstGest_KalkGest(PanelUstGest, PANEL_UG_KALKULATOR, ui::EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_NE(PanelKalGest, 0);
    ui::SetCtrlVal(PanelKalGest, PANEL_KG_METAN, 50.0);
    ObsEkrKlaGest_Stez(PanelKalGest, PANEL_KG_METAN, ui::EVENT_COMMIT, nullptr, 0, 0);
    ObsEkrKalGest_WypelStezDlaCzystPow(PanelKalGest, PANEL_KG_WYPELNIJ, ui::EVENT_COMMIT, nullptr, 0, 0);
    SavePanel(PanelKalGest, "calculator");

    ObsEkrKalGest_Powrot(PanelKalGest, PANEL_KG_POWROT, ui::EVENT_COMMIT, nullptr, 0, 0);
    ObsEkrUstGest_Powrot(PanelUstGest, PANEL_UG_POWROT, ui::EVENT_COMMIT, nullptr, 0, 0);
}

// The firmware file lies on drive P:, so only where the drives are scratch.
TEST_F(Win32Screens, UpgradeProgressWindow) {
    const char *scratch = std::getenv("VGX52_SCRATCH_DRIVE");
    if (!scratch || std::string(scratch) != "1") GTEST_SKIP() << "the firmware file goes on drive P:";
    instrument_.State().typeCode = 0x1B0;  // hardware version 1
    fs::create_directories("P:\\VGX52\\SoftWare\\AVR\\HV1\\Exe");
    std::ofstream("P:\\VGX52\\SoftWare\\AVR\\HV1\\Exe\\vgx52hv1.a90", std::ios::binary) << screens::HexFile(10);
    // Replies that take a while: the window's timer gets its turn between pages.
    instrument_.Faults().delay = 0.02;
    Agree agree;
    bool saved = false;
    Every(0, [&] {
        for (int panel : ui::model::PanelHandles()) {
            const ui::model::Panel *p = ui::model::FindPanel(panel);
            if (!p || p->title != upgrade::kProgressTitle || p->controls.empty() || p->controls[0].numeric < 40)
                continue;
            SavePanel(panel, "upgrade-progress");
            // Where the upgrade places it, not centred over the main window.
            RECT window{};
            GetWindowRect(ui::win32::PanelWindow(panel), &window);
            EXPECT_EQ(window.left, GetSystemMetrics(SM_CXSCREEN) / 2 - 100);
            EXPECT_EQ(window.top, GetSystemMetrics(SM_CYSCREEN) / 2 - 100);
            saved = true;
            return true;
        }
        return false;
    });
    EXPECT_EQ(ObsEkrGl_Upgrade(PanelEkrGl, PANEL_GL_UPGRADE, ui::EVENT_COMMIT, nullptr, 0, 0), 0);
    EXPECT_TRUE(saved) << "no progress window part way";
    const std::vector<std::string> expected = {"Warning", "Important", "Message"};
    EXPECT_EQ(agree.titles, expected);
    std::error_code ignored;
    fs::remove_all("P:\\VGX52", ignored);
}

// The Korvi70 library's dialogs, on the panels of Korvi70G.Uir.
class KorviScreens : public Win32Screens {
protected:
    void SetUp() override {
        Win32Screens::SetUp();
        if (IsSkipped()) return;
        UseKorvi70Panels(VGX52_KORVI70_RESOURCE_FILE);
    }
    void TearDown() override {
        StopKorvi70Panels();
        Win32Screens::TearDown();
    }
};

TEST_F(KorviScreens, PortSelection) {
    Korvi70_NrZlacza = 1;
    Operate(PANEL_WYBZL, {Snapshot("korvi70-port-selection"), Close(PANEL_WYBZL_ANULUJ)});
    Korvi70_WybNrZl();
    Korvi70_NrZlacza = kPort;
}

TEST_F(KorviScreens, IdAssignment) {
    Operate(PANEL_NRID, {[](int panel) {
                             if (Value(panel, PANEL_NRID_ODCZYTANY) == 5) return true;
                             Click(panel, PANEL_NRID_ODCZYTAJ);
                             return false;
                         },
                         Snapshot("korvi70-id-assignment"), Close(PANEL_NRID_ZAMKNIJ)});
    EXPECT_EQ(Korvi70_NadNrId(), 0);
}

TEST_F(KorviScreens, IoEditorAfterARead) {
    const unsigned char bytes[] = {0xAB, 0x01, 0x7F, 0x00, 0xC3, 0x10};
    std::copy(std::begin(bytes), std::end(bytes), instrument_.State().io.begin() + 0x0100);
    Operate(PANEL_EDYT, {[](int panel) {
                             ui::SetCtrlVal(panel, PANEL_EDYT_ZAP_ADRES, 0x0200);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ZAP_ADRES_DZ, 0x0200);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ODCZ_ADRES, 0x0100);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ODCZ_ADRES_DZ, 0x0100);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ODCZ_ILE, 6);
                             ObsEkrEdyt_UaktualnijAktywnoscPolOdczytowych(panel);
                             return true;
                         },
                         [](int panel) {
                             if (Value(panel, PANEL_EDYT_ODCZ_BAJT5) == 0xC3) return true;
                             Click(panel, PANEL_EDYT_ODCZYTAJ);
                             return false;
                         },
                         Snapshot("korvi70-io-editor"), Close(PANEL_EDYT_ZAMKNIJ)});
    EXPECT_EQ(Korvi70_EdytorWeWy(5), 0);
}

// The modem's dialogs, with the simulated modem in front of the instrument
// on COM2.
class ModemScreens : public KorviScreens {
protected:
    void SetUp() override {
        KorviScreens::SetUp();
        if (IsSkipped()) return;
        AttachModem();
    }
    void TearDown() override {
        DetachModem();
        KorviScreens::TearDown();
    }
};

TEST_F(ModemScreens, ConnectDialogAndDiallingPanel) {
    Operate(PANEL_MODEM, {[](int panel) {
                              ui::SetCtrlVal(panel, PANEL_MODEM_NUMER, "0W225551234");
                              return true;
                          },
                          Snapshot("korvi70-modem-connect"),
                          [](int panel) {
                              Click(panel, PANEL_MODEM_POLACZ);
                              return true;
                          }});
    Operate(PANEL_WYBNR, {[](int panel) {
                double value = 0;
                ui::GetCtrlVal(panel, PANEL_WYBNR_POSTEP, &value);
                if (value < 1.0) return false;
                SavePanel(panel, "korvi70-modem-dialling");
                return true;
            }});
    Agree agree;
    EXPECT_EQ(Korvi70_PolaczModem(kModemPort), 0);
    EXPECT_NE(std::find(agree.titles.begin(), agree.titles.end(), "Połączenie nawiązane."), agree.titles.end());
    EXPECT_EQ(Korvi70_RozlaczModem(kModemPort), 0);
}

TEST_F(ModemScreens, ConfigurationDialog) {
    Operate(PANEL_KONF, {Snapshot("korvi70-modem-configuration"), Close(PANEL_KONF_ZAMKNIJ)});
    EXPECT_EQ(Korvi70_KonfiguracjaModemu(kModemPort), 0);
}

}  // namespace

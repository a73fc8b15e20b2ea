// The Win32 back end with real windows: what the operator sees and does
// reaches the model, the program's callbacks and its waits.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "platform/wide_windows.h"
#include "ui/model.h"
#include "ui/ui.h"
#include "ui/win32/win32_backend.h"

namespace {

namespace fs = std::filesystem;
using platform::detail::Narrow;
using platform::detail::Widen;

enum : int { PANEL = 1, P_INT = 2, P_HEX = 3, P_STR = 4, P_TEXT = 5, P_BUTTON = 6, P_TIMER = 7, P_QUIT = 8 };

const char kUir[] = R"(panel PANEL 1
    title "Próba zażółć gęślą jaźń"
    close P_QUIT
control P_INT 2 int
    label "Całkowita"
    callback Value
    position 10 10
    min -5
    max 500
    value 7
control P_HEX 3 int
    label "Adres"
    position 40 10
    min 0
    max 255
    format hex
    value 15
control P_STR 4 string
    label "Napis"
    position 70 10
    value "abc"
control P_TEXT 5 text
    label "Stan"
    position 100 10
    color 0x800000
    value "Brak połączenia"
control P_BUTTON 6 button
    label "Naciśnij"
    callback Button
    position 200 10
control P_TIMER 7 timer
    callback Tick
    interval 0.05
    enabled 0
control P_QUIT 8 button
    label "Koniec"
    callback Button
    position 200 200
)";

struct Calls {
    int buttons = 0, ticks = 0, commits = 0, lastControl = 0;
    std::function<void(int)> onButton;  // runs inside the button's callback
};
Calls calls;

int Button(int, int control, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    ++calls.buttons;
    calls.lastControl = control;
    if (auto hook = std::move(calls.onButton)) hook(control);
    return 0;
}
int Value(int, int control, int event, void *, int, int) {
    if (event == ui::EVENT_COMMIT) ++calls.commits, calls.lastControl = control;
    return 0;
}
int Tick(int, int, int event, void *, int, int) {
    if (event == ui::EVENT_TIMER_TICK) ++calls.ticks;
    return 0;
}

std::string Text(HWND window) {
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, 512);
    return Narrow(buffer);
}

// Runs `work` once, from the message loop, `ms` from now.
std::function<void()> later;
void CALLBACK RunLater(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (auto work = std::move(later)) work();
}
void After(UINT ms, std::function<void()> work) {
    later = std::move(work);
    SetTimer(nullptr, 0, ms, RunLater);
}

class Win32Ui : public ::testing::Test {
protected:
    void SetUp() override {
        calls = Calls{};
        ui::win32::Install();
        ui::RegisterCallback("Button", Button);
        ui::RegisterCallback("Value", Value);
        ui::RegisterCallback("Tick", Tick);
        folder_ = fs::temp_directory_path() / ("vgx52-win32-" + std::to_string(GetCurrentProcessId()));
        fs::create_directories(folder_);
        std::ofstream(folder_ / "test.uir", std::ios::binary) << kUir;
        ui::SetProjectFolder(folder_.string().c_str());
        panel_ = ui::LoadPanel(0, "test.uir", PANEL);
        ASSERT_GT(panel_, 0) << ui::GetLastResourceError();
        if (!ui::win32::PanelWindow(panel_)) GTEST_SKIP() << "no window station to make windows in";
        ASSERT_EQ(ui::DisplayPanel(panel_), 0);
    }
    void TearDown() override {
        ui::win32::Install();
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }
    HWND Control(int control) const { return ui::win32::ControlWindow(panel_, control); }
    // What the operator typed into a field, and the field losing the focus.
    void Type(int control, const char *text) {
        SetWindowTextW(Control(control), Widen(text).c_str());
        SendMessageW(Control(control), EM_SETMODIFY, TRUE, 0);
        SendMessageW(ui::win32::PanelWindow(panel_), WM_COMMAND, MAKEWPARAM(1000 + control, EN_KILLFOCUS),
                     reinterpret_cast<LPARAM>(Control(control)));
    }

    fs::path folder_;
    int panel_ = 0;
};

TEST_F(Win32Ui, WindowsShowTheModelsTextsPolishLettersIncluded) {
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_TEXT, "Jest połączenie z przyrządem"), 0);
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_LABEL_TEXT, "Zakończ & wyjdź"), 0);
    struct Case {
        HWND window;
        const char *text;
    } cases[] = {
        {ui::win32::PanelWindow(panel_), "Próba zażółć gęślą jaźń"},
        {ui::win32::ControlLabel(panel_, P_INT), "Całkowita"},
        {Control(P_INT), "7"},
        {Control(P_HEX), "0F"},  // as many digits as the largest value
        {Control(P_STR), "abc"},
        {Control(P_TEXT), "Jest połączenie z przyrządem"},
        {Control(P_BUTTON), "Zakończ && wyjdź"},  // "&" a letter, not a mnemonic
    };
    for (const Case &c : cases) {
        ASSERT_NE(c.window, nullptr) << c.text;
        EXPECT_EQ(Text(c.window), c.text);
        EXPECT_TRUE(IsWindowVisible(c.window)) << c.text;
    }
}

TEST_F(Win32Ui, TypedValuesReachTheModelAndRefusedOnesAreUndone) {
    struct Case {
        int control;
        const char *typed;
        const char *model;  // GetCtrlVal as text, or the number
        const char *shown;
    } cases[] = {
        {P_INT, " 42 ", "42", "42"},  {P_INT, "4.5", "7", "7"},
        {P_INT, "999", "500", "500"},  // kept within the range
        {P_HEX, "1f", "31", "1F"},    {P_HEX, "0xA0", "160", "A0"},
        {P_HEX, "zz", "15", "0F"},    {P_STR, "Łódź", "Łódź", "Łódź"},
    };
    for (const Case &c : cases) {
        ui::SetCtrlVal(panel_, P_INT, 7);
        ui::SetCtrlVal(panel_, P_HEX, 15);
        ui::SetCtrlVal(panel_, P_STR, "abc");
        Type(c.control, c.typed);
        std::string value;
        if (c.control == P_STR) {
            ui::GetCtrlVal(panel_, c.control, &value);
        } else {
            int n = 0;
            ui::GetCtrlVal(panel_, c.control, &n);
            value = std::to_string(n);
        }
        EXPECT_EQ(value, c.model) << c.typed;
        EXPECT_EQ(Text(Control(c.control)), c.shown) << c.typed;
    }
    // The hot field with a callback committed each value it took.
    EXPECT_EQ(calls.commits, 2);

    // A text field's maximum entry length: typing stops there.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, 4), 0);
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_STR, ""), 0);
    for (wchar_t c : std::wstring(L"Łódź-Łódź")) SendMessageW(Control(P_STR), WM_CHAR, c, 0);
    EXPECT_EQ(Text(Control(P_STR)), "Łódź");
    Type(P_STR, "żółtko");  // put in past the keyboard: the model keeps no more either
    std::string value;
    ui::GetCtrlVal(panel_, P_STR, &value);
    EXPECT_EQ(value, "żółt");
}

TEST_F(Win32Ui, ClickReachesTheCallbackAndAWaitingGetUserEvent) {
    PostMessageW(Control(P_BUTTON), BM_CLICK, 0, 0);
    int panel = 0, control = 0;
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_COMMIT);
    EXPECT_EQ(panel, panel_);
    EXPECT_EQ(control, P_BUTTON);
    EXPECT_EQ(calls.buttons, 1);
    // Nothing more is waiting.
    EXPECT_EQ(ui::GetUserEvent(0, &panel, &control), ui::EVENT_NONE);

    // A wait inside a callback takes the next click; the click whose
    // callback it was goes to the wait outside.
    int nested = 0;
    calls.onButton = [&](int) {
        int p = 0;
        if (ui::GetUserEvent(1, &p, &nested) != ui::EVENT_COMMIT) nested = -1;
    };
    PostMessageW(Control(P_BUTTON), BM_CLICK, 0, 0);
    PostMessageW(Control(P_QUIT), BM_CLICK, 0, 0);
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_COMMIT);
    EXPECT_EQ(control, P_BUTTON);
    EXPECT_EQ(nested, P_QUIT);
    EXPECT_EQ(calls.buttons, 3);
}

TEST_F(Win32Ui, CloseButtonRunsTheCloseControl) {
    SendMessageW(ui::win32::PanelWindow(panel_), WM_CLOSE, 0, 0);
    EXPECT_EQ(calls.buttons, 1);
    EXPECT_EQ(calls.lastControl, P_QUIT);
    EXPECT_TRUE(IsWindow(ui::win32::PanelWindow(panel_)));  // the callback decides
}

TEST_F(Win32Ui, PopupsAreModalAndAnswer) {
    struct Case {
        const char *name;
        int press;          // dialog button, or IDCANCEL for Escape
        const char *typed;  // into the response field
        std::function<int(char *)> show;
        int result;
        const char *response;
    } cases[] = {
        {"confirm yes", 1, nullptr, [](char *) { return ui::ConfirmPopup("Pytanie", "Usunąć?"); }, 1, ""},
        {"confirm no", 2, nullptr, [](char *) { return ui::ConfirmPopup("Pytanie", "Usunąć?"); }, 0, ""},
        {"prompt", 1, "Łódź", [](char *r) { return ui::PromptPopup("Pytanie", "Miasto:", r, 5); }, 0, "Łód"},
        {"prompt escape", IDCANCEL, "x", [](char *r) { return ui::PromptPopup("Pytanie", "Miasto:", r, 5); },
         ui::UIE_CANCELLED, ""},
        {"generic third", 3, nullptr,
         [](char *) { return ui::GenericMessagePopup("Pytanie", "Co?", "A", "B", "C", nullptr, 0, 1, 2); }, 3, ""},
        {"generic escape", IDCANCEL, nullptr,
         [](char *) { return ui::GenericMessagePopup("Pytanie", "Co?", "A", "B", "C", nullptr, 0, 1, 2); }, 2, ""},
    };
    for (const Case &c : cases) {
        bool modal = false;
        std::string title;
        After(50, [&] {
            HWND dialog = ui::win32::ActivePopupDialog();
            if (!dialog) return;
            title = Text(dialog);
            modal = !IsWindowEnabled(ui::win32::PanelWindow(panel_));
            if (c.typed) SetDlgItemTextW(dialog, ui::win32::kPopupResponseId, Widen(c.typed).c_str());
            const int id = c.press == IDCANCEL ? IDCANCEL : ui::win32::kPopupButtonId + c.press;
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        });
        char response[16] = "?";
        EXPECT_EQ(c.show(response), c.result) << c.name;
        if (c.typed) {
            EXPECT_STREQ(response, c.response) << c.name;  // at most 5 bytes
        }
        EXPECT_EQ(title, "Pytanie") << c.name;
        EXPECT_TRUE(modal) << c.name;
        EXPECT_TRUE(IsWindowEnabled(ui::win32::PanelWindow(panel_))) << c.name;
    }

    // A panel installed as a popup: the others wait until it goes.
    const int popup = ui::LoadPanel(0, "test.uir", PANEL);
    ASSERT_EQ(ui::InstallPopup(popup), 0);
    EXPECT_FALSE(IsWindowEnabled(ui::win32::PanelWindow(panel_)));
    EXPECT_TRUE(IsWindowEnabled(ui::win32::PanelWindow(popup)));
    ASSERT_EQ(ui::RemovePopup(0), 0);
    EXPECT_TRUE(IsWindowEnabled(ui::win32::PanelWindow(panel_)));

    // The end of the event loop ends the dialog open at the time, as its
    // Escape would; a popup opened after it (a message that the settings
    // could not be saved) still waits for the operator.
    After(50, [] { ui::QuitUserInterface(0); });
    EXPECT_EQ(ui::GenericMessagePopup("Pytanie", "Co?", "A", "B", nullptr, nullptr, 0, 1, 2), 2);
    bool shown = false;
    After(50, [&] {
        shown = ui::win32::ActivePopupDialog() != nullptr;
        PostMessageW(ui::win32::ActivePopupDialog(), WM_COMMAND, MAKEWPARAM(ui::win32::kPopupButtonId + 1, 0), 0);
    });
    EXPECT_EQ(ui::ConfirmPopup("Pytanie", "Zapisać?"), 1);
    EXPECT_TRUE(shown);
}

TEST_F(Win32Ui, TimerTicksUntilTheLoopEnds) {
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_ENABLED, 1), 0);
    After(500, [] { ui::QuitUserInterface(3); });
    EXPECT_EQ(ui::RunUserInterface(), 3);
    // 0.05 s for 0.5 s: about ten; a loaded machine may lose a few.
    EXPECT_GE(calls.ticks, 4);
    EXPECT_LE(calls.ticks, 11);
}

}  // namespace

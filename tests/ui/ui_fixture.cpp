#include "ui_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace uitest {

const char kTestUir[] = R"(# every kind of control
panel PANEL 1
    title "Próba"
    position 10 20
    size 300 400
control P_NUM 2 numeric
    label "Liczba"
    min 0
    max 100
    precision 3
    value 12.5
control P_INT 3 int
    min -5
    max 500
    value 7
control P_STR 4 string
    value "abc"
control P_TEXT 5 text
    value "Brak połączenia"
control P_BOX 6 textbox
    line "one"
    line "two"
control P_BUTTON 7 button
    label "Naciśnij"
    callback TestButton
control P_RING 8 ring
    item "COM1" 10
    item "COM2" 20
    item "COM3" 30
    index 1
control P_LIST 9 list
control P_RADIO 10 radio
control P_SWITCH 11 switch
    value 1
control P_LEVEL 12 level
control P_TIMER 13 timer
    callback TestTimer
    interval 0.5
    enabled 0
control P_LED 14 led
control P_PLAIN 15 button
    mode normal
control P_HIDDEN 16 button
    visible 0

panel DIALOG 2
    title "Dialog"
control D_OK 2 button
    label "OK"
control D_NUM 3 numeric
    value 1.5
)";

void UiTest::SetUp() {
    ui::headless::Install();
    std::string pattern = (fs::temp_directory_path() / "vgx52-ui-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
    ui::SetProjectFolder(folder_.c_str());
}

void UiTest::TearDown() {
    ui::SetProjectFolder(nullptr);
    ui::SetBackend(nullptr);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string UiTest::Write(const std::string &name, const std::string &content) {
    const std::string path = folder_ + "/" + name;
    std::ofstream(path, std::ios::binary) << content;
    return path;
}

std::string UiTest::Read(const std::string &name) {
    std::ifstream in(folder_ + "/" + name, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

int UiTest::Load(int panelId) {
    Write("test.uir", kTestUir);
    return ui::LoadPanel(0, "test.uir", panelId);
}

}  // namespace uitest

// Shared set-up of the user-interface tests: the headless back end, a fresh
// project folder for resource and state files, and a resource file holding
// one control of every kind.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace uitest {

// Panel 1 ("PANEL") of kTestUir: one control of every kind.
enum : int {
    PANEL = 1,
    P_NUM = 2,      // numeric 0..100, precision 3, value 12.5
    P_INT = 3,      // int -5..500, value 7
    P_STR = 4,      // string "abc"
    P_TEXT = 5,     // text "Brak połączenia"
    P_BOX = 6,      // textbox, lines "one" "two"
    P_BUTTON = 7,   // button, callback TestButton
    P_RING = 8,     // ring "COM1"=10 "COM2"=20 "COM3"=30, index 1
    P_LIST = 9,     // list, empty
    P_RADIO = 10,   // radio 0
    P_SWITCH = 11,  // switch 1
    P_LEVEL = 12,   // level 0..100 (defaults)
    P_TIMER = 13,   // timer 0.5 s, disabled, callback TestTimer
    P_LED = 14,     // led 0
    P_PLAIN = 15,   // button in normal mode
    P_HIDDEN = 16,  // button, not visible
    DIALOG = 2,     // a second panel: "D_OK" button 2, "D_NUM" numeric 3
    D_OK = 2,
    D_NUM = 3,
};
extern const char kTestUir[];

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a file into the project folder; returns its host path.
    std::string Write(const std::string &name, const std::string &content);
    std::string Read(const std::string &name);
    // Loads a panel of kTestUir (written as "test.uir").
    int Load(int panelId = PANEL);

    std::string folder_;
};

// The test panel loaded before every case.
class LoadedPanelTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        panel_ = Load();
        ASSERT_GT(panel_, 0);
    }
    int panel_ = 0;
};

}  // namespace uitest

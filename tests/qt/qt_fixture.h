// Shared set-up of the Qt back end's tests: the offscreen platform, the Qt
// back end freshly installed, a project folder holding a resource file with
// one control of every kind, and a helper that answers the next modal
// window the way an operator would.
#pragma once
#include <gtest/gtest.h>

#include <QString>
#include <functional>
#include <string>

#include "ui/model.h"
#include "ui/qt/qt_backend.h"
#include "ui/ui.h"

class QWidget;

namespace qttest {

// Panel 1 of kTestUir: one control of every kind.
enum : int {
    PANEL = 1,
    P_NUM = 2,      // numeric 0..100, precision 3, value 12.5
    P_INT = 3,      // int -5..500, value 7, callback TestValue
    P_STR = 4,      // string "abc", callback TestValue
    P_TEXT = 5,     // text "Brak połączenia", colour 0x800000
    P_BOX = 6,      // textbox "one" "two"
    P_BUTTON = 7,   // button "Naciśnij", callback TestButton
    P_RING = 8,     // ring COM1=10 COM2=20 COM3=30, index 1, callback TestValue
    P_LIST = 9,     // list, normal mode
    P_RADIO = 10,   // radio 0
    P_SWITCH = 11,  // switch 1, callback TestValue
    P_LEVEL = 12,   // level 0..100
    P_TIMER = 13,   // timer 0.05 s, disabled, callback TestTimer
    P_LED = 14,     // led 0
    P_IND = 15,     // button in indicator mode, callback TestButton
    DIALOG = 2,     // second panel: D_OK button, D_NUM numeric beside a second column
    D_OK = 2,
    D_NUM = 3,
    D_RIGHT = 4,
};
extern const char kTestUir[];

class QtTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    int Load(int panelId = PANEL);

    std::string folder_;
};

// Runs `answer` on the next modal window once it is up (within 10 s);
// answer gets the window. Used before a call that blocks on a popup.
void OnNextModal(std::function<void(QWidget *)> answer);
// Clicks the push button with that object name inside `window`.
void Click(QWidget *window, const char *objectName);
// Runs the event loop for about this many seconds.
void Spin(double seconds);

// Counters the test callbacks fill.
struct Calls {
    int button = 0;
    int timer = 0;
    int valueChanged = 0;
    int valueCommit = 0;
    int lastControl = 0;
    std::function<void()> onButton;  // runs inside the button's callback
    std::function<void()> onTimer;
};
Calls &TestCalls();

}  // namespace qttest

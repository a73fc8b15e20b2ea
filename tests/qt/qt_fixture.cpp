#include "qt_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace fs = std::filesystem;

namespace qttest {

const char kTestUir[] = R"(# every kind of control
panel PANEL 1
    title "Próba zażółć gęślą jaźń"
    position 40 60
    size 300 420
control P_NUM 2 numeric
    label "Liczba"
    position 10 10
    size 24 120
    min 0
    max 100
    precision 3
    value 12.5
control P_INT 3 int
    label "Całkowita"
    callback TestValue
    position 40 10
    min -5
    max 500
    value 7
control P_STR 4 string
    label "Napis"
    callback TestValue
    position 70 10
    value "abc"
control P_TEXT 5 text
    label "Stan"
    position 100 10
    color 0x800000
    value "Brak połączenia"
control P_BOX 6 textbox
    label "Notatki"
    position 130 10
    line "one"
    line "two"
control P_BUTTON 7 button
    label "Naciśnij"
    callback TestButton
    position 260 10
control P_RING 8 ring
    label "Złącze"
    callback TestValue
    position 10 250
    item "COM1" 10
    item "COM2" 20
    item "COM3" 30
    index 1
control P_LIST 9 list
    label "Lista"
    position 40 250
    mode normal
control P_RADIO 10 radio
    label "Radio"
    position 70 250
control P_SWITCH 11 switch
    label "Przełącznik"
    callback TestValue
    position 100 250
    value 1
control P_LEVEL 12 level
    label "Postęp"
    position 130 250
control P_TIMER 13 timer
    callback TestTimer
    interval 0.05
    enabled 0
control P_LED 14 led
    label "Dioda"
    position 160 250
control P_IND 15 button
    label "Wskaźnik"
    callback TestButton
    position 260 150
    mode indicator

panel DIALOG 2
    title "Dialog"
    size 300 200
control D_OK 2 button
    label "OK"
    position 60 10
control D_NUM 3 numeric
    label "Wartość"
    position 10 10
    size 20 100
control D_RIGHT 4 numeric
    label "Obok"
    position 10 200
    size 20 100
)";

namespace {

int TestButton(int, int control, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    ++TestCalls().button;
    TestCalls().lastControl = control;
    if (TestCalls().onButton) TestCalls().onButton();
    return 0;
}

int TestTimer(int, int, int event, void *, int, int) {
    if (event != ui::EVENT_TIMER_TICK) return 0;
    ++TestCalls().timer;
    if (TestCalls().onTimer) TestCalls().onTimer();
    return 0;
}

int TestValue(int, int control, int event, void *, int, int) {
    TestCalls().lastControl = control;
    if (event == ui::EVENT_VAL_CHANGED) ++TestCalls().valueChanged;
    if (event == ui::EVENT_COMMIT) ++TestCalls().valueCommit;
    return 0;
}

}  // namespace

Calls &TestCalls() {
    static Calls calls;
    return calls;
}

void QtTest::SetUp() {
    // Never on the developer's screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TestCalls() = Calls{};
    ui::qt::Install();
    ui::RegisterCallback("TestButton", TestButton);
    ui::RegisterCallback("TestTimer", TestTimer);
    ui::RegisterCallback("TestValue", TestValue);
    const ::testing::TestInfo *info = ::testing::UnitTest::GetInstance()->current_test_info();
    folder_ = (fs::temp_directory_path() /
               ("vgx52-qt-" + std::to_string(getpid()) + "-" + info->test_suite_name() + "-" + info->name()))
                  .string();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    std::ofstream(folder_ + "/test.uir", std::ios::binary) << kTestUir;
    ui::SetProjectFolder(folder_.c_str());
    int height = 0, width = 0;
    ui::GetScreenSize(&height, &width);  // the application object, for Spin() and QTimer
}

void QtTest::TearDown() {
    ui::qt::Install();  // every window goes
    ui::SetProjectFolder(nullptr);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

int QtTest::Load(int panelId) { return ui::LoadPanel(0, "test.uir", panelId); }

void OnNextModal(std::function<void(QWidget *)> answer) {
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, started, poll] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            answer(modal);
            *poll = nullptr;  // break the cycle
            return;
        }
        if (started->elapsed() > 10000) {
            ADD_FAILURE() << "no modal window came up";
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, *poll);
    };
    QTimer::singleShot(10, *poll);
}

void Click(QWidget *window, const char *objectName) {
    auto *button = window ? window->findChild<QPushButton *>(QString::fromLatin1(objectName)) : nullptr;
    ASSERT_NE(button, nullptr) << objectName;
    button->click();
}

void Spin(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

}  // namespace qttest

// Each control kind as a widget: what the program sets is shown, what the
// operator does reaches the model, and attributes behave as they look.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "qt_fixture.h"

namespace qttest {
namespace {

template <class W>
W *Widget(int panel, int control) {
    auto *w = qobject_cast<W *>(ui::qt::ControlWidget(panel, control));
    EXPECT_NE(w, nullptr) << "control " << control;
    return w;
}

QString Q(const char *utf8) { return QString::fromUtf8(utf8); }

class QtControls : public QtTest {
protected:
    void SetUp() override {
        QtTest::SetUp();
        panel_ = Load();
        ASSERT_GT(panel_, 0);
        ASSERT_EQ(ui::DisplayPanel(panel_), 0);
    }
    int panel_ = 0;
};

TEST_F(QtControls, PanelShowsTheResourceFile) {
    QWidget *window = ui::qt::PanelWindow(panel_);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), Q("Próba zażółć gęślą jaźń"));
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_NUM)->text(), "12.500");
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_INT)->text(), "7");
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_STR)->text(), "abc");
    EXPECT_EQ(Widget<QLabel>(panel_, P_TEXT)->text(), Q("Brak połączenia"));
    EXPECT_EQ(Widget<QLabel>(panel_, P_TEXT)->palette().color(QPalette::WindowText), QColor(0x80, 0, 0));
    EXPECT_EQ(Widget<QPlainTextEdit>(panel_, P_BOX)->toPlainText(), "one\ntwo");
    EXPECT_EQ(Widget<QPushButton>(panel_, P_BUTTON)->text(), Q("Naciśnij"));
    EXPECT_EQ(Widget<QComboBox>(panel_, P_RING)->count(), 3);
    EXPECT_EQ(Widget<QComboBox>(panel_, P_RING)->currentText(), "COM2");
    EXPECT_EQ(Widget<QListWidget>(panel_, P_LIST)->count(), 0);
    EXPECT_FALSE(Widget<QRadioButton>(panel_, P_RADIO)->isChecked());
    EXPECT_EQ(Widget<QRadioButton>(panel_, P_RADIO)->text(), "Radio");
    EXPECT_TRUE(Widget<QCheckBox>(panel_, P_SWITCH)->isChecked());
    EXPECT_EQ(Widget<QProgressBar>(panel_, P_LEVEL)->value(), 0);
    EXPECT_EQ(ui::qt::ControlWidget(panel_, P_TIMER), nullptr) << "a timer is not seen";
    // Labels sit beside their fields.
    QLabel *label = ui::qt::ControlLabel(panel_, P_NUM);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), "Liczba");
    EXPECT_TRUE(label->isVisible());
    EXPECT_LT(label->geometry().right(), ui::qt::ControlWidget(panel_, P_NUM)->geometry().left());
}

TEST_F(QtControls, ValuesSetByTheProgramAreShownAndReadBack) {
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_NUM, 3.14159), 0);
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_NUM)->text(), "3.142");
    double real = 0;
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_NUM, &real), 0);
    EXPECT_DOUBLE_EQ(real, 3.14159) << "the display rounds, the value does not";
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_NUM, 250.0), 0);
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_NUM)->text(), "100.000") << "kept within the range";

    ASSERT_EQ(ui::SetCtrlVal(panel_, P_INT, -5), 0);
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_INT)->text(), "-5");
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_STR, "zażółć"), 0);
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_STR)->text(), Q("zażółć"));
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_TEXT, "Jest połączenie z przyrządem"), 0);
    EXPECT_EQ(Widget<QLabel>(panel_, P_TEXT)->text(), Q("Jest połączenie z przyrządem"));
    // Text from the instrument is plain text, never markup.
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_TEXT, "<b>VGX52</b>"), 0);
    EXPECT_EQ(Widget<QLabel>(panel_, P_TEXT)->textFormat(), Qt::PlainText);

    ASSERT_EQ(ui::SetCtrlVal(panel_, P_BOX, "three\n"), 0);
    EXPECT_EQ(Widget<QPlainTextEdit>(panel_, P_BOX)->toPlainText(), "one\ntwothree\n");
    ASSERT_EQ(ui::ResetTextBox(panel_, P_BOX, "a\nb"), 0);
    EXPECT_EQ(Widget<QPlainTextEdit>(panel_, P_BOX)->toPlainText(), "a\nb");
    ASSERT_EQ(ui::InsertTextBoxLine(panel_, P_BOX, 0, "first"), 0);
    EXPECT_EQ(Widget<QPlainTextEdit>(panel_, P_BOX)->toPlainText(), "first\na\nb");

    ASSERT_EQ(ui::SetCtrlVal(panel_, P_RING, 30), 0);
    EXPECT_EQ(Widget<QComboBox>(panel_, P_RING)->currentText(), "COM3");
    ASSERT_EQ(ui::ReplaceListItem(panel_, P_RING, 0, "COM9", 90), 0);
    EXPECT_EQ(Widget<QComboBox>(panel_, P_RING)->itemText(0), "COM9");

    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(ui::InsertListItem(panel_, P_LIST, -1, ("COM" + std::to_string(i + 1)).c_str(), i), 0);
    ASSERT_EQ(ui::SetCtrlIndex(panel_, P_LIST, 4), 0);
    EXPECT_EQ(Widget<QListWidget>(panel_, P_LIST)->count(), 8);
    EXPECT_EQ(Widget<QListWidget>(panel_, P_LIST)->currentRow(), 4);
    ASSERT_EQ(ui::DeleteListItem(panel_, P_LIST, 0, 2), 0);
    EXPECT_EQ(Widget<QListWidget>(panel_, P_LIST)->count(), 6);
    EXPECT_EQ(Widget<QListWidget>(panel_, P_LIST)->currentRow(), 2) << "stays on COM5";
    ASSERT_EQ(ui::ClearListCtrl(panel_, P_LIST), 0);
    EXPECT_EQ(Widget<QListWidget>(panel_, P_LIST)->count(), 0);

    ASSERT_EQ(ui::SetCtrlVal(panel_, P_RADIO, 1), 0);
    EXPECT_TRUE(Widget<QRadioButton>(panel_, P_RADIO)->isChecked());
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_SWITCH, 0), 0);
    EXPECT_FALSE(Widget<QCheckBox>(panel_, P_SWITCH)->isChecked());
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_LEVEL, 479.0 * 100.0 / 480.0), 0);
    EXPECT_EQ(Widget<QProgressBar>(panel_, P_LEVEL)->value(), 9979);
    EXPECT_EQ(Widget<QProgressBar>(panel_, P_LEVEL)->text(), "99.79");
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_LED, 1), 0);
    EXPECT_TRUE(Widget<QLabel>(panel_, P_LED)->styleSheet().contains("#20c020"));
}

TEST_F(QtControls, AttributesShowAsTheyRead) {
    // Dimmed: greyed and out of reach, label too.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_DIMMED, 1), 0);
    EXPECT_FALSE(ui::qt::ControlWidget(panel_, P_NUM)->isEnabled());
    EXPECT_FALSE(ui::qt::ControlLabel(panel_, P_NUM)->isEnabled());
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_DIMMED, 0), 0);
    EXPECT_TRUE(ui::qt::ControlWidget(panel_, P_NUM)->isEnabled());

    // Indicator: shows a value, cannot be edited or pressed.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_CTRL_MODE, ui::VAL_INDICATOR), 0);
    EXPECT_TRUE(Widget<QLineEdit>(panel_, P_STR)->isReadOnly());
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_STR)->focusPolicy(), Qt::NoFocus) << "no cursor in a display";
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_CTRL_MODE, ui::VAL_HOT), 0);
    EXPECT_FALSE(Widget<QLineEdit>(panel_, P_STR)->isReadOnly());
    EXPECT_TRUE(ui::qt::ControlWidget(panel_, P_IND)->testAttribute(Qt::WA_TransparentForMouseEvents));

    // Text colour, as the status line uses it; the label's text.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TEXT_COLOR, ui::VAL_DK_GREEN), 0);
    EXPECT_EQ(Widget<QLabel>(panel_, P_TEXT)->palette().color(QPalette::WindowText), QColor(0, 0x80, 0));
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TEXT_COLOR, ui::VAL_DK_BLUE), 0);
    EXPECT_EQ(Widget<QLabel>(panel_, P_TEXT)->palette().color(QPalette::WindowText), QColor(0, 0, 0x80));
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_LABEL_TEXT, "Połączenie"), 0);
    EXPECT_EQ(ui::qt::ControlLabel(panel_, P_TEXT)->text(), Q("Połączenie"));
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_LABEL_TEXT, "Zapisz & wyjdź"), 0);
    EXPECT_EQ(Widget<QPushButton>(panel_, P_BUTTON)->text(), "Zapisz && wyjdź") << "no mnemonic";

    // Hidden, with its label; precision and range of a number.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_VISIBLE, 0), 0);
    EXPECT_FALSE(ui::qt::ControlWidget(panel_, P_NUM)->isVisible());
    EXPECT_FALSE(ui::qt::ControlLabel(panel_, P_NUM)->isVisible());
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_VISIBLE, 1), 0);
    EXPECT_TRUE(ui::qt::ControlWidget(panel_, P_NUM)->isVisible());
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_PRECISION, 1), 0);
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_NUM)->text(), "12.5");
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_MAX_VALUE, 10.0), 0);
    EXPECT_EQ(Widget<QLineEdit>(panel_, P_NUM)->text(), "10.0");
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_LEVEL, ui::ATTR_MAX_VALUE, 200.0), 0);
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_LEVEL, 50.0), 0);
    EXPECT_EQ(Widget<QProgressBar>(panel_, P_LEVEL)->value(), 2500);

    // A text field's maximum entry length: typing stops there.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, 4), 0);
    QLineEdit *text = Widget<QLineEdit>(panel_, P_STR);
    text->setFocus();
    text->selectAll();
    for (const QChar letter : Q("żółtko")) {  // keys a keyboard layout makes, not ASCII ones
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(letter));
        QApplication::sendEvent(text, &press);
    }
    EXPECT_EQ(text->text(), Q("żółt"));
    QTest::keyClick(text, Qt::Key_Return);
    std::string typed;
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_STR, &typed), 0);
    EXPECT_EQ(typed, "żółt");
}

TEST_F(QtControls, TypedNumbersReachTheModelAndCommit) {
    QLineEdit *edit = Widget<QLineEdit>(panel_, P_INT);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, "42");
    QTest::keyClick(edit, Qt::Key_Return);
    int value = 0;
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_INT, &value), 0);
    EXPECT_EQ(value, 42);
    EXPECT_EQ(TestCalls().valueChanged, 1);
    EXPECT_EQ(TestCalls().valueCommit, 1);

    // Out of range: kept within it; not a number: the old value comes back.
    edit->selectAll();
    QTest::keyClicks(edit, "9999");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_INT, &value), 0);
    EXPECT_EQ(value, 500);
    EXPECT_EQ(edit->text(), "500");
    edit->selectAll();
    QTest::keyClicks(edit, "1.5");
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_INT, &value), 0);
    EXPECT_EQ(value, 500);
    EXPECT_EQ(edit->text(), "500");

    // A hex field shows the digits its largest value needs and takes hex.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_INT, ui::ATTR_FORMAT, ui::VAL_HEX_FORMAT), 0);
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_INT, 42), 0);
    EXPECT_EQ(edit->text(), "02A");
    for (const auto &[typed, expected] : {std::pair{"1f", 31}, {"0x10", 16}, {"-5", -5}, {"xyz", -5}, {"--1", -5}}) {
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
        ASSERT_EQ(ui::GetCtrlVal(panel_, P_INT, &value), 0);
        EXPECT_EQ(value, expected) << typed;
    }
    EXPECT_EQ(edit->text(), "-005");

    // A real with the point, whatever the desktop's language.
    QLineEdit *real = Widget<QLineEdit>(panel_, P_NUM);
    real->selectAll();
    QTest::keyClicks(real, "78.08426");
    QTest::keyClick(real, Qt::Key_Return);
    double number = 0;
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_NUM, &number), 0);
    EXPECT_DOUBLE_EQ(number, 78.08426);
    EXPECT_EQ(real->text(), "78.084");
}

TEST_F(QtControls, OperatorChoicesReachTheModel) {
    QTest::mouseClick(Widget<QPushButton>(panel_, P_BUTTON), Qt::LeftButton);
    EXPECT_EQ(TestCalls().button, 1);
    EXPECT_EQ(TestCalls().lastControl, P_BUTTON);

    QComboBox *ring = Widget<QComboBox>(panel_, P_RING);
    emit ring->activated(2);  // what the ring's popup sends when the operator picks an item
    int value = 0;
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_RING, &value), 0);
    EXPECT_EQ(value, 30);
    EXPECT_EQ(TestCalls().valueCommit, 1);

    Widget<QCheckBox>(panel_, P_SWITCH)->click();
    ASSERT_EQ(ui::GetCtrlVal(panel_, P_SWITCH, &value), 0);
    EXPECT_EQ(value, 0);
    EXPECT_EQ(TestCalls().valueCommit, 2);

    // A list in normal mode takes the choice without a commit.
    ui::InsertListItem(panel_, P_LIST, -1, "COM1", 0);
    ui::InsertListItem(panel_, P_LIST, -1, "COM2", 1);
    Widget<QListWidget>(panel_, P_LIST)->setCurrentRow(1);
    int index = -1;
    ASSERT_EQ(ui::GetCtrlIndex(panel_, P_LIST, &index), 0);
    EXPECT_EQ(index, 1);

    // An indicator cannot be pressed; a dimmed button neither.
    QTest::mouseClick(ui::qt::ControlWidget(panel_, P_IND), Qt::LeftButton);
    ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, 1);
    QTest::mouseClick(Widget<QPushButton>(panel_, P_BUTTON), Qt::LeftButton);
    EXPECT_EQ(TestCalls().button, 1);
}

TEST_F(QtControls, ControlsBesideEachOtherMakeColumnsAndButtonsARowBelow) {
    const int dialog = Load(DIALOG);
    ASSERT_GT(dialog, 0);
    ASSERT_EQ(ui::DisplayPanel(dialog), 0);
    QWidget *left = ui::qt::ControlWidget(dialog, D_NUM);
    QWidget *right = ui::qt::ControlWidget(dialog, D_RIGHT);
    QWidget *ok = ui::qt::ControlWidget(dialog, D_OK);
    ASSERT_TRUE(left && right && ok);
    EXPECT_GT(ui::qt::ControlLabel(dialog, D_RIGHT)->geometry().left(), left->geometry().right());
    EXPECT_EQ(right->geometry().top(), left->geometry().top());
    EXPECT_GT(ok->geometry().top(), left->geometry().bottom());
    // The window holds everything and ends just below its buttons, whatever
    // size the resource file drew it.
    QWidget *window = ui::qt::PanelWindow(dialog);
    EXPECT_LE(ok->geometry().right(), window->width());
    EXPECT_LE(ok->geometry().bottom(), window->height());
    EXPECT_LT(window->height() - ok->geometry().bottom(), 24) << "an empty band below the buttons";
}

TEST_F(QtControls, ControlMadeAtRunTimeJoinsThePanel) {
    const int control = ui::NewCtrl(panel_, ui::CTRL_STRING, "Nowy", 300, 10);
    ASSERT_GT(control, 0);
    QLineEdit *edit = Widget<QLineEdit>(panel_, control);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isVisible());
    EXPECT_EQ(ui::qt::ControlLabel(panel_, control)->text(), "Nowy");
    // Below the controls that lie above it in the same column.
    EXPECT_GT(edit->geometry().top(), ui::qt::ControlWidget(panel_, P_BOX)->geometry().bottom());
    ASSERT_EQ(ui::SetCtrlVal(panel_, control, "x"), 0);
    EXPECT_EQ(edit->text(), "x");
}

}  // namespace
}  // namespace qttest

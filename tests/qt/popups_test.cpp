// QtPopups as dialogs and panels as modal popups: exact titles and texts,
// the answers the operator gives, and nothing else reachable meanwhile.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "qt_fixture.h"

namespace qttest {
namespace {

QString Q(const char *utf8) { return QString::fromUtf8(utf8); }

QString MessageOf(QWidget *dialog) {
    auto *label = dialog->findChild<QLabel *>("message");
    return label ? label->text() : QString();
}

class QtPopups : public QtTest {};

TEST_F(QtPopups, MessageShowsItsTitleAndTextModally) {
    QString title, text;
    bool modal = false;
    OnNextModal([&](QWidget *dialog) {
        title = dialog->windowTitle();
        text = MessageOf(dialog);
        modal = dialog->isModal();
        Click(dialog, "button1");
    });
    EXPECT_EQ(ui::MessagePopup("Wystąpił błąd.", "Zapis do przyrządu niepoprawny."), 0);
    EXPECT_EQ(title, Q("Wystąpił błąd."));
    EXPECT_EQ(text, Q("Zapis do przyrządu niepoprawny."));
    EXPECT_TRUE(modal);
}

TEST_F(QtPopups, ConfirmAnswersYesNoAndEscape) {
    OnNextModal([](QWidget *dialog) { Click(dialog, "button1"); });
    EXPECT_EQ(ui::ConfirmPopup("Warning", "Do You really want to upgrade internal software of the Airvenator ?"), 1);
    OnNextModal([](QWidget *dialog) { Click(dialog, "button2"); });
    EXPECT_EQ(ui::ConfirmPopup("Warning", "?"), 0);
    OnNextModal([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(ui::ConfirmPopup("Warning", "?"), 0);
    OnNextModal([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Return); });
    EXPECT_EQ(ui::ConfirmPopup("Warning", "?"), 1) << "Enter says yes";
}

TEST_F(QtPopups, PromptKeepsTheAnswerWithinItsBytes) {
    OnNextModal([](QWidget *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>("response");
        ASSERT_NE(edit, nullptr);
        // Typed letter by letter, Polish ones too.
        for (const QChar ch : QString::fromUtf8("ąbcd"))
            QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    char answer[4] = "zzz";
    // Three bytes: "ą" takes two, so one more letter fits.
    ASSERT_EQ(
        ui::PromptPopup("Information needed", "Please, write aprioprate hardware version of the instrument", answer, 3),
        0);
    EXPECT_STREQ(answer, "ąb");

    OnNextModal([](QWidget *dialog) { Click(dialog, "button2"); });
    char cancelled[2] = "x";
    EXPECT_EQ(ui::PromptPopup("Information needed", "?", cancelled, 1), ui::UIE_CANCELLED);
    EXPECT_STREQ(cancelled, "");
}

TEST_F(QtPopups, GenericGivesThePressedButtonAndTheResponse) {
    QStringList labels;
    OnNextModal([&](QWidget *dialog) {
        for (const char *name : {"button1", "button2", "button3"})
            if (auto *b = dialog->findChild<QPushButton *>(name)) labels << b->text();
        dialog->findChild<QLineEdit *>("response")->setText("tekst");
        Click(dialog, "button3");
    });
    char response[16] = {};
    EXPECT_EQ(ui::GenericMessagePopup("Pytanie", "Który?", "Tak", "Nie", "Anuluj", response, 15, 1, 3), 3);
    EXPECT_EQ(labels, QStringList({"Tak", "Nie", "Anuluj"}));
    EXPECT_STREQ(response, "tekst");

    OnNextModal([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Escape); });
    EXPECT_EQ(ui::GenericMessagePopup("Pytanie", "?", "Tak", "Nie", nullptr, nullptr, 0, 1, 2), 2);
    OnNextModal([](QWidget *dialog) { QTest::keyClick(dialog, Qt::Key_Enter); });
    EXPECT_EQ(ui::GenericMessagePopup("Pytanie", "?", "Tak", "Nie", nullptr, nullptr, 0, 2, 1), 2);
    OnNextModal([](QWidget *dialog) { dialog->close(); });
    EXPECT_EQ(ui::GenericMessagePopup("Pytanie", "?", "Tak", nullptr, nullptr, nullptr, 0, 1, 0), 0)
        << "closed with no escape button";
}

TEST_F(QtPopups, InstalledPopupHoldsEveryOtherPanel) {
    const int main = Load(PANEL);
    const int dialog = Load(DIALOG);
    ui::DisplayPanel(main);
    ASSERT_EQ(ui::InstallPopup(dialog), 0);
    QWidget *window = ui::qt::PanelWindow(dialog);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(QApplication::activeModalWidget(), window);

    QTest::mouseClick(ui::qt::ControlWidget(main, P_BUTTON), Qt::LeftButton);
    EXPECT_EQ(TestCalls().button, 0) << "the main panel is out of reach";

    ASSERT_EQ(ui::RemovePopup(0), 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->windowModality(), Qt::NonModal);
    QTest::mouseClick(ui::qt::ControlWidget(main, P_BUTTON), Qt::LeftButton);
    EXPECT_EQ(TestCalls().button, 1);
}

TEST_F(QtPopups, PopupOpensCentredOverItsOpenerAndOnTheScreen) {
    const int main = Load(PANEL);
    ui::DisplayPanel(main);
    QWidget *opener = ui::qt::PanelWindow(main);
    const QRect screen = opener->screen()->availableGeometry();
    struct Case {
        const char *where;
        QPoint openerAt;
        bool centred;  // the popup fits there centred over its opener
    };
    const Case cases[] = {
        {"middle of the screen", screen.center() - QPoint(opener->width() / 2, opener->height() / 2), true},
        {"past the bottom right corner", screen.bottomRight() - QPoint(40, 20), false},
        {"past the top left corner", screen.topLeft() - QPoint(opener->width() - 30, opener->height() - 10), false},
    };
    for (const Case &c : cases) {
        opener->move(c.openerAt);
        const int dialog = Load(DIALOG);
        ASSERT_EQ(ui::InstallPopup(dialog), 0);
        const QRect popup = ui::qt::PanelWindow(dialog)->frameGeometry();
        EXPECT_TRUE(screen.contains(popup)) << c.where;
        if (c.centred) {
            EXPECT_LE((popup.center() - opener->frameGeometry().center()).manhattanLength(), 2) << c.where;
        }
        ui::RemovePopup(0);
        ui::DiscardPanel(dialog);
    }
}

TEST_F(QtPopups, WaitForEventReturnsThePressedControl) {
    const int dialog = Load(DIALOG);
    ASSERT_EQ(ui::InstallPopup(dialog), 0);
    QTimer::singleShot(50, [dialog] { QTest::mouseClick(ui::qt::ControlWidget(dialog, D_OK), Qt::LeftButton); });
    int panel = 0, control = 0;
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_COMMIT);
    EXPECT_EQ(panel, dialog);
    EXPECT_EQ(control, D_OK);
    // Nothing pending: no wait.
    EXPECT_EQ(ui::GetUserEvent(0, &panel, &control), ui::EVENT_NONE);
    ui::RemovePopup(0);
}

TEST_F(QtPopups, WaitInsideACallbackGetsTheNextCommit) {
    // The port popup's pattern, from inside the event loop: the button's
    // callback installs a popup and waits for its OK.
    const int main = Load(PANEL);
    ui::DisplayPanel(main);
    int got = 0, gotPanel = 0, event = -1;
    int dialog = 0;
    TestCalls().onButton = [&] {
        dialog = Load(DIALOG);
        ui::InstallPopup(dialog);
        QTimer::singleShot(30, [&] { QTest::mouseClick(ui::qt::ControlWidget(dialog, D_OK), Qt::LeftButton); });
        event = ui::GetUserEvent(1, &gotPanel, &got);
        ui::RemovePopup(0);
        ui::QuitUserInterface(3);
    };
    QTimer::singleShot(30, [&] { QTest::mouseClick(ui::qt::ControlWidget(main, P_BUTTON), Qt::LeftButton); });
    EXPECT_EQ(ui::RunUserInterface(), 3);
    EXPECT_EQ(event, ui::EVENT_COMMIT);
    EXPECT_EQ(gotPanel, dialog);
    EXPECT_EQ(got, D_OK);
}

TEST_F(QtPopups, QuitEndsAWaitForEvent) {
    const int dialog = Load(DIALOG);
    ui::InstallPopup(dialog);
    QTimer::singleShot(30, [] { ui::QuitUserInterface(0); });
    int panel = -1, control = -1;
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_NONE);
}

}  // namespace
}  // namespace qttest

// Popups answered from a script, recorded, and checked for their arguments.
#include "ui_fixture.h"

namespace uitest {
namespace {

namespace hl = ui::headless;

class PopupsTest : public UiTest {};

TEST_F(PopupsTest, ScriptedAnswersInOrder) {
    hl::ExpectConfirm("Warning", true);
    hl::ExpectMessage("Important");
    hl::ExpectPrompt("Information needed", "3");
    hl::ExpectGeneric("Wybierz typ połączenia.", 2);
    EXPECT_EQ(ui::ConfirmPopup("Warning", "Do You really want to upgrade internal software of the Airvenator ?"), 1);
    EXPECT_EQ(ui::MessagePopup("Important", "keep the instrument switched on"), 0);
    char answer[2] = {'x', 'x'};
    EXPECT_EQ(
        ui::PromptPopup("Information needed", "Please, write aprioprate hardware version of the instrument", answer, 1),
        0);
    EXPECT_STREQ(answer, "3");
    EXPECT_EQ(ui::GenericMessagePopup("Wybierz typ połączenia.", "Sposób realizacji sieci Korvi70.",
                                      "bezpośrednie połączenia przez RS", "poprzez sieć TCP i server TCPKorvi70",
                                      nullptr, nullptr, 0, 1, 1),
              2);
    EXPECT_TRUE(hl::Failures().empty());
    EXPECT_EQ(hl::PendingPopups(), 0u);
    ASSERT_EQ(hl::Popups().size(), 4u);
    const hl::PopupRecord &generic = hl::Popups()[3];
    EXPECT_EQ(generic.request.kind, ui::PopupKind::Generic);
    EXPECT_EQ(generic.request.buttons[1], "poprzez sieć TCP i server TCPKorvi70");
    EXPECT_TRUE(generic.request.buttons[2].empty());
    EXPECT_FALSE(generic.request.hasResponse);
    EXPECT_EQ(hl::Popups()[0].request.message, "Do You really want to upgrade internal software of the Airvenator ?");
}

TEST_F(PopupsTest, UnexpectedPopupIsRecordedAndAnsweredSafely) {
    // Titles are matched exactly: the full stop matters.
    hl::ExpectMessage("Wystąpił błąd");
    EXPECT_EQ(ui::MessagePopup("Wystąpił błąd.", "Zapis do przyrządu niepoprawny."), 0);
    ASSERT_EQ(hl::Failures().size(), 1u);
    EXPECT_NE(hl::Failures()[0].find("Wystąpił błąd."), std::string::npos);
    EXPECT_EQ(hl::PendingPopups(), 1u) << "the scripted answer waits for its popup";
    EXPECT_EQ(ui::ConfirmPopup("Warning", "?"), 0) << "unexpected question: no";
    char buf[8] = "old";
    EXPECT_EQ(ui::PromptPopup("Podaj nowy numer telefonu.", "Wpisz", buf, 7), ui::UIE_CANCELLED);
    EXPECT_STREQ(buf, "") << "a cancelled prompt leaves an empty answer, not stale text";
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", "b", "c", nullptr, 0, 1, 3), 3)
        << "unexpected choice: the escape button";
    EXPECT_EQ(hl::Failures().size(), 4u);
    for (const hl::PopupRecord &r : hl::Popups()) EXPECT_FALSE(r.expected);
    EXPECT_EQ(ui::MessagePopup("Wystąpił błąd", "x"), 0);
    EXPECT_EQ(hl::PendingPopups(), 0u);
    EXPECT_TRUE(hl::Popups().back().expected);
}

TEST_F(PopupsTest, AnyTitleAndAnswerWhileShown) {
    int seen = 0;
    hl::PopupScript script;
    script.kind = ui::PopupKind::Message;
    script.onShow = [&] { seen = static_cast<int>(hl::Popups().size()); };
    hl::ExpectPopup(script);
    ui::MessagePopup("whatever", "text");
    EXPECT_EQ(seen, 1) << "the popup is recorded before its action runs";
    EXPECT_TRUE(hl::Failures().empty());
}

TEST_F(PopupsTest, PromptAnswerIsCutToTheBufferOnACharacterBoundary) {
    char buf[6];
    hl::ExpectPrompt("", "12345678");
    EXPECT_EQ(ui::PromptPopup("t", "m", buf, 5), 0);
    EXPECT_STREQ(buf, "12345");
    hl::ExpectPrompt("", "abcdż");  // ż is two bytes: only 4 + 1 of them would fit
    EXPECT_EQ(ui::PromptPopup("t", "m", buf, 5), 0);
    EXPECT_STREQ(buf, "abcd");
    EXPECT_EQ(ui::PromptPopup("t", "m", nullptr, 5), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::PromptPopup("t", "m", buf, 0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(hl::Popups().size(), 2u) << "refused calls show nothing";
}

TEST_F(PopupsTest, GenericPopupChecksItsButtons) {
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", nullptr, nullptr, nullptr, nullptr, 0, 0, 0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", "", "c", nullptr, 0, 1, 1), ui::UIE_BAD_VALUE)
        << "a gap between buttons";
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", "b", nullptr, nullptr, 0, 3, 1), ui::UIE_BAD_VALUE)
        << "enter on a missing button";
    char response[4];
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", nullptr, nullptr, response, 0, 1, 1), ui::UIE_BAD_VALUE);
    EXPECT_TRUE(hl::Popups().empty());

    hl::ExpectGeneric("t", 0);  // the window closed
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", "b", nullptr, nullptr, 0, 1, 2), 2);
    hl::ExpectGeneric("t", 0);
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", "b", nullptr, nullptr, 0, 1, 0), 0);
    hl::ExpectGeneric("t", 3);  // a script asking for a button that is not there
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", "b", nullptr, nullptr, 0, 1, 2), 2);
    EXPECT_EQ(hl::Failures().size(), 1u);
    hl::ExpectGeneric("t", 1, "odpowiedź");
    EXPECT_EQ(ui::GenericMessagePopup("t", "m", "a", nullptr, nullptr, response, 3, 1, 1), 1);
    EXPECT_STREQ(response, "odp");
    EXPECT_TRUE(hl::Popups().back().request.hasResponse);
}

TEST_F(PopupsTest, WithoutABackEndNothingIsShown) {
    ui::SetBackend(nullptr);
    char buf[4];
    int p = 0, c = 0;
    EXPECT_EQ(ui::MessagePopup("t", "m"), ui::UIE_NO_BACKEND);
    EXPECT_EQ(ui::ConfirmPopup("t", "m"), ui::UIE_NO_BACKEND);
    EXPECT_EQ(ui::PromptPopup("t", "m", buf, 3), ui::UIE_NO_BACKEND);
    EXPECT_EQ(ui::RunUserInterface(), ui::UIE_NO_BACKEND);
    EXPECT_EQ(ui::GetUserEvent(1, &p, &c), ui::UIE_NO_BACKEND);
    EXPECT_EQ(ui::GetScreenSize(&p, &c), ui::UIE_NO_BACKEND);
    // The model itself works without one.
    const int panel = Load();
    EXPECT_GT(panel, 0);
    EXPECT_EQ(ui::SetCtrlVal(panel, P_INT, 5), 0);
}

}  // namespace
}  // namespace uitest

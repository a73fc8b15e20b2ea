// The console back end: popups written as "title: text", questions answered
// with the caller's answer or the safe default, panels kept as data.
#include <cstdio>
#include <functional>

#include "ui/console.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

namespace con = ui::console;

class ConsoleTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        out_ = std::tmpfile();
        ASSERT_NE(out_, nullptr);
        con::Install(out_);
    }
    void TearDown() override {
        std::fclose(out_);
        UiTest::TearDown();
    }
    // What has been written since the last call.
    std::string Written() {
        std::fflush(out_);
        std::string text;
        std::fseek(out_, static_cast<long>(read_), SEEK_SET);
        for (int ch; (ch = std::fgetc(out_)) != EOF;) text += static_cast<char>(ch);
        read_ += text.size();
        std::fseek(out_, 0, SEEK_END);
        return text;
    }
    std::FILE *out_ = nullptr;
    std::size_t read_ = 0;
};

TEST_F(ConsoleTest, PopupsGoToTheStreamAndQuestionsTakeTheSetAnswer) {
    char response[8] = "old";
    struct Case {
        const char *what;
        std::function<void()> set;  // the caller's answers, before the popup
        std::function<int()> popup;
        int result;
        const char *written;
    };
    const Case cases[] = {
        {"message", [] {}, [] { return ui::MessagePopup("Wystąpił błąd.", "Brak zbioru."); }, 0,
         "Wystąpił błąd.: Brak zbioru.\n"},
        {"confirm, default no", [] {}, [] { return ui::ConfirmPopup("Warning", "Go on?"); }, 0,
         "Warning: Go on? [no]\n"},
        {"confirm, set yes", [] { con::SetConfirmAnswer(true); }, [] { return ui::ConfirmPopup("Warning", "Go on?"); },
         1, "Warning: Go on? [yes]\n"},
        {"prompt, default cancelled", [] {},
         [&] { return ui::PromptPopup("Information needed", "Version?", response, 1); }, ui::UIE_CANCELLED,
         "Information needed: Version? [cancelled]\n"},
        {"prompt, set answer cut to its buffer", [] { con::SetPromptAnswer("37"); },
         [&] { return ui::PromptPopup("Information needed", "Version?", response, 1); }, 0,
         "Information needed: Version? [\"37\"]\n"},
        {"generic, default escape button", [] {},
         [] { return ui::GenericMessagePopup("Q", "Which?", "Yes", "No", nullptr, nullptr, 0, 1, 2); }, 2,
         "Q: Which? [No]\n"},
        {"generic without escape: enter button", [] {},
         [] { return ui::GenericMessagePopup("Q", "Which?", "RS", "TCP", nullptr, nullptr, 0, 1, 0); }, 1,
         "Q: Which? [RS]\n"},
        {"generic, set button", [] { con::SetGenericAnswer(1); },
         [] { return ui::GenericMessagePopup("Q", "Which?", "Yes", "No", nullptr, nullptr, 0, 2, 2); }, 1,
         "Q: Which? [Yes]\n"},
        {"generic, set button that does not exist", [] { con::SetGenericAnswer(3); },
         [] { return ui::GenericMessagePopup("Q", "Which?", "Yes", "No", nullptr, nullptr, 0, 1, 2); }, 2,
         "Q: Which? [No]\n"},
    };
    for (const Case &c : cases) {
        con::Install(out_);
        c.set();
        EXPECT_EQ(c.popup(), c.result) << c.what;
        EXPECT_EQ(Written(), c.written) << c.what;
    }
    EXPECT_STREQ(response, "3");  // "37" kept within the one-character answer
}

TEST_F(ConsoleTest, PanelsAreDataAndNoOperatorActs) {
    const int panel = Load();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(ui::DisplayPanel(panel), 0);
    EXPECT_EQ(ui::SetCtrlVal(panel, P_INT, 42), 0);
    int value = 0;
    ui::GetCtrlVal(panel, P_INT, &value);
    EXPECT_EQ(value, 42);
    int p = -1, c = -1;
    EXPECT_EQ(ui::GetUserEvent(1, &p, &c), ui::EVENT_NONE) << "a wait for the operator ends at once";
    EXPECT_EQ(ui::RunUserInterface(), ui::UIE_NO_OPERATOR) << "no loop runs without an operator";
    EXPECT_EQ(Written(), "") << "nothing drawn";

    // Why no window appears: said once, when the first panel would show.
    con::Install(out_, "no display");
    const int again = Load();
    EXPECT_EQ(Written(), "");
    ui::DisplayPanel(again);
    ui::InstallPopup(Load(DIALOG));
    ui::DisplayPanel(again);
    EXPECT_EQ(Written(), "no display\n");
}

}  // namespace
}  // namespace uitest

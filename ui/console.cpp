#include "ui/console.h"

#include <chrono>

#include "ui/core.h"

namespace ui::console {
namespace {

class Console final : public Backend {
public:
    std::FILE *out = stderr;
    std::optional<bool> confirm;
    std::optional<std::string> prompt;
    std::optional<int> generic;
    std::string shownNote;
    bool noted = false;

    void PanelShown(int) override { Note(); }
    void PopupInstalled(int) override { Note(); }
    void Note() {
        if (noted || shownNote.empty()) return;
        noted = true;
        std::fprintf(out, "%s\n", shownNote.c_str());
        std::fflush(out);
    }

    PopupAnswer ShowPopup(const PopupRequest &request) override {
        PopupAnswer answer;
        std::string shown;  // what was answered, after the text
        switch (request.kind) {
        case PopupKind::Message: break;
        case PopupKind::Confirm:
            answer.button = confirm.value_or(false) ? 1 : 0;
            shown = answer.button ? "yes" : "no";
            break;
        case PopupKind::Prompt:
            answer.cancelled = !prompt.has_value();
            answer.response = prompt.value_or("");
            shown = answer.cancelled ? "cancelled" : "\"" + answer.response + "\"";
            break;
        case PopupKind::Generic: {
            int count = 0;
            while (count < 3 && !request.buttons[count].empty()) ++count;
            int button = request.escapeButton ? request.escapeButton : request.enterButton;
            if (generic && *generic >= 1 && *generic <= count) button = *generic;
            answer.button = button;
            if (request.hasResponse) answer.response = prompt.value_or("");
            shown = button >= 1 && button <= count ? request.buttons[button - 1] : "closed";
            break;
        }
        }
        std::fprintf(out, "%s: %s", request.title.c_str(), request.message.c_str());
        if (!shown.empty()) std::fprintf(out, " [%s]", shown.c_str());
        std::fputc('\n', out);
        std::fflush(out);
        return answer;
    }
    int RunUserInterface() override { return UIE_NO_OPERATOR; }
    void QuitUserInterface(int) override {}
    int GetUserEvent(bool, int *, int *) override { return EVENT_NONE; }
    void ProcessSystemEvents() override {}
    double Now() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    void GetScreenSize(int *height, int *width) override {
        *height = 1080;
        *width = 1920;
    }
};

Console &C() {
    static Console c;
    return c;
}

}  // namespace

void Install(std::FILE *out, const std::string &shownNote) {
    Console &c = C();
    c.out = out ? out : stderr;
    c.shownNote = shownNote;
    c.noted = false;
    c.confirm.reset();
    c.prompt.reset();
    c.generic.reset();
    SetBackend(&C());
    model::Reset();
}

void SetConfirmAnswer(std::optional<bool> yes) { C().confirm = yes; }
void SetPromptAnswer(std::optional<std::string> answer) { C().prompt = std::move(answer); }
void SetGenericAnswer(std::optional<int> button) { C().generic = button; }

}  // namespace ui::console

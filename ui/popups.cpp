// The blocking popups: the core checks the arguments and copies the answer
// back within the caller's buffer; the back end asks the operator.
#include "ui/core.h"

namespace ui {
namespace {

int Show(const PopupRequest &request, PopupAnswer *answer) {
    Backend *b = core::Toolkit();
    if (!b) return UIE_NO_BACKEND;
    *answer = b->ShowPopup(request);
    return 0;
}

}  // namespace

PopupButtons ButtonsOf(const PopupRequest &r) {
    switch (r.kind) {
    case PopupKind::Message: return {{"OK"}, 1, 1};
    case PopupKind::Confirm: return {{"Yes", "No"}, 1, 2};
    case PopupKind::Prompt: return {{"OK", "Cancel"}, 1, 2};
    case PopupKind::Generic: break;
    }
    PopupButtons b;
    for (const std::string &label : r.buttons)
        if (!label.empty()) b.labels.push_back(label);
    b.enter = r.enterButton;
    b.escape = r.escapeButton;
    return b;
}

int MessagePopup(const char *title, const char *message) {
    PopupRequest r;
    r.kind = PopupKind::Message;
    r.title = core::Str(title);
    r.message = core::Str(message);
    PopupAnswer a;
    return Show(r, &a);
}

int ConfirmPopup(const char *title, const char *message) {
    PopupRequest r;
    r.kind = PopupKind::Confirm;
    r.title = core::Str(title);
    r.message = core::Str(message);
    PopupAnswer a;
    if (int rc = Show(r, &a)) return rc;
    return a.button == 1 ? 1 : 0;
}

int PromptPopup(const char *title, const char *message, char *response, int maxResponseLength) {
    if (!response || maxResponseLength <= 0) return UIE_BAD_VALUE;
    PopupRequest r;
    r.kind = PopupKind::Prompt;
    r.title = core::Str(title);
    r.message = core::Str(message);
    r.hasResponse = true;
    r.maxResponseLength = maxResponseLength;
    PopupAnswer a;
    if (int rc = Show(r, &a)) return rc;
    if (a.cancelled) {
        response[0] = '\0';
        return UIE_CANCELLED;
    }
    core::CopyOut(a.response, response, maxResponseLength + 1);
    return 0;
}

int GenericMessagePopup(const char *title, const char *message, const char *button1, const char *button2,
                        const char *button3, char *response, int maxResponseLength, int enterButton, int escapeButton) {
    PopupRequest r;
    r.kind = PopupKind::Generic;
    r.title = core::Str(title);
    r.message = core::Str(message);
    r.buttons[0] = core::Str(button1);
    r.buttons[1] = core::Str(button2);
    r.buttons[2] = core::Str(button3);
    int count = 0;
    while (count < 3 && !r.buttons[count].empty()) ++count;
    // Buttons fill from the first: a gap would leave a number without a button.
    for (int i = count; i < 3; ++i)
        if (!r.buttons[i].empty()) return UIE_BAD_VALUE;
    if (count == 0) return UIE_BAD_VALUE;
    if (enterButton < 0 || enterButton > count || escapeButton < 0 || escapeButton > count) return UIE_BAD_VALUE;
    if (response && maxResponseLength <= 0) return UIE_BAD_VALUE;
    r.hasResponse = response != nullptr;
    r.maxResponseLength = response ? maxResponseLength : 0;
    r.enterButton = enterButton;
    r.escapeButton = escapeButton;
    PopupAnswer a;
    if (int rc = Show(r, &a)) return rc;
    int button = a.button;
    if (button < 0 || button > count) button = escapeButton;  // a back end's odd answer
    if (response) core::CopyOut(a.response, response, maxResponseLength + 1);
    return button;
}

}  // namespace ui

#include "ui/headless.h"

#include <cmath>
#include <deque>

#include "ui/core.h"

namespace ui::headless {
namespace {

struct Item {
    enum class Type { Commit, Close, InputInt, InputDouble, InputText, SelectIndex, Wait, Action };
    Type type = Type::Commit;
    PanelRef ref;
    int control = 0;
    int number = 0;
    double real = 0.0;
    std::string text;
    std::function<void()> action;
};

const char *KindName(PopupKind kind) {
    switch (kind) {
    case PopupKind::Message: return "message";
    case PopupKind::Confirm: return "confirm";
    case PopupKind::Prompt: return "prompt";
    case PopupKind::Generic: return "generic";
    }
    return "?";
}

int ButtonCount(const PopupRequest &r) {
    int n = 0;
    while (n < 3 && !r.buttons[n].empty()) ++n;
    return n;
}

class Headless final : public Backend {
public:
    std::deque<Item> queue;
    std::deque<PopupScript> scripts;
    std::vector<PopupRecord> popups;
    std::vector<std::string> failures;
    std::vector<EventRecord> events;
    double now = 0.0;
    double pollAdvance = 0.0;
    int screenHeight = 1080, screenWidth = 1920;
    int runDepth = 0;
    bool quitRequested = false;
    int quitCode = 0;
    int quitCount = 0;
    int lastQuitCode = 0;
    int watchedPanel = 0, watchedControl = 0;
    std::vector<ControlState> history;

    void Clear() { *this = Headless(); }

    void ControlChanged(int panel, int control) override {
        if (panel != watchedPanel || control != watchedControl) return;
        if (const model::Control *c = model::FindControl(panel, control)) history.push_back({c->text, c->textColor});
    }

    PopupAnswer ShowPopup(const PopupRequest &request) override;
    int RunUserInterface() override;
    void QuitUserInterface(int returnCode) override;
    int GetUserEvent(bool wait, int *panel, int *control) override;
    void ProcessSystemEvents() override { Idle(); }
    double Now() override { return now; }
    void GetScreenSize(int *height, int *width) override {
        *height = screenHeight;
        *width = screenWidth;
    }

    void Advance(double seconds);

private:
    Headless &operator=(const Headless &) = default;
    int Resolve(const PanelRef &ref);
    // Takes the head of the queue and does it; true when it was a commit
    // that reached the program (panel and control then say which).
    bool Step(int *panel, int *control);
    void Idle();
};

Headless &H() {
    static Headless h;
    return h;
}

int Headless::Resolve(const PanelRef &ref) {
    switch (ref.by) {
    case PanelRef::By::Handle: return model::FindPanel(ref.value) ? ref.value : 0;
    case PanelRef::By::Resource: return model::FindPanelByResource(ref.value);
    case PanelRef::By::TopPopup: return model::TopPopup();
    }
    return 0;
}

bool Headless::Step(int *panel, int *control) {
    Item item = std::move(queue.front());
    queue.pop_front();
    switch (item.type) {
    case Item::Type::Wait: Advance(item.real); return false;
    case Item::Type::Action:
        if (item.action) item.action();
        return false;
    default: break;
    }
    EventRecord record;
    record.control = item.control;
    record.time = now;
    record.input = item.type != Item::Type::Commit && item.type != Item::Type::Close;
    record.panel = Resolve(item.ref);
    if (record.panel == 0) {
        const char *by = item.ref.by == PanelRef::By::Resource ? "resource number "
                         : item.ref.by == PanelRef::By::Handle ? "handle "
                                                               : "popup";
        failures.push_back("queued action on control " + std::to_string(item.control) + ": no panel (" + by +
                           (item.ref.by == PanelRef::By::TopPopup ? "" : std::to_string(item.ref.value)) + ")");
        record.result = model::UserResult::NoPanel;
        events.push_back(record);
        return false;
    }
    const int p = record.panel;
    int c = item.control;
    model::UserResult r = model::UserResult::Delivered;
    bool commit = true;
    if (item.type == Item::Type::Close) {
        // The window manager's close button: the panel's close control, if any, is committed.
        events.push_back(record);
        events.back().result = r = model::UserClose(p, &c);
        events.back().control = c;
        if (r != model::UserResult::Delivered) return false;
        *panel = p;
        *control = c;
        return true;
    }
    switch (item.type) {
    case Item::Type::InputInt: r = model::UserInput(p, c, item.number); break;
    case Item::Type::InputDouble: r = model::UserInput(p, c, item.real); break;
    case Item::Type::InputText: r = model::UserInput(p, c, item.text.c_str()); break;
    case Item::Type::SelectIndex: r = model::UserSelectIndex(p, c, item.number); break;
    default: break;
    }
    if (record.input) {
        // An input commits only from a hot control (normal mode: value only).
        const model::Control *ctrl = model::FindControl(p, c);
        commit = r == model::UserResult::Delivered && ctrl && ctrl->mode == VAL_HOT;
    }
    // Recorded before the callback runs, so commits taken by a GetUserEvent
    // inside it come after this one.
    const std::size_t at = events.size();
    record.result = r;
    events.push_back(record);
    if (commit) events[at].result = r = model::UserCommit(p, c);
    if (!commit || r != model::UserResult::Delivered) return false;
    *panel = p;
    *control = c;
    return true;
}

void Headless::Advance(double seconds) {
    if (!(seconds > 0.0) || !std::isfinite(seconds)) return;
    const double target = now + seconds;
    for (;;) {
        const double due = model::NextTimerDue();
        if (due > target + 1e-9) break;
        if (due > now) now = due;
        model::FireDueTimers(now, true);
    }
    if (now < target) now = target;  // a nested wait may have gone further already
}

void Headless::Idle() {
    if (!(pollAdvance > 0.0)) return;
    if (!queue.empty() && queue.front().type == Item::Type::Wait) {
        queue.front().real -= pollAdvance;
        if (queue.front().real <= 1e-9) queue.pop_front();
    }
    Advance(pollAdvance);
}

int Headless::RunUserInterface() {
    ++runDepth;
    quitRequested = false;
    int code = 0;
    for (;;) {
        if (quitRequested) {
            code = quitCode;
            break;
        }
        if (queue.empty()) break;  // the script is over: never wait for more
        int p = 0, c = 0;
        Step(&p, &c);
    }
    quitRequested = false;
    --runDepth;
    return code;
}

void Headless::QuitUserInterface(int returnCode) {
    ++quitCount;
    lastQuitCode = returnCode;
    if (runDepth > 0) {
        quitRequested = true;
        quitCode = returnCode;
    }
}

int Headless::GetUserEvent(bool wait, int *panel, int *control) {
    for (;;) {
        if (runDepth > 0 && quitRequested) return EVENT_NONE;  // the loop is ending
        if (queue.empty() || (!wait && queue.front().type == Item::Type::Wait)) {
            if (!wait) Idle();
            return EVENT_NONE;
        }
        if (Step(panel, control)) return EVENT_COMMIT;
    }
}

PopupAnswer Headless::ShowPopup(const PopupRequest &request) {
    PopupRecord record;
    record.request = request;
    std::function<void()> onShow;
    const int buttons = ButtonCount(request);
    if (!scripts.empty() && scripts.front().kind == request.kind &&
        (scripts.front().title.empty() || scripts.front().title == request.title)) {
        PopupScript script = std::move(scripts.front());
        scripts.pop_front();
        record.expected = true;
        record.answer = script.answer;
        onShow = std::move(script.onShow);
        if (request.kind == PopupKind::Confirm) record.answer.button = record.answer.button ? 1 : 0;
        if (request.kind == PopupKind::Generic) {
            if (record.answer.button < 0 || record.answer.button > buttons) {
                failures.push_back("generic popup \"" + request.title + "\" has no button " +
                                   std::to_string(record.answer.button));
                record.answer.button = request.escapeButton;
            } else if (record.answer.button == 0) {
                record.answer.button = request.escapeButton;
            }
        }
    } else {
        std::string what = std::string("unexpected ") + KindName(request.kind) + " popup \"" + request.title +
                           "\": \"" + request.message + "\"";
        if (!scripts.empty())
            what += " (expected a " + std::string(KindName(scripts.front().kind)) + " popup \"" +
                    scripts.front().title + "\")";
        failures.push_back(what);
        record.answer = PopupAnswer{};
        record.answer.cancelled = request.kind == PopupKind::Prompt;
        if (request.kind == PopupKind::Generic) record.answer.button = request.escapeButton;
    }
    popups.push_back(record);
    if (onShow) onShow();
    return record.answer;
}

void Queue(Item item) { H().queue.push_back(std::move(item)); }

Item Make(Item::Type type, PanelRef ref, int control) {
    Item item;
    item.type = type;
    item.ref = ref;
    item.control = control;
    return item;
}

}  // namespace

void Install() {
    H().Clear();
    SetBackend(&H());
    model::Reset();
}

PanelRef ByHandle(int handle) { return {PanelRef::By::Handle, handle}; }
PanelRef ByResource(int resourceId) { return {PanelRef::By::Resource, resourceId}; }
PanelRef TopPopup() { return {PanelRef::By::TopPopup, 0}; }

void QueueCommit(PanelRef panel, int control) { Queue(Make(Item::Type::Commit, panel, control)); }
void QueueClose(PanelRef panel) { Queue(Make(Item::Type::Close, panel, 0)); }

void QueueInput(PanelRef panel, int control, int value) {
    Item item = Make(Item::Type::InputInt, panel, control);
    item.number = value;
    Queue(std::move(item));
}

void QueueInput(PanelRef panel, int control, double value) {
    Item item = Make(Item::Type::InputDouble, panel, control);
    item.real = value;
    Queue(std::move(item));
}

void QueueInput(PanelRef panel, int control, const std::string &value) {
    Item item = Make(Item::Type::InputText, panel, control);
    item.text = value;
    Queue(std::move(item));
}

void QueueSelectIndex(PanelRef panel, int control, int index) {
    Item item = Make(Item::Type::SelectIndex, panel, control);
    item.number = index;
    Queue(std::move(item));
}

void QueueWait(double seconds) {
    Item item;
    item.type = Item::Type::Wait;
    item.real = seconds;
    Queue(std::move(item));
}

void QueueAction(std::function<void()> action) {
    Item item;
    item.type = Item::Type::Action;
    item.action = std::move(action);
    Queue(std::move(item));
}

size_t PendingActions() { return H().queue.size(); }
const std::vector<EventRecord> &Events() { return H().events; }

void ExpectPopup(PopupScript script) { H().scripts.push_back(std::move(script)); }

void ExpectMessage(const std::string &title) {
    PopupScript s;
    s.kind = PopupKind::Message;
    s.title = title;
    ExpectPopup(std::move(s));
}

void ExpectConfirm(const std::string &title, bool yes) {
    PopupScript s;
    s.kind = PopupKind::Confirm;
    s.title = title;
    s.answer.button = yes ? 1 : 0;
    ExpectPopup(std::move(s));
}

void ExpectPrompt(const std::string &title, const std::string &answer) {
    PopupScript s;
    s.kind = PopupKind::Prompt;
    s.title = title;
    s.answer.response = answer;
    ExpectPopup(std::move(s));
}

void ExpectPromptCancel(const std::string &title) {
    PopupScript s;
    s.kind = PopupKind::Prompt;
    s.title = title;
    s.answer.cancelled = true;
    ExpectPopup(std::move(s));
}

void ExpectGeneric(const std::string &title, int button, const std::string &response) {
    PopupScript s;
    s.kind = PopupKind::Generic;
    s.title = title;
    s.answer.button = button;
    s.answer.response = response;
    ExpectPopup(std::move(s));
}

size_t PendingPopups() { return H().scripts.size(); }
const std::vector<PopupRecord> &Popups() { return H().popups; }
const std::vector<std::string> &Failures() { return H().failures; }

double Now() { return H().now; }
void AdvanceTime(double seconds) { H().Advance(seconds); }
void SetPollAdvance(double seconds) { H().pollAdvance = seconds > 0.0 ? seconds : 0.0; }

bool WaitCursor() { return model::WaitCursor(); }
bool TimerCallbacksSuspended() { return model::TimerCallbacksSuspended(); }

void SetScreenSize(int height, int width) {
    H().screenHeight = height;
    H().screenWidth = width;
}

void WatchControl(int panel, int control) {
    H().watchedPanel = panel;
    H().watchedControl = control;
    H().history.clear();
}
const std::vector<ControlState> &ControlHistory() { return H().history; }

int QuitCount() { return H().quitCount; }
int LastQuitCode() { return H().lastQuitCode; }

}  // namespace ui::headless

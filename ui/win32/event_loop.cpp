#include "ui/win32/event_loop.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "ui/commit_queue.h"
#include "ui/model.h"
#include "ui/win32/timers.h"

namespace ui::win32::detail {
namespace {

// A look for an event without waiting asks the window system at most this
// often; in between it takes only what has arrived. A reader that looks
// after every line of a large file would otherwise spend most of its time
// in the message queue.
constexpr ULONGLONG kLookIntervalMs = 2;
// A look handles at most this many messages: a flood of them cannot keep
// the program from its work.
constexpr int kMaxPerLook = 1000;

struct Loops {
    bool quitRequested = false;
    int quitCode = 0;
    unsigned quitCount = 0;
    CommitQueue commits;  // for the waits under way
    ULONGLONG lastLook = 0;
    std::vector<HWND> dialogs;
};

Loops &L() {
    static Loops loops;
    return loops;
}

void Dispatch(MSG &msg) {
    HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr;
    const std::vector<HWND> &dialogs = L().dialogs;
    if (root && std::find(dialogs.begin(), dialogs.end(), root) != dialogs.end() && IsDialogMessageW(root, &msg))
        return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

}  // namespace

bool PumpOne(bool wait) {
    MSG msg;
    if (wait) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got < 0) return false;
        if (got == 0) msg.message = WM_QUIT;
    } else if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    if (msg.message == WM_QUIT) {
        // Someone asked the thread to end: as QuitUserInterface with the
        // code it gave.
        QuitLoops(static_cast<int>(msg.wParam));
        return false;
    }
    Dispatch(msg);
    return true;
}

int RunLoop() {
    Loops &l = L();
    l.quitRequested = false;
    while (!l.quitRequested) PumpOne(true);
    const int code = l.quitCode;
    l.quitRequested = false;
    return code;
}

void QuitLoops(int returnCode) {
    Loops &l = L();
    l.quitRequested = true;
    l.quitCode = returnCode;
    ++l.quitCount;
    // Wakes the loop that waits in GetMessage.
    WakeLoops();
}

unsigned QuitCount() { return L().quitCount; }

int WaitForCommit(bool wait, int *panel, int *control) {
    Loops &l = L();
    l.commits.BeginWait();
    if (!wait) {
        const ULONGLONG now = GetTickCount64();
        if (l.commits.Empty() && now - l.lastLook >= kLookIntervalMs) {
            for (int i = 0; i < kMaxPerLook && l.commits.Empty() && PumpOne(false); ++i) {}
            l.lastLook = GetTickCount64();
        }
    } else {
        while (l.commits.Empty() && !l.quitRequested) PumpOne(true);
    }
    l.commits.EndWait();
    if (l.quitRequested) return EVENT_NONE;
    return l.commits.Take(panel, control) ? EVENT_COMMIT : EVENT_NONE;
}

void ProcessPending() {
    for (int i = 0; i < kMaxPerLook && PumpOne(false); ++i) {}
}

void ResetLoops() {
    Loops &l = L();
    l.commits.Clear();
    l.quitRequested = false;
    l.quitCode = 0;
    l.lastLook = 0;
}

void AddDialogWindow(HWND window) { L().dialogs.push_back(window); }

void RemoveDialogWindow(HWND window) {
    std::vector<HWND> &d = L().dialogs;
    d.erase(std::remove(d.begin(), d.end(), window), d.end());
}

namespace {

// A commit that reached the program goes to a wait under way.
void Deliver(int panel, int control, model::UserResult result) { L().commits.Offer(panel, control, result); }

}  // namespace

void OperatorCommit(int panel, int control) { Deliver(panel, control, model::UserCommit(panel, control)); }

void OperatorClose(int panel) {
    int control = 0;
    const model::UserResult result = model::UserClose(panel, &control);
    Deliver(panel, control, result);
}

}  // namespace ui::win32::detail

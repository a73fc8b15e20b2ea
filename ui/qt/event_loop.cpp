#include "ui/qt/event_loop.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <utility>
#include <vector>

#include "ui/commit_queue.h"
#include "ui/model.h"
#include "ui/qt/application.h"

namespace ui::qt::detail {
namespace {

// A look for an event without waiting asks the window system at most this
// often; in between it takes only what has arrived. The operator acts at a
// human pace, and a reader that looks after every line of a large file
// would otherwise spend most of its time in the window system's queue.
constexpr qint64 kLookIntervalMs = 2;

struct Loops {
    std::vector<QEventLoop *> running;  // run loop and waits, innermost last
    std::vector<QEventLoop *> waits;    // the waits' loops alone
    int runDepth = 0;
    bool quitRequested = false;
    int quitCode = 0;
    int flushDepth = 0;
    CommitQueue commits;     // for the waits under way
    QElapsedTimer lastLook;  // the last non-waiting look that asked the window system
};

Loops &L() {
    static Loops loops;
    return loops;
}

// Runs `loop` registered as a running loop, unless the program is quitting.
void Exec(QEventLoop &loop) {
    L().running.push_back(&loop);
    if (!L().quitRequested) loop.exec();
    L().running.pop_back();
}

}  // namespace

int RunLoop() {
    EnsureApplication();
    Loops &l = L();
    ++l.runDepth;
    l.quitRequested = false;
    QEventLoop loop;
    Exec(loop);
    --l.runDepth;
    const int code = l.quitCode;
    l.quitRequested = false;
    return code;
}

void QuitLoops(int returnCode) {
    Loops &l = L();
    l.quitRequested = true;
    l.quitCode = returnCode;
    for (QEventLoop *loop : l.running) loop->exit(0);
}

int WaitForCommit(bool wait, int *panel, int *control) {
    EnsureApplication();
    Loops &l = L();
    l.commits.BeginWait();
    if (!wait) {
        if (l.commits.Empty() && (!l.lastLook.isValid() || l.lastLook.elapsed() >= kLookIntervalMs)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            l.lastLook.start();
        }
    } else {
        while (l.commits.Empty() && !l.quitRequested) {
            QEventLoop loop;
            l.waits.push_back(&loop);
            Exec(loop);
            l.waits.pop_back();
        }
    }
    l.commits.EndWait();
    if (l.quitRequested) return EVENT_NONE;
    return l.commits.Take(panel, control) ? EVENT_COMMIT : EVENT_NONE;
}

void ProcessPending() {
    EnsureApplication();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void ResetLoops() {
    Loops &l = L();
    for (QEventLoop *loop : l.running) loop->exit(0);
    l.commits.Clear();
    l.quitRequested = false;
    l.quitCode = 0;
    l.lastLook.invalidate();
}

namespace {

// A commit that reached the program goes to a wait under way.
void Deliver(int panel, int control, model::UserResult result) {
    Loops &l = L();
    // Waking the innermost wait lets it return with the commit.
    if (l.commits.Offer(panel, control, result) && !l.waits.empty()) l.waits.back()->exit(0);
}

}  // namespace

void OperatorCommit(int panel, int control) { Deliver(panel, control, model::UserCommit(panel, control)); }

void OperatorClose(int panel) {
    int control = 0;
    const model::UserResult result = model::UserClose(panel, &control);
    Deliver(panel, control, result);
}

void FlushPaint() {
    if (!QCoreApplication::instance()) return;
    ++L().flushDepth;
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    --L().flushDepth;
}

bool Flushing() { return L().flushDepth > 0; }

}  // namespace ui::qt::detail

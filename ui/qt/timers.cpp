#include "ui/qt/timers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <climits>
#include <cmath>

#include "ui/model.h"
#include "ui/qt/application.h"
#include "ui/qt/event_loop.h"

namespace ui::qt::detail {
namespace {

// While the program only lets paint through, a due tick waits this long.
constexpr int kRetryMs = 5;

QElapsedTimer &Clock() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock;
}

void Tick();

QTimer &Wakeup() {
    EnsureApplication();
    static QTimer *timer = [] {
        auto *t = new QTimer;
        t->setSingleShot(true);
        t->setTimerType(Qt::PreciseTimer);
        QObject::connect(t, &QTimer::timeout, Tick);
        return t;
    }();
    return *timer;
}

void Tick() {
    if (Flushing()) {
        Wakeup().start(kRetryMs);
        return;
    }
    model::FireDueTimers(Now(), false);
    RescheduleTimers();
}

}  // namespace

double Now() { return static_cast<double>(Clock().nsecsElapsed()) * 1e-9; }

void RescheduleTimers() {
    const double due = model::NextTimerDue();
    // Nothing due and nothing shown yet: no reason to start the toolkit.
    if (!std::isfinite(due) && !QCoreApplication::instance()) return;
    QTimer &timer = Wakeup();
    if (!std::isfinite(due)) {
        timer.stop();
        return;
    }
    const double ms = std::ceil((due - Now()) * 1000.0);
    timer.start(ms <= 0.0 ? 0 : ms >= INT_MAX / 2 ? INT_MAX / 2 : static_cast<int>(ms));
}

}  // namespace ui::qt::detail

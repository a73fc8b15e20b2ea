// Timer controls: the core keeps when each is due; the back end's clock
// says when that time has come.
#include <limits>

#include "ui/core.h"

namespace ui::core {

void StartTimer(model::Control &c) { c.due = ClockNow() + c.interval; }

void TimersChanged() {
    Notify([](Backend &b) { b.TimersChanged(); });
}

}  // namespace ui::core

namespace ui::model {
namespace {
// Intervals added up in binary fractions drift; a tick this close to the
// clock counts as due.
constexpr double kSlack = 1e-9;
}  // namespace

double NextTimerDue() {
    double next = std::numeric_limits<double>::infinity();
    for (const auto &entry : core::S().panels)
        for (const Control &c : entry.second.controls)
            if (c.kind == CTRL_TIMER && c.enabled && c.due < next) next = c.due;
    return next;
}

void FireDueTimers(double now, bool catchUp) {
    for (;;) {
        // The earliest due tick; ties go to the older panel, then the lower number.
        Control *best = nullptr;
        int bestPanel = 0;
        for (auto &entry : core::S().panels)
            for (Control &c : entry.second.controls)
                if (c.kind == CTRL_TIMER && c.enabled && c.due <= now + kSlack && (!best || c.due < best->due)) {
                    best = &c;
                    bestPanel = entry.first;
                }
        if (!best) break;
        const int control = best->number;
        best->due = catchUp ? best->due + best->interval : now + best->interval;
        // A tick that comes while callbacks are suspended, or while this
        // timer's own callback is still running, is lost.
        if (best->ticking || core::S().suspended) continue;
        best->ticking = true;
        core::CallCallback(bestPanel, control, EVENT_TIMER_TICK, 0, 0);
        Panel *p = core::GetPanel(bestPanel);
        if (Control *c = p ? core::GetControl(*p, control) : nullptr) c->ticking = false;
    }
    core::TimersChanged();
}

}  // namespace ui::model

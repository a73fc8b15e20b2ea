// The clock of the timer controls and the one QTimer that wakes the event
// loop when the earliest of them is due.
#pragma once

namespace ui::qt::detail {

// Seconds on a monotonic clock since the back end was first used.
double Now();
// The model's earliest due time moved: wake up then (or never).
void RescheduleTimers();

}  // namespace ui::qt::detail

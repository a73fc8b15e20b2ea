// Time 2000 (seconds since 2000-01-01 00:00:00, no zone, no leap seconds)
// and small date-text helpers. The calendar rule (every fourth year is a
// leap year) holds for 2000..2099.
#pragma once
#include "toolvane.h"  // Toolvane_tm2000 and the time operations

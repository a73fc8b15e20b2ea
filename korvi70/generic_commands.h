// Commands every Korvi70 instrument answers: its ID, identification, basic
// value, serial number, clock, and the no-operation probe.
//
// Results: 0 done; 1 refused before anything was sent (an argument out of
// range); 2 the link failed while sending; 3 no valid reply; any other value
// is the instrument's non-zero status, passed on unchanged. An output is
// written as soon as its field has arrived, so it is valid only when the
// result is 0. No command repeats itself; callers decide on repetition.
#pragma once
#include "korvi70.h"  // the commands and their text widths

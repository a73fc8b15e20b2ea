// Commands 11 to 19: the instrument's internal software version, its
// subordinate devices, the cause of its last restart, and the level-1 and
// level-2 upgrade loaders; and the restart code as a text.
//
// Results as for every numbered command: 0 done; 1 an argument out of range
// (nothing sent); 2 the link failed while sending; 3 no valid reply; any
// other value is the instrument's non-zero status (its data is then not
// read). Outputs are stored field by field as they arrive, so they are
// valid only when the result is 0.
#pragma once
#include "korvi70.h"  // commands 11 to 19 and Korvi70_ZamienKodRestartuDoTekstu

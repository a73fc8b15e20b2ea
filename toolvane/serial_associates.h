// Serial-number associations: a short and a long comment kept for each
// instrument serial number, read from the serial-number associates file
// (path in Toolvane_ZbiorSkojarzenNumerowSeryjnych) into a table of up to
// 63 entries. Texts are UTF-8 in memory; each field keeps at most 8, 32 and
// 256 characters, never splitting one.
#pragma once
#include "toolvane.h"  // the association table's operations

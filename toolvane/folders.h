// Process-wide path buffers, filled at start-up by the system-information
// step (Toolvane_ZbierzInfoOSystemie) and read by the rest of the program.
// Each holds a Windows path of up to 260 characters; all start empty.
#pragma once
#include "toolvane.h"  // the path buffers

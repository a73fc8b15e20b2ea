// CRC-16 of a byte block and byte-order reversal of a 64-bit integer.
#pragma once
#include "toolvane.h"  // Toolvane_PoliczCRC16, Toolvane_ChangeByteOrderIn64Int

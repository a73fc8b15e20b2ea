// Reading and writing a block of an instrument's I/O space (16-bit
// addresses) with the legacy frames 'F' and 'G'.
//
// Results: 0 done; 1 an argument out of range, nothing sent (address
// 2..255, start 0..0xFFFF, count 1..255, a null buffer); 2 a flush failed;
// 3 no valid reply.
#pragma once
#include "korvi70.h"  // Korvi70_PodWeWy, Korvi70_ZapWeWy

// Reading and writing a block of an instrument's I/O space (16-bit
// addresses) with the legacy frames 'F' and 'G'.
//
// Results: 0 done; 1 an argument out of range, nothing sent (address
// 2..255, start 0..0xFFFF, count 1..255, a null buffer); 2 a flush failed;
// 3 no valid reply.
#pragma once

// Reads count bytes from start into bytes (count bytes), which are written
// only when the whole reply was valid.
int Korvi70_PodWeWy(int address, int start, int count, unsigned char *bytes);
// Writes the count bytes of bytes from start on.
int Korvi70_ZapWeWy(int address, int start, int count, const unsigned char *bytes);

// CRC-16 of a byte block and byte-order reversal of a 64-bit integer.
#pragma once

// CRC-16/MODBUS (polynomial 0xA001 reflected, start 0xFFFF, no final XOR)
// returned with its two bytes exchanged: sending the result high byte first
// puts the CRC on the line in Modbus order. 0..65535. A negative count, or a
// null block with a positive count, reads nothing and gives 0xFFFF.
int Toolvane_PoliczCRC16(const unsigned char *data, int count);

// The same eight bytes in reverse order (big-endian <-> little-endian).
long long Toolvane_ChangeByteOrderIn64Int(long long value);

// The VGX52's own commands (0x81 to 0x87): its code values, real values,
// 16-bit integers and the pressure calibration table, each addressed by a
// one-letter code (the table by step number and column letter).
//
// id: its low byte is the destination of the request (the program uses 0).
// Results: 0 done (outputs valid); 1 an argument out of range, nothing sent;
// 2 the link failed while sending; 3 no valid reply; any other value is the
// instrument's non-zero status, passed on unchanged.
//
// Reals travel as single precision: a written value is rounded to it, and a
// value single precision cannot hold (not finite, or beyond its range) is
// refused with 1. Integers travel as their low 16 bits and come back
// sign-extended.
#pragma once
#include "vgx52.h"  // the seven commands

namespace vgx52 {
// Which codes each command accepts.
bool IsCodeValueCode(char code);
bool IsReadableRealCode(char code);
bool IsWritableRealCode(char code);
bool IsIntegerCode(char code);
bool IsCalibrationCell(int step, char column);
}  // namespace vgx52

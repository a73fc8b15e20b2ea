/**
 * @file vgx52.h
 * @brief The VGX52's own commands (0x81 to 0x87) over the Korvi70 link: its
 * code values, real values, 16-bit integers and the pressure calibration
 * table, each addressed by a one-letter code (the table by step and column).
 *
 * Valid C (C99) and C++; part of the Korvi70 library (link with it). Texts
 * and results as in korvi70.h: 0 done (outputs valid), 1 an argument out of
 * range (nothing sent), 2 the link failed while sending, 3 no valid reply,
 * any other value the instrument's status. id: its low byte is the
 * destination of the request (0 reaches the instrument on the line).
 *
 * Reals travel as single precision: a written value is rounded to it, and a
 * value single precision cannot hold is refused with 1. Integers travel as
 * their low 16 bits and come back sign-extended.
 */
#ifndef VGX52_H
#define VGX52_H

#include "korvi70.h"

#ifdef __cplusplus
extern "C" {
#endif

/** 0x81: the 32-bit code value "A".."G". */
KORVI70_API int VGX52_PodKod(int id, char code, int *value);
/** 0x82: the real value "A".."I", "a".."r" ("E": the dry-gas density, "a": the gas constant in J/(kg K)). */
KORVI70_API int VGX52_PodWartFloat(int id, char code, double *value);
/** 0x83: writes the real value "A".."H", "a".."r" ("I" can be read, not written). */
KORVI70_API int VGX52_ZapWartFloat(int id, char code, double value);
/** 0x84: the 16-bit integer "A", "B", "a". */
KORVI70_API int VGX52_PodWartInt(int id, char code, int *value);
/** 0x85: writes the 16-bit integer "A", "B", "a" (its low 16 bits). */
KORVI70_API int VGX52_ZapWartInt(int id, char code, int value);
/** 0x86: the pressure calibration table at step 1..15, column "A".."C". */
KORVI70_API int VGX52_PodKrokWzorCisn(int id, char step, char column, double *value);
/** 0x87: writes the pressure calibration table at step 1..15, column "A".."C". */
KORVI70_API int VGX52_ZapKrokWzorCisn(int id, char step, char column, double value);

#ifdef __cplusplus
}
#endif

#endif /* VGX52_H */

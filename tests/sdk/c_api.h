/* A C program's calls into the SDK's shared libraries (c_api.c, compiled as
 * C99 against the public headers only), for the C++ test to check. */
#ifndef SDK_TEST_C_API_H
#define SDK_TEST_C_API_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

int CApi_CrcOfDigits(void);           /* CRC-16 of "123456789" */
uint32_t CApi_Time2004(void);         /* 2004-01-01 00:00:00 in time 2000 */
int CApi_WeekdayOf(uint32_t seconds); /* the weekday Toolvane_gmtime2000 gives */
void CApi_InstrumentName(int typeCode, int softwareVersion, char *text);
int CApi_OwnId(void);             /* Korvi70_NrIdProg as C reads it */
int CApi_NopWithPort(int port);   /* Korvi70_NrZlacza = port, then Korvi70_NOP(5) */
int CApi_WriteReadOnlyReal(void); /* VGX52_ZapWartFloat with the read-only code "I" */
int CApi_OpenTcp(const char *host, int port);
int CApi_ChooseInterface(int kind);
size_t CApi_SizeOfTm2000(void);
size_t CApi_SizeOfSensor(void);
size_t CApi_OffsetOfProgramCode(void);
const char *CApi_SensorFile(int index);

#ifdef __cplusplus
}
#endif

#endif

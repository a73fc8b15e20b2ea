#include "c_api.h"

#include <string.h>

#include "brandolux.h"
#include "korvi70.h"
#include "toolvane.h"
#include "vgx52.h"

int CApi_CrcOfDigits(void) {
    const char *digits = "123456789";
    return Toolvane_PoliczCRC16((const unsigned char *)digits, (int)strlen(digits));
}

uint32_t CApi_Time2004(void) {
    Toolvane_tm2000 tm = {0, 0, 0, 1, 1, 4, 0};
    return Toolvane_mktime2000(&tm);
}

int CApi_WeekdayOf(uint32_t seconds) {
    Toolvane_tm2000 tm;
    Toolvane_gmtime2000(seconds, &tm);
    return tm.weekday;
}

void CApi_InstrumentName(int typeCode, int softwareVersion, char *text) {
    Korvi70_RozszerzNazwePrzyrzadu(typeCode, text, softwareVersion);
}

int CApi_OwnId(void) { return Korvi70_NrIdProg; }

int CApi_NopWithPort(int port) {
    Korvi70_NrZlacza = port;
    return Korvi70_NOP(5);
}

int CApi_WriteReadOnlyReal(void) { return VGX52_ZapWartFloat(0, 'I', 1.0); }

int CApi_OpenTcp(const char *host, int port) {
    Korvi70_TypLacza = Korvi70_PolaczeniePrzezKorviTCP;
    strncpy(Korvi70_NazwaServeraKorviTCP, host, sizeof Korvi70_NazwaServeraKorviTCP - 1);
    Korvi70_NrPortuTCP = port;
    return Korvi70_IniZlacze(0);
}

int CApi_ChooseInterface(int kind) { return Brandolux_UstawInterfejs(kind); }

size_t CApi_SizeOfTm2000(void) { return sizeof(Toolvane_tm2000); }
size_t CApi_SizeOfSensor(void) { return sizeof(Toolvane_CzujnikTemperatury); }
size_t CApi_OffsetOfProgramCode(void) { return offsetof(Toolvane_CzujnikTemperatury, kodProgramu); }

const char *CApi_SensorFile(int index) { return Toolvane_TabelaCzujnikow[index].zbior; }

#include "toolvane/folders.h"

char Toolvane_KatalogProgramu[261] = "";
char Toolvane_NazwaProgramu[261] = "";
char Toolvane_ZbiorProgramu[261] = "";
char Toolvane_ZbiorIkony[261] = "";
char Toolvane_NazwaZbioruUir[261] = "";
char Toolvane_ZbiorUir[261] = "";
char Toolvane_NazwaZbioruKonfig[261] = "";
char Toolvane_KatalogDanych[261] = "";
char Toolvane_ZbiorKonfig[261] = "";
char Toolvane_ZbiorSkojarzenNumerowSeryjnych[261] = "";
char Toolvane_NazwaZbioruGkp[261] = "";
char Toolvane_ZbiorGkp[261] = "";

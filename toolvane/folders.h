// Process-wide path buffers, filled at start-up by the system-information
// step (Toolvane_ZbierzInfoOSystemie) and read by the rest of the program.
// Each holds a Windows path of up to 260 characters; all start empty.
#pragma once

inline constexpr int Toolvane_DlugoscSciezki = 261;  // 260 characters + terminator

extern char Toolvane_KatalogProgramu[261];                 // program folder (at most 256 characters)
extern char Toolvane_NazwaProgramu[261];                   // program name, set by the caller first
extern char Toolvane_ZbiorProgramu[261];                   // program file
extern char Toolvane_ZbiorIkony[261];                      // icon file
extern char Toolvane_NazwaZbioruUir[261];                  // resource file name, e.g. VGX52_G.uir
extern char Toolvane_ZbiorUir[261];                        // resource file
extern char Toolvane_NazwaZbioruKonfig[261];               // configuration file name, e.g. VGX52.kfg
extern char Toolvane_KatalogDanych[261];                   // maker's data folder
extern char Toolvane_ZbiorKonfig[261];                     // configuration file
extern char Toolvane_ZbiorSkojarzenNumerowSeryjnych[261];  // serial-number associates file
extern char Toolvane_NazwaZbioruGkp[261];                  // gkp file name, e.g. VGX52.gkp
extern char Toolvane_ZbiorGkp[261];                        // gkp file

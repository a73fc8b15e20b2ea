// Panel and control numbers of VGX52_G.uir, under the names the file gives
// them; a test checks that the two agree.
#pragma once

constexpr int PANEL_GL = 1;
constexpr int PANEL_GL_STATUS = 2;
constexpr int PANEL_GL_NAZWA = 3;
constexpr int PANEL_GL_TIMER = 4;
constexpr int PANEL_GL_USTGEST = 5;
constexpr int PANEL_GL_UPGRADE = 6;
constexpr int PANEL_GL_KONIEC = 7;

constexpr int PANEL_PORT = 2;
constexpr int PANEL_PORT_LISTA = 2;
constexpr int PANEL_PORT_OK = 3;
constexpr int PANEL_PORT_ANULUJ = 4;
constexpr int PANEL_PORT_URZADZENIE = 5;

constexpr int PANEL_UG = 3;
constexpr int PANEL_UG_GESTOSC = 2;
constexpr int PANEL_UG_POWIETRZE = 3;
constexpr int PANEL_UG_KALKULATOR = 4;
constexpr int PANEL_UG_POWROT = 5;

// The fifteen concentrations are numbered 2 to 16 in the order of the sums.
constexpr int PANEL_KG = 4;
constexpr int PANEL_KG_AZOT = 2;
constexpr int PANEL_KG_TLEN = 3;
constexpr int PANEL_KG_ARGON = 4;
constexpr int PANEL_KG_CO2 = 5;
constexpr int PANEL_KG_NEON = 6;
constexpr int PANEL_KG_HEL = 7;
constexpr int PANEL_KG_METAN = 8;
constexpr int PANEL_KG_SO2 = 9;
constexpr int PANEL_KG_WODOR = 10;
constexpr int PANEL_KG_SLADOWE = 11;
constexpr int PANEL_KG_AMONIAK = 12;
constexpr int PANEL_KG_NO = 13;
constexpr int PANEL_KG_NO2 = 14;
constexpr int PANEL_KG_CHLOR = 15;
constexpr int PANEL_KG_CO = 16;
constexpr int PANEL_KG_SUMA = 17;
constexpr int PANEL_KG_STALA = 18;
constexpr int PANEL_KG_GESTOSC = 19;
constexpr int PANEL_KG_WYPELNIJ = 20;
constexpr int PANEL_KG_ZERUJ = 21;
constexpr int PANEL_KG_AKCEPTUJ = 22;
constexpr int PANEL_KG_POWROT = 23;

// Panel and control numbers of Tolvan_G.Uir, under the names the file gives
// them; a test checks that the two agree.
#pragma once

constexpr int PANEL_ODCZ = 1;
constexpr int PANEL_ODCZ_STOP = 2;
constexpr int PANEL_ODCZ_PROCENT = 3;
constexpr int PANEL_ODCZ_WIERSZE = 4;

constexpr int PANEL_KOMENT = 2;
constexpr int PANEL_KOMENT_STOP = 2;
constexpr int PANEL_KOMENT_KONIEC = 3;
constexpr int PANEL_KOMENT_POCZATEK = 4;
constexpr int PANEL_KOMENT_TEKST = 5;

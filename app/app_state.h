// Program-wide state of the application: its settings and panel handles.
#pragma once

// Polling period of the main screen, seconds (0.2 to 50; 1.0 by default).
extern double OkresOdpytywania;
// Handle of the main panel, 0 while it is not loaded.
extern int PanelEkrGl;
// Handle of the port-selection popup, 0 while it is not loaded.
extern int PanelWybZlacza;

// Resets the panel handles before the main panel is loaded.
void InicjujZmienne();

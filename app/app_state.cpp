#include "app/app_state.h"

double OkresOdpytywania = 1.0;
int PanelEkrGl = 0;
int PanelWybZlacza = 0;

void InicjujZmienne() {
    PanelEkrGl = 0;
    PanelWybZlacza = 0;
}

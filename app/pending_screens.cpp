// PLACEHOLDERS, to be replaced: the poller, the gas density setting screen
// and the firmware upgrade are written separately. Until each lands, these
// weak stand-ins let the program link; they do nothing and return 0.
// Delete a stand-in when its real definition joins the `app` library
// (and this file when none is left).
#include "app/screens.h"

__attribute__((weak)) int ObsEkrGl_Upgrade(int, int, int, void *, int, int) { return 0; }

// The upgrade screen: the main screen's "upgrade" button. It asks for
// confirmation, keeps the polling timer off while it runs (on again at every
// exit), shows the progress window while the pages go out, and tells the
// operator how it ended and where the settings backup is when it did not
// end well. The work itself is RunUpgrade (upgrade_sequence.h).
#pragma once

#include "upgrade/messages.h"

// Callback of the main screen's upgrade button: panel is the main panel,
// whose timer PANEL_GL_TIMER polls the instrument. Acts on the commit event
// only. 0 when the upgrade went through or the operator said no; -1 when
// no firmware was loaded (none found, or the file is damaged), the operator
// stopped it for want of a settings backup, or the transfer failed.
int ObsEkrGl_Upgrade(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);

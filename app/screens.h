// Callbacks of the main screen's commands that other screens provide: the
// poller, the gas density setting screen and the firmware upgrade. All have
// the user-interface callback form and return 0 unless stated.
#pragma once

int ObsEkrGl_OdpytywaczMain(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int ObsEkrGl_UstGestGazu(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
int ObsEkrGl_Upgrade(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);

// The upgrade screen: the main screen's "upgrade" button. It asks for
// confirmation, keeps the polling timer off while it runs (on again at every
// exit), shows the progress window while the pages go out, and tells the
// operator how it ended. The work itself is RunUpgrade (upgrade_sequence.h).
#pragma once

// Callback of the main screen's upgrade button: panel is the main panel,
// whose timer PANEL_GL_TIMER polls the instrument. Acts on the commit event
// only. 0 when the upgrade went through or the operator said no; -1 when
// no firmware was loaded (none found, or the file is damaged) or the
// transfer failed.
int ObsEkrGl_Upgrade(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);

namespace upgrade {

// Texts of the screen.
inline constexpr char kQuestionTitle[] = "Warning";
inline constexpr char kQuestion[] = "Do You really want to upgrade internal software of the Airvenator ?";
inline constexpr char kImportantTitle[] = "Important";
inline constexpr char kImportant[] =
    "Durring the upgrade, please keep the instrument switch-on all the time. If it is possible connect a supply "
    "adapter";
inline constexpr char kVersionTitle[] = "Information needed";
inline constexpr char kVersionQuestion[] = "Please, write aprioprate hardware version of the instrument";
inline constexpr char kMessageTitle[] = "Message";
inline constexpr char kNoFirmware[] = "The program didn't find the file with the device software for this version.";
inline constexpr char kFinished[] = "The upgrade is finshed.";
inline constexpr char kProgressTitle[] = "Flash UpLoad progress level";
inline constexpr char kProgressLabel[] = "progress";

}  // namespace upgrade

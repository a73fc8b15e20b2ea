// The texts the upgrade shows, each written once. The screen's own popups
// are English; the settings messages are Polish, as in the rest of the
// program.
#pragma once

namespace upgrade {

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

inline constexpr char kSettingErrorTitle[] = "Wystąpił błąd.";
inline constexpr char kSettingReadFailed[] = "Odczyt z przyrządu niepoprawny.";
inline constexpr char kSettingWriteFailed[] = "Zapis do przyrządu niepoprawny.";

}  // namespace upgrade

// The modem's panels live in the Korvi70 resource file, loaded by its bare
// name and, failing that, from the library's own folder.
#pragma once

namespace korvi70::modem {

inline constexpr char kStateFile[] = "Korvi70.Gkp";
inline constexpr int kConfigurationState = 1;
inline constexpr int kConnectState = 2;
inline constexpr char kErrorTitle[] = "Wystąpił błąd.";

// A panel handle > 0, or <= 0 when neither file has it.
int LoadModemPanel(int resourceId);

// A control's value, or fallback when it cannot be read.
int IntValue(int panel, int control, int fallback = 0);

}  // namespace korvi70::modem

// The main screen's poller: each tick of the polling timer identifies the
// instrument and shows the connection state (ObsEkrGl_OdpytywaczMain, declared
// in app/screens.h).
#pragma once

namespace app {

// Texts of the status line.
inline constexpr const char kStatusNoAnswer[] = "Brak połączenia";
inline constexpr const char kStatusVgx52[] = "Jest połączenie z przyrządem";
inline constexpr const char kStatusOther[] = "Jest połączenie z przyrządem innym niż VGX50";

// True for the type codes of a VGX52 (0x1B0 to 0x1B7: the lowest three bits
// carry the hardware version).
bool IsVgx52TypeCode(int typeCode);

// One poll on the main panel: identify, read the software version, show
// the state. What the timer tick runs.
void PollInstrument(int mainPanel);

}  // namespace app

// The program's fixed texts and numbers.
#pragma once
#include "vgx52_version.h"

namespace app {

inline constexpr const char kModelName[] = "VGX52";
inline constexpr const char kProgramLabel[] = "User Program for Gas Parameter Measurement Device, model VGX52";
inline constexpr const char kProgramVersion[] = VGX52_VERSION;
// Family code of the instrument, also the type code of the association record.
inline constexpr int kInstrumentTypeCode = 0x1B0;
inline constexpr const char kAssociationGuid[] = "{3D0B5E27-91C4-4A6E-B2F3-7C18E9A04D55}";
inline constexpr const char kAssociationsFileName[] = "Korvi70 Programs Associates.kfg";

// Link settings the program always runs with.
inline constexpr double kSerialTimeout = 0.1;
inline constexpr int kOwnId = 0x71;  // 'q'

}  // namespace app

// The instrument description built from a type code: the model table's row
// for code / 8, then the hardware version (code % 8 + 1) and, when given,
// the software version.
#pragma once
#include <cstddef>

#include "korvi70.h"  // Korvi70_RozszerzNazwePrzyrzadu and its buffer size

namespace korvi70 {
// The table's text for model 1..57, or nullptr.
const char *ModelDescription(int model);
// As Korvi70_RozszerzNazwePrzyrzadu into a buffer of `size` bytes; the text
// is cut to fit and always terminated (size 0 writes nothing).
void ExpandInstrumentName(int typeCode, int softwareVersion, char *text, std::size_t size);
}  // namespace korvi70

// The instrument description built from a type code: the model table's row
// for code / 8, then the hardware version (code % 8 + 1) and, when given,
// the software version.
#pragma once
#include <cstddef>

// Rows of the model table and the longest row text (bytes).
constexpr int Korvi70_LiczbaModeli = 57;
constexpr int Korvi70_MaksDlugoscOpisuModelu = 99;
// Output buffer the description needs: the row, "; H.Ver.:" and one digit,
// "; S.Ver.:" and a decimal int, the terminator.
constexpr int Korvi70_RozmiarNazwyPrzyrzadu = 99 + 9 + 1 + 9 + 11 + 1;

// Writes the description into text (at least Korvi70_RozmiarNazwyPrzyrzadu
// bytes); softwareVersion 0 leaves out the software version. Always 0.
int Korvi70_RozszerzNazwePrzyrzadu(int typeCode, char *text, int softwareVersion);

namespace korvi70 {
// The table's text for model 1..57, or nullptr.
const char *ModelDescription(int model);
// As Korvi70_RozszerzNazwePrzyrzadu into a buffer of `size` bytes; the text
// is cut to fit and always terminated (size 0 writes nothing).
void ExpandInstrumentName(int typeCode, int softwareVersion, char *text, std::size_t size);
}  // namespace korvi70

// Modem link type: the modem itself is driven over the serial type, so the
// primitives of this type transfer nothing and leave the error field as it is.
#include "korvi70/transport.h"

namespace korvi70 {
namespace {

int Nothing() { return 0; }
int ComWrt(const void *, int count) { return count; }
int ComRd(void *, int) { return 0; }
int ComWrtByte(int) { return 0; }
int ComRdTerm(void *, int, int) { return 0; }

}  // namespace

const Transport kModemTransport = {Nothing, Nothing, ComWrt, ComRd, ComWrtByte, Nothing, ComRdTerm, Nothing, Nothing};

}  // namespace korvi70

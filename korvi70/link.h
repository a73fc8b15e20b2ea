// The Korvi70 link: one process-wide link state record and the nine link
// primitives. The primitives behave like the serial-port operations of the
// same names and route every call, by Korvi70_TypLacza, to the serial port,
// to nothing (modem) or to the TCP envelope of a Korvi70 TCP server. Every
// primitive leaves its outcome in Korvi70_BladLacza; higher layers decide by
// that field (non-zero = the link failed, -99 = a read timed out).
#pragma once

#include "korvi70.h"  // the link state, the TCP buffers and the primitives

namespace korvi70 {
// The transaction number of the hex frame being sent, for a link that must
// tell its answer from a late reply to an earlier request (TCP). The sender
// says it after the preamble; every preamble's 0x00 clears it, so a legacy
// frame, which carries no number, expects none (-1).
void ExpectReplyTransaction(int transaction);
int ExpectedReplyTransaction();
}  // namespace korvi70

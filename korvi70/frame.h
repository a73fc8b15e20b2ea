// Steps of the hex frame, shared by every numbered command.
//
// Request: 0xFF 0xFF 0x00, then as hex text destination ID, own ID,
// transaction number, command code, the command's data, the check (XOR of
// every character after the preamble) and the byte 0x01.
// Reply: any lead-in ending with 0x00, then own ID, the request's
// destination, the transaction number, the status, data (status 0 only),
// the check over those characters and 0x01.
//
// The request text buffer belongs to the calling command and holds the
// header, data and check as one NUL-terminated text; the echo checks compare
// against it. korvi70/transaction.h runs the whole sequence.
#pragma once

#include "korvi70.h"  // Korvi70_MaksDlugoscWstepu and the frame steps

namespace korvi70 {
// Reads single bytes until 0x00. 0, or 3 on a link error or an over-long lead-in.
int SkipLeadIn();
// Reads two hex digits as one byte: 0, or 3 when the read failed or the
// characters are not hex. chars (3 bytes) receives the text as read.
int ReadHexByte(char chars[3], unsigned *value);
}  // namespace korvi70

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

// Longest lead-in skipped while looking for the 0x00 that starts a reply:
// a line that never stops sending cannot hold a command forever.
constexpr int Korvi70_MaksDlugoscWstepu = 1024;

// Sends the preamble and the header; writes the 8 header characters into
// text (at least 9 bytes). 0, 2 (write failed) or 3 (echo of the preamble
// missing).
int Korvi70_UtworzIWyslijStalaCzesc1Rozkazu(unsigned char destination, int transaction, int command, char *text);
// Checks the echo of the header and data, appends the two check digits to
// text (which needs room for them) and sends them. 0, 2 or 3.
int Korvi70_UtworzIWyslijStalaCzesc2Rozkazu(char *text);
// Receives and checks the reply header; gives the status and the running
// check of the header characters. 0 or 3.
int Korvi70_OdbierzStalaCzescOdpowiedzi(unsigned char destination, int transaction, char *text, int *status,
                                        unsigned char *check);
// Reads the rest of an echo of the request in text (after its first two
// characters) and compares it. 0 or 3.
int Korvi70_OdbierzEcho(char *text);

namespace korvi70 {
// Reads single bytes until 0x00. 0, or 3 on a link error or an over-long lead-in.
int SkipLeadIn();
// Reads two hex digits as one byte: 0, or 3 when the read failed or the
// characters are not hex. chars (3 bytes) receives the text as read.
int ReadHexByte(char chars[3], unsigned *value);
}  // namespace korvi70

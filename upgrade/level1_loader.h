// The instrument's level-1 upgrade loader: a plain character protocol spoken
// once Korvi70_UruchomUpgradeLoader has started it. No Korvi70 frame goes
// round the messages: no lead-in, addresses, transaction or end byte.
//
//   page write        ":" "B" PPPP D0D0 D1D1 ... XX   answered "0"
//   end of work       ":" "C" "79"                   answered "OK"
//
// PPPP is the page, DkDk the k-th data byte, XX the XOR of every character
// before it (the ":" included), all as upper-case hex digits.
//
// The page write changes the serial port's read time-out, and over a TCP
// gateway single-byte writes wait for an end byte that these messages never
// contain: the level-1 loader runs on a direct serial link only.
#pragma once

// Sends one page (page 0..0xFFFF, count 0..65535 data bytes, data may be
// null only when count is 0) and waits up to 3 s for the loader's "0"; the
// port's configured time-out is put back afterwards. 0 when the page was
// acknowledged, -1 otherwise (another answer, none, or the link failed
// while sending), 1 for arguments out of range (nothing sent).
int UpLoad_ZapStronePamieci(int page, const unsigned char *data, int count);

// Ends the loader's work: 0 when it answers "OK" (either letter case)
// within the link's time-out, -1 otherwise.
int UpLoad_ZakonczPraceUpgradeLoader();

// Sends the message check as two hex digits in one block; the result of
// the link's block write (the bytes written, or negative).
int UpLoad_WyslijSumeKontrolnaCRC(unsigned char checksum);

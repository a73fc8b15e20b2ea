// The Korvi70 link: one process-wide link state record and the nine link
// primitives. The primitives behave like the serial-port operations of the
// same names and route every call, by Korvi70_TypLacza, to the serial port,
// to nothing (modem) or to the TCP envelope of a Korvi70 TCP server. Every
// primitive leaves its outcome in Korvi70_BladLacza; higher layers decide by
// that field (non-zero = the link failed, -99 = a read timed out).
#pragma once

// ---- link state ----
enum Korvi70_TypyLacza {
    Korvi70_PolaczenieBezposrednieRS = 0,
    Korvi70_PolaczeniePrzezModem = 1,
    Korvi70_PolaczeniePrzezKorviTCP = 2,
};

extern unsigned char Korvi70_TypLacza;    // 0 serial, 1 modem, 2 TCP; default 0
extern int Korvi70_NrZlacza;              // COM number, 1..100; default 2
extern unsigned char Korvi70_NrIdProg;    // own ID on the Korvi70 network; default 0x71
extern double Korvi70_CzasOczekiwaniaRS;  // serial time-out in seconds, 0.05..5; default 0.5
extern unsigned char Korvi70_JestEcho;    // 1 when the line returns every sent byte
extern int Korvi70_BladLacza;             // outcome of the last primitive; -99 = time-out

constexpr int Korvi70_BladCzasu = -99;  // the time-out value of Korvi70_BladLacza

// ---- TCP settings and buffers ----
constexpr int Korvi70_TCP_RozmiarBufora = 1024;
constexpr int Korvi70_TCP_DlugoscNaglowka = 5;  // 'b' and four hex digits of payload length

extern int Korvi70_NrPortuTCP;                 // default 66
extern char Korvi70_NazwaServeraKorviTCP[99];  // up to 98 characters; default "127.0.0.1"
extern double Korvi70_TCPIP_TimeOut;           // milliseconds per TCP read/write, >= 5; default 500
extern unsigned Korvi70_TCP_Uchwyt;            // conversation handle
extern unsigned char Korvi70_TCP_Polaczony;    // 1 while the conversation is open
// Transmit buffer: bytes 0..4 are the envelope header, the payload starts at byte 5.
extern unsigned char Korvi70_TCP_BuforNad[Korvi70_TCP_RozmiarBufora];
extern int Korvi70_TCP_IleNad;
// Receive buffer: byte 0 the reply mark (0x00 once accepted), the payload,
// then a synthesised 0x01.
extern unsigned char Korvi70_TCP_BuforOdb[1 + Korvi70_TCP_RozmiarBufora + 1];
extern int Korvi70_TCP_DlugoscOdb;
extern int Korvi70_TCP_PozycjaOdb;
extern int Korvi70_TCP_JestOdpowiedz;    // set by the TCP event callback
extern char Korvi70_TCP_ZnakOdpowiedzi;  // 'b' reply, 'c' error from the server

// ---- link primitives ----
int Korvi70_FlushOutQ();
int Korvi70_FlushInQ();
int Korvi70_ComWrt(const void *buffer, int count);
// Clears count + 1 bytes of buffer first (the buffer must hold them), then
// reads up to count bytes; a short read leaves a NUL-terminated text.
int Korvi70_ComRd(void *buffer, int count);
int Korvi70_ComWrtByte(int byte);
int Korvi70_ComRdByte();
int Korvi70_ComRdTerm(void *buffer, int count, int terminator);
int Korvi70_GetInQLen();
int Korvi70_GetOutQLen();

// Echo test run when a serial link opens: sets Korvi70_JestEcho; 0 or 2.
int Korvi70_SprawCzyJestEcho();

namespace korvi70 {
// The transaction number of the hex frame being sent, for a link that must
// tell its answer from a late reply to an earlier request (TCP). The sender
// says it after the preamble; every preamble's 0x00 clears it, so a legacy
// frame, which carries no number, expects none (-1).
void ExpectReplyTransaction(int transaction);
int ExpectedReplyTransaction();
}  // namespace korvi70

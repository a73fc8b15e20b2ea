// The Korvi70 layer's dial-up modem on COM1..COM4: one operation per AT
// command (each a whole exchange in the modem's command mode), the modem's
// identification, dialling, connecting and hanging up, and the modem
// configuration dialog. The port passed to every operation must be the
// link's own port (Korvi70_NrZlacza), open as a direct serial link: the
// command lines go out through the link primitives, while time-outs, queue
// flushes and queue lengths are set and read on the port named here.
//
// Result codes of every operation: 0 done, 1 an argument out of range
// (nothing sent), 2 serial failure, 3 no reply, no "OK" or a failure word,
// 4 cancelled by the user. Outputs are written only on 0; text outputs need
// room for 50 characters and the terminating NUL, that is 51 bytes: a text
// of more UTF-8 bytes is cut at its last whole character that fits.
#pragma once

// ---- modem layer state (one modem per process) ----
extern double Korvi70_CzasOdpowiedziModemu;  // reply time-out in seconds of every exchange; 0 at start (taken as 0.2)
extern unsigned char Korvi70_EchoModemu;     // 1 = the modem echoes each command line
extern char Korvi70_ZnakKoncaTransmisji;     // the modem's escape character (S2); 0 = not read yet
extern unsigned char Korvi70_RecznyWyborNumeru;  // 1 = the operator dials on the telephone set
extern unsigned char Korvi70_TrybWybierania;     // 0 tone ("ATDT"), 1 pulse ("ATDP")
extern int Korvi70_PredkoscPolaczenia;           // line speed of the last "CONNECT", 0 at start

// ---- AT command operations ----
int Korvi70_Modem_LocalEcho(int port, char on);
int Korvi70_Modem_LocalEchoDanych(int port, char on);
int Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(int port);
int Korvi70_Modem_ZapKonfiguracjeStartowa(int port, char n);
int Korvi70_Modem_ZapTrybUstPredkosciRS(int port, char n);
int Korvi70_Modem_MinPredNaLaczuTelefon(int port, char speedIndex);
int Korvi70_Modem_MaxPredNaLaczuTelefon(int port, char speedIndex);
int Korvi70_ResetujModem(int port, char n);
int Korvi70_Modem_ZapUstDoKonfUzytkownika(int port, char n);
int Korvi70_Modem_Testuj(int port, char testIndex);
int Korvi70_Modem_PodniesSluchawke(int port);
int Korvi70_Modem_OdluzSluchawke(int port);
int Korvi70_Modem_ZablokujSprSygnaluNaLaczu(int port);
int Korvi70_Modem_PodNrTelZPamieci(int port, char slot, char *number);
int Korvi70_Modem_ZapNrTelDoPamieci(int port, char slot, const char *number);
int Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(int port, int *rings);
int Korvi70_Modem_PodZnakKoncaTransmisjiDanych(int port, char *character);
int Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(int port, int *seconds);
int Korvi70_Modem_PodCzasTrwaniaPauzy(int port, int *pause);
int Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(int port, double *seconds);
int Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach(int port, int rings);
int Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(int port, char character);
int Korvi70_Modem_ZapCzasOczekiwaniaNaPolaczenie(int port, int seconds);
int Korvi70_Modem_ZapCzasTrwaniaPauzy(int port, int pause);
// 0 to 25 seconds, or exactly 25.5 (register 255: the disturbance check off).
int Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(int port, double seconds);
int Korvi70_Modem_PodProductType(int port, char *text);
// Switches the modem's echo on (Korvi70_EchoModemu = 1 once it answers)
// and reads its product text.
int Korvi70_IdentyfikujModem(int port, char *text);

// ---- dialling, connecting and hanging up ----
// The connect dialog: number, tone or pulse, manual or automatic dialling.
int Korvi70_PolaczModem(int port);
// One connection attempt with the dialling panel; the number is read from
// the connect panel's number field.
int Korvi70_Polacz(int port, int connectPanel);
// Dials number (up to 50 printable characters; "" takes the line the
// operator dialled) and judges the modem's answer. The dialling panel shows
// the progress; 0 is allowed when there is none to show.
int Korvi70_WybierzNumer(int port, const char *number, char dialMode, int diallingPanel);
// The dialling panel's timer: each tick advances the progress gauge by 1.
int ObsEkrWybNr_Czas(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
// Back to command mode, on hook, and the fixed settings again; the result
// of the fixed settings.
int Korvi70_RozlaczModem(int port);
// The escape character three times: from data mode back to command mode.
int Korvi70_Modem_ZakonczTrybTransmisjiDanych(int port);

// ---- configuration dialog ----
int Korvi70_KonfiguracjaModemu(int port);

namespace korvi70::modem {

// As the layer was first written, every exchange waits its whole time-out
// unless 100 characters arrive. By default a read ends as soon as the reply
// holds a complete final result line ("OK", "ERROR", "NO CARRIER", "BUSY",
// "NO DIAL TONE", "NO ANSWER" or a line starting with "CONNECT", with its
// CR LF); the verdicts are the same either way. false = wait the whole
// time-out.
void SetEarlyEnd(bool on);
bool EarlyEnd();

// The guard time the modem wants in silence before and after its escape
// characters (its register S12; 1 s as modems come), or 0 for none. The
// escape sequence waits it out, with a margin for the line, after the last
// byte written to the port: sent sooner, the modem passes the characters
// on as data and stays connected.
void SetEscapeGuardTime(double seconds);
double EscapeGuardTime();

// Product texts shorter than 5 characters sound the system beep; counted
// here so that the beep can be seen where there is no loudspeaker.
int BeepCount();

}  // namespace korvi70::modem

/**
 * @file korvi70.h
 * @brief Korvi70: the instrument protocol over a serial line, a Korvi70 TCP
 * server or a dial-up modem; generic instrument commands, the connection
 * configuration, password and time-outs, dialogs, I/O, loader commands and
 * the modem.
 *
 * Valid C (C99) and C++. Plain functions and process-wide plain data, one
 * link per process, all calls from one thread.
 *
 * Texts: every text at this interface is UTF-8. A buffer whose size is given
 * in characters holds that many bytes including the terminating NUL; a longer
 * text is cut at a character boundary, never inside a UTF-8 sequence. A
 * single char naming one character is a Windows-1250 code.
 *
 * Results of the instrument commands (Korvi70_Wynik): 0 done, 1 refused
 * before anything was sent, 2 the link failed while sending, 3 no valid
 * reply; any other value is the instrument's own non-zero status. Outputs
 * are valid only when the result is 0. No command repeats itself: repeat a
 * command while it returns 3, at most 5 attempts in all.
 *
 * Dialogs and messages need a user interface: see brandolux.h.
 */
#ifndef KORVI70_H
#define KORVI70_H

#if defined(_WIN32)
#if defined(KORVI70_BUILDING)
#define KORVI70_API __declspec(dllexport)
#elif defined(KORVI70_STATIC)
#define KORVI70_API
#else
#define KORVI70_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define KORVI70_API __attribute__((visibility("default")))
#else
#define KORVI70_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/** Results shared by every instrument command; other values are the instrument's status. */
enum Korvi70_Wynik {
    Korvi70_Wykonano = 0,      /**< done; the outputs are valid */
    Korvi70_Odrzucono = 1,     /**< an argument out of range: nothing was sent */
    Korvi70_BladWysylania = 2, /**< the link failed while sending (TCP: no reply in 2 s, or a server error) */
    Korvi70_BrakOdpowiedzi = 3 /**< time-out, wrong ID or transaction, echo or check mismatch, no terminator */
};

/* ---- link state ---- */

/** Link types, the values of Korvi70_TypLacza. */
enum Korvi70_TypyLacza {
    Korvi70_PolaczenieBezposrednieRS = 0, /**< direct serial connection */
    Korvi70_PolaczeniePrzezModem = 1,     /**< dial-up modem */
    Korvi70_PolaczeniePrzezKorviTCP = 2   /**< Korvi70 TCP server */
};

extern KORVI70_API unsigned char Korvi70_TypLacza;   /**< link type (Korvi70_TypyLacza); default 0 */
extern KORVI70_API int Korvi70_NrZlacza;             /**< COM number, 1..100; default 2 */
extern KORVI70_API unsigned char Korvi70_NrIdProg;   /**< own ID on the Korvi70 network; default 0x71 */
extern KORVI70_API double Korvi70_CzasOczekiwaniaRS; /**< serial time-out in seconds, 0.05..5; default 0.5 */
extern KORVI70_API unsigned char Korvi70_JestEcho;   /**< 1 when the line returns every sent byte (echo test) */
extern KORVI70_API int Korvi70_BladLacza;            /**< outcome of the last link primitive; 0 none */

/** Korvi70_BladLacza after a read that timed out. */
#define Korvi70_BladCzasu (-99)

/* ---- TCP settings and buffers ---- */

/** Size of the TCP transmit buffer and of the payload of the receive buffer. */
#define Korvi70_TCP_RozmiarBufora 1024
/** Envelope header: 'b' and four hex digits of the payload length. */
#define Korvi70_TCP_DlugoscNaglowka 5

extern KORVI70_API int Korvi70_NrPortuTCP;                /**< port of the Korvi70 TCP server; default 66 */
extern KORVI70_API char Korvi70_NazwaServeraKorviTCP[99]; /**< its host, up to 98 characters; default "127.0.0.1" */
extern KORVI70_API double Korvi70_TCPIP_TimeOut;          /**< milliseconds per TCP read and write, >= 5; default 500 */
extern KORVI70_API unsigned Korvi70_TCP_Uchwyt;           /**< handle of the conversation with the server */
extern KORVI70_API unsigned char Korvi70_TCP_Polaczony;   /**< 1 while the conversation is open */
/** Transmit buffer: bytes 0..4 are the envelope header, the payload starts at byte 5. */
extern KORVI70_API unsigned char Korvi70_TCP_BuforNad[Korvi70_TCP_RozmiarBufora];
extern KORVI70_API int Korvi70_TCP_IleNad; /**< bytes in the transmit buffer, header included */
/** Receive buffer: the reply mark (0x00 once accepted), the payload, then a synthesised 0x01. */
extern KORVI70_API unsigned char Korvi70_TCP_BuforOdb[1 + Korvi70_TCP_RozmiarBufora + 1];
extern KORVI70_API int Korvi70_TCP_DlugoscOdb;      /**< bytes in the receive buffer */
extern KORVI70_API int Korvi70_TCP_PozycjaOdb;      /**< read position in the receive buffer */
extern KORVI70_API int Korvi70_TCP_JestOdpowiedz;   /**< set by Korvi70_TCP_Client_Message when a reply came */
extern KORVI70_API char Korvi70_TCP_ZnakOdpowiedzi; /**< mark of the last reply: 'b' reply, 'c' server error */

/* ---- link primitives: by Korvi70_TypLacza to the serial port, nothing (modem) or TCP ---- */

/** Discards what waits to be sent; the outcome is in Korvi70_BladLacza. */
KORVI70_API int Korvi70_FlushOutQ(void);
/** Discards what was received and not read. */
KORVI70_API int Korvi70_FlushInQ(void);
/** Writes count bytes of buffer; returns how many went out (TCP: were taken into the envelope). */
KORVI70_API int Korvi70_ComWrt(const void *buffer, int count);
/** Clears count + 1 bytes of buffer (it must hold them), then reads up to count bytes within the time-out. */
KORVI70_API int Korvi70_ComRd(void *buffer, int count);
/** Writes one byte (TCP: 0x00 starts an envelope, 0x01 sends it and waits for the reply). */
KORVI70_API int Korvi70_ComWrtByte(int byte);
/** Reads one byte within the time-out; Korvi70_BladLacza is Korvi70_BladCzasu when none came. */
KORVI70_API int Korvi70_ComRdByte(void);
/** Reads until the terminator byte or count bytes; buffer holds count + 1 bytes. */
KORVI70_API int Korvi70_ComRdTerm(void *buffer, int count, int terminator);
/** Bytes waiting in the input queue (0 for the modem and TCP types). */
KORVI70_API int Korvi70_GetInQLen(void);
/** Bytes not yet sent (0 for the modem and TCP types). */
KORVI70_API int Korvi70_GetOutQLen(void);
/** The echo test run when a serial link opens: sets Korvi70_JestEcho; 0, or 2 when the link failed. */
KORVI70_API int Korvi70_SprawCzyJestEcho(void);

/* ---- the TCP envelope ---- */

/** Sends the transmit buffer as one envelope and waits up to 2 s for the reply; 0, or -1 when no conversation is open. */
KORVI70_API int Korvi70_TCP_Client_WyslijDane(void);
/** Event callback of the conversation: on data-ready reads one envelope into the receive buffer. Returns 1. */
KORVI70_API int Korvi70_TCP_Client_Message(unsigned handle, int event, int error, void *callbackData);

/* ---- steps of the hex frame, shared by every numbered command ---- */

/** Longest lead-in skipped while looking for the 0x00 that starts a reply. */
#define Korvi70_MaksDlugoscWstepu 1024

/** Sends the preamble and the header; writes the 8 header characters into text (at least 9 bytes). 0, 2 or 3. */
KORVI70_API int Korvi70_UtworzIWyslijStalaCzesc1Rozkazu(unsigned char destination, int transaction, int command,
                                                        char *text);
/** Checks the echo of header and data, appends the two check digits to text (room needed) and sends them. 0, 2 or 3. */
KORVI70_API int Korvi70_UtworzIWyslijStalaCzesc2Rozkazu(char *text);
/** Receives and checks the reply header; gives the status and the running check of its characters. 0 or 3. */
KORVI70_API int Korvi70_OdbierzStalaCzescOdpowiedzi(unsigned char destination, int transaction, char *text, int *status,
                                                    unsigned char *check);
/** Reads the rest of an echo of the request in text (after its first two characters) and compares it. 0 or 3. */
KORVI70_API int Korvi70_OdbierzEcho(char *text);

/* ---- connection configuration "C:\Korvi70.Kfg" and opening the link ---- */

extern KORVI70_API char Korvi70_NazwaZbioruZGrafika[261];     /**< panel file of the port and ID dialogs */
extern KORVI70_API unsigned char Korvi70_CzyPytacOPolaczenie; /**< 1: Korvi70_IniZlacze(1) asks for the link type */

/** Sets every setting to its default, then reads the file: 0 when read, -1 when it cannot be opened. */
KORVI70_API int Korvi70_OdczytajZbiorKonfig(void);
/** Reads the file (a missing file selects the fallback panel file) and asks for the link type when it says so. */
KORVI70_API void Korvi70_OdczytajKonfiguracjeKorvi70(void);
/** Opens the link: mode 1 reads the configuration first, mode 0 takes the link state as it is. 0 open, -1 failed, 1 bad mode. */
KORVI70_API int Korvi70_IniZlacze(int mode);
/** Closes the link: 0, or -1 when closing the serial port failed. */
KORVI70_API int Korvi70_ZamZlacze(void);

/* ---- generic commands every Korvi70 instrument answers ---- */

/** Width of the serial-number field; the read buffer holds it and a NUL. */
#define Korvi70_DlugoscNumeruSeryjnego 8
/** Width of the date-and-time field; the read buffer holds it and a NUL. */
#define Korvi70_DlugoscCzasuDaty 17

/** Command 1: the ID of whichever instrument is on the line (sent to ID 0). */
KORVI70_API int Korvi70_PodNrId(unsigned char *id);
/** Command 2: gives the instrument at current (0..255) the ID newId; 1 without traffic when they are equal. */
KORVI70_API int Korvi70_ZapNrId(int current, int newId);
/** Command 3: the 16-bit type code (model * 8 + hardware version - 1); a VGX52 gives 0x1B0..0x1B7. */
KORVI70_API int Korvi70_PrzedstawSie(unsigned char destination, int *typeCode);
/** Command 4: the basic value (carried as single precision). */
KORVI70_API int Korvi70_PodWartPodstawowa(unsigned char destination, double *value);
/** Command 5: writes the basic value, rounded to single precision; 1 for a value it cannot hold. */
KORVI70_API int Korvi70_ZapWartPodstawowa(unsigned char destination, double value);
/** Command 6: the 8-character serial number into text (at least 9 bytes), as it came. */
KORVI70_API int Korvi70_PodNumerSeryjny(unsigned char destination, char *text);
/** Command 7: writes exactly 8 characters (padded with blanks or cut); 1 for control characters. */
KORVI70_API int Korvi70_ZapNumerSeryjny(unsigned char destination, const char *text);
/** Command 9: the 17-character date and time into text (at least 18 bytes), as it came. */
KORVI70_API int Korvi70_PodCzasDate(unsigned char destination, char *text);
/** Command 10: writes exactly 17 characters of date and time (padded or cut). */
KORVI70_API int Korvi70_ZapCzasDate(unsigned char destination, const char *text);
/** Legacy no-operation 'H' to an address 2..255; 1 when Korvi70_NrZlacza is outside 1..4. */
KORVI70_API int Korvi70_NOP(int address);

/* ---- instrument names ---- */

/** Rows of the model table. */
#define Korvi70_LiczbaModeli 57
/** Longest row text, in bytes. */
#define Korvi70_MaksDlugoscOpisuModelu 99
/** Buffer for Korvi70_RozszerzNazwePrzyrzadu: the row, "; H.Ver.:" and a digit, "; S.Ver.:" and a number, NUL. */
#define Korvi70_RozmiarNazwyPrzyrzadu (99 + 9 + 1 + 9 + 11 + 1)

/** The instrument's description from its type code, with the hardware and (unless 0) software version. Always 0. */
KORVI70_API int Korvi70_RozszerzNazwePrzyrzadu(int typeCode, char *text, int softwareVersion);

/* ---- password and time-outs ---- */

/** Gives the service password to the instrument at address 2..255 (legacy 'D'). 0, 1, 2 or 3. */
KORVI70_API int Korvi70_PodajeHaslo(int address);
/** Withdraws the password (legacy 'E'). 0, 1, 2 or 3. */
KORVI70_API int Korvi70_KasujHaslo(int address);
/** Sets the open serial port's time-out: 1 when seconds is not above 0, -1 when refused, else 0 (modem, TCP: 0). */
KORVI70_API int Korvi70_ZmienCzasOczekiwania(double seconds);
/** Puts the serial port's time-out back to Korvi70_CzasOczekiwaniaRS: 0, or -1 when refused. */
KORVI70_API int Korvi70_PrzywrocCzasOczekiwania(void);

/* ---- I/O space (legacy frames 'F' and 'G') ---- */

/** Reads count (1..255) bytes from start (0..0xFFFF) of the instrument at address 2..255 into bytes. */
KORVI70_API int Korvi70_PodWeWy(int address, int start, int count, unsigned char *bytes);
/** Writes count bytes of bytes from start on. */
KORVI70_API int Korvi70_ZapWeWy(int address, int start, int count, const unsigned char *bytes);

/* ---- dialogs (modal, each with its own event loop) ---- */

/** Lets the operator choose COM1..COM4: 0 accepted (Korvi70_NrZlacza set), 4 cancelled; no panel file ends the process with 5. */
KORVI70_API int Korvi70_WybNrZl(void);
/** Reads an instrument's ID and writes new IDs: 0 when closed, 5 when its panel cannot be loaded. */
KORVI70_API int Korvi70_NadNrId(void);
/** Reads and writes up to 10 bytes of the I/O space at address: 0 closed, 1 Korvi70_NrZlacza outside 1..100, 5 no panel. */
KORVI70_API int Korvi70_EdytorWeWy(int address);
/** Dims the byte fields of the I/O editor's panel that lie beyond their counts. */
KORVI70_API void ObsEkrEdyt_UaktualnijAktywnoscPolOdczytowych(int panel);

/* ---- firmware and upgrade-loader commands (11 to 19) ---- */

/** Buffer for the sub-device text of command 14: 8 characters and the NUL. */
#define Korvi70_RozmiarTekstuUrzadPodrzed 9
/** Buffer for Korvi70_ZamienKodRestartuDoTekstu: long enough for all five causes. */
#define Korvi70_RozmiarTekstuKoduRestartu 64
/** Largest byte count of one command 18. */
#define Korvi70_MaksDanychBuforaFLASH 255

/** Command 11: the internal software version (16 bits). */
KORVI70_API int Korvi70_PodWerOprogWewn(unsigned char destination, int *version);
/** Command 12: starts the level-1 loader; 0 once it announced itself with "OK". */
KORVI70_API int Korvi70_UruchomUpgradeLoader(unsigned char destination);
/** Command 13: the number of subordinate devices (0..255). */
KORVI70_API int Korvi70_PodIleUrzadPodrzed(unsigned char destination, int *count);
/** Command 14: two codes, two 16-bit values and the 8-character text (Korvi70_RozmiarTekstuUrzadPodrzed bytes) of device 0..255. */
KORVI70_API int Korvi70_PodIlnfoOUrzadPodrzed(unsigned char destination, int device, unsigned char *code1,
                                              unsigned char *code2, int *value1, int *value2, char *text);
/** Command 15: the restart code (reset-cause flags). */
KORVI70_API int Korvi70_PodKodRestartu(unsigned char destination, unsigned char *code);
/** Command 16: starts the level-2 loader. */
KORVI70_API int Korvi70_UruchomUpgradeLoaderL2(unsigned char destination);
/** Command 17: closes the level-2 loader. */
KORVI70_API int Korvi70_ZamknijUpgradeLoaderL2(unsigned char destination);
/** Command 18: n (0..255) bytes of data into the flash page buffer at offset (0..65535). */
KORVI70_API int Korvi70_ZapiszDoBuforaPamieciFLASHUL2(unsigned char destination, int offset, int n,
                                                      const unsigned char *data);
/** Command 19: the page buffer into flash page page (0..65535). */
KORVI70_API int Korvi70_ZapiszBuforDoPamieciFLASHUL2(unsigned char destination, int page);
/** The causes set in a restart code as "JTAG, WatchDog, ..." (processor types 1 and 3); 0, or 1 for a null text. */
KORVI70_API int Korvi70_ZamienKodRestartuDoTekstu(unsigned char code, int processorType, char *text);

/* ---- dial-up modem on COM1..COM4 ----
 * The port passed is the link's own (Korvi70_NrZlacza), open as a direct
 * serial link. Results: 0 done, 1 an argument out of range (nothing sent),
 * 2 serial failure, 3 no reply, no "OK" or a failure word, 4 cancelled.
 * Outputs are written only on 0; text outputs hold 50 characters and a NUL. */

extern KORVI70_API double Korvi70_CzasOdpowiedziModemu; /**< reply time-out of every exchange, seconds; 0 at start */
extern KORVI70_API unsigned char Korvi70_EchoModemu;    /**< 1 = the modem echoes each command line */
extern KORVI70_API char Korvi70_ZnakKoncaTransmisji;    /**< the modem's escape character (S2); 0 = not read yet */
extern KORVI70_API unsigned char Korvi70_RecznyWyborNumeru; /**< 1 = the operator dials on the telephone set */
extern KORVI70_API unsigned char Korvi70_TrybWybierania;    /**< 0 tone ("ATDT"), 1 pulse ("ATDP") */
extern KORVI70_API int Korvi70_PredkoscPolaczenia;          /**< line speed of the last "CONNECT"; 0 at start */

/** "ATE1" (on = 1) or "ATE0": the modem's echo of command lines. */
KORVI70_API int Korvi70_Modem_LocalEcho(int port, char on);
/** "ATF0" (on = 1) or "ATF1": the echo of data. */
KORVI70_API int Korvi70_Modem_LocalEchoDanych(int port, char on);
/** "ATQ0", "ATV1", "ATX4": the result words the dialling relies on. */
KORVI70_API int Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(int port);
/** "ATY0".."ATY4": the start-up configuration n. */
KORVI70_API int Korvi70_Modem_ZapKonfiguracjeStartowa(int port, char n);
/** "AT&B0".."AT&B2": the serial speed mode n. */
KORVI70_API int Korvi70_Modem_ZapTrybUstPredkosciRS(int port, char n);
/** "AT&N" with the code of speed index 0..38: the lowest line speed. */
KORVI70_API int Korvi70_Modem_MinPredNaLaczuTelefon(int port, char speedIndex);
/** "AT&U" with the code of speed index 0..38: the highest line speed. */
KORVI70_API int Korvi70_Modem_MaxPredNaLaczuTelefon(int port, char speedIndex);
/** "ATZ0".."ATZ5": resets the modem to configuration n. */
KORVI70_API int Korvi70_ResetujModem(int port, char n);
/** "AT&W0" or "AT&W1": stores the settings as user configuration n. */
KORVI70_API int Korvi70_Modem_ZapUstDoKonfUzytkownika(int port, char n);
/** "AT&T" with the code of test index 0..7. */
KORVI70_API int Korvi70_Modem_Testuj(int port, char testIndex);
/** "ATH1": off hook. */
KORVI70_API int Korvi70_Modem_PodniesSluchawke(int port);
/** "ATH0": on hook. */
KORVI70_API int Korvi70_Modem_OdluzSluchawke(int port);
/** "ATX1": dialling without the line-signal check. */
KORVI70_API int Korvi70_Modem_ZablokujSprSygnaluNaLaczu(int port);
/** The number stored in slot 0..3 into number. */
KORVI70_API int Korvi70_Modem_PodNrTelZPamieci(int port, char slot, char *number);
/** Stores number (up to 50 printable characters) in slot 0..3. */
KORVI70_API int Korvi70_Modem_ZapNrTelDoPamieci(int port, char slot, const char *number);
/** S0: rings before the modem answers. */
KORVI70_API int Korvi70_Modem_PodOdbierzPolaczeniePoSygnalach(int port, int *rings);
/** S2: the escape character. */
KORVI70_API int Korvi70_Modem_PodZnakKoncaTransmisjiDanych(int port, char *character);
/** S7: seconds to wait for the connection. */
KORVI70_API int Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(int port, int *seconds);
/** S8: duration of a dialling pause. */
KORVI70_API int Korvi70_Modem_PodCzasTrwaniaPauzy(int port, int *pause);
/** S10 / 10: seconds of line disturbance tolerated (25.5: the check is off). */
KORVI70_API int Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(int port, double *seconds);
/** S0 = rings, 0..250. */
KORVI70_API int Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach(int port, int rings);
/** S2 = the character's code, 0..127. */
KORVI70_API int Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(int port, char character);
/** S7 = seconds, 0..250. */
KORVI70_API int Korvi70_Modem_ZapCzasOczekiwaniaNaPolaczenie(int port, int seconds);
/** S8 = pause, 0..250. */
KORVI70_API int Korvi70_Modem_ZapCzasTrwaniaPauzy(int port, int pause);
/** S10 = seconds * 10 for 0 to 25 seconds, or exactly 25.5 (register 255: the check off). */
KORVI70_API int Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(int port, double seconds);
/** "ATI3": the modem's product text. */
KORVI70_API int Korvi70_Modem_PodProductType(int port, char *text);
/** Switches the modem's echo on (Korvi70_EchoModemu = 1 once it answers) and reads its product text. */
KORVI70_API int Korvi70_IdentyfikujModem(int port, char *text);

/** The connect dialog: number, tone or pulse, manual or automatic dialling. */
KORVI70_API int Korvi70_PolaczModem(int port);
/** One connection attempt with the dialling panel; the number is read from connectPanel's number field. */
KORVI70_API int Korvi70_Polacz(int port, int connectPanel);
/** Dials number ("" takes the line the operator dialled), dialMode 0 tone, 1 pulse; diallingPanel 0 when none. */
KORVI70_API int Korvi70_WybierzNumer(int port, const char *number, char dialMode, int diallingPanel);
/** The dialling panel's timer callback: each tick advances the progress gauge. Returns 0. */
KORVI70_API int ObsEkrWybNr_Czas(int panel, int control, int event, void *callbackData, int eventData1, int eventData2);
/** Back to command mode, on hook, and the fixed settings again; the result of the fixed settings. */
KORVI70_API int Korvi70_RozlaczModem(int port);
/** The escape character three times: from data mode back to command mode. */
KORVI70_API int Korvi70_Modem_ZakonczTrybTransmisjiDanych(int port);
/** The modem configuration dialog: 0 when closed, 1 for a port outside 1..4. */
KORVI70_API int Korvi70_KonfiguracjaModemu(int port);

#ifdef __cplusplus
}
#endif

#endif /* KORVI70_H */

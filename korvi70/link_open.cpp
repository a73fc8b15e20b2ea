// Opening and closing the link described by the link state.
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "korvi70/tcp_client.h"
#include "platform/com.h"
#include "platform/tcp.h"
#include "ui/ui.h"

namespace {

int OpenSerial() {
    const int port = Korvi70_NrZlacza;
    if (platform::OpenComConfig(port, "", 38400, platform::kParityNone, 8, 1, 1024, 1024) < 0) return korvi70::kNotDone;
    // A port that opened but cannot be used is closed again, so that the
    // next attempt (or another program) finds it free.
    if (platform::SetComTime(port, Korvi70_CzasOczekiwaniaRS) < 0 || Korvi70_SprawCzyJestEcho() != 0) {
        platform::CloseCom(port);
        return korvi70::kNotDone;
    }
    // Every reply ends with 0x01: an adapter that passes on what it holds
    // at that byte spares each reply the wait for its latency timer.
    platform::SetComEventChar(port, 0x01);
    return 0;
}

int OpenTcp() {
    if (Korvi70_TCP_Polaczony) platform::DisconnectFromTCPServer(Korvi70_TCP_Uchwyt);
    Korvi70_TCP_Polaczony = 0;
    Korvi70_JestEcho = 0;  // no line between us and the server to echo
    Korvi70_TCP_IleNad = Korvi70_TCP_DlugoscNaglowka;
    Korvi70_TCP_JestOdpowiedz = 0;
    Korvi70_TCP_DlugoscOdb = 0;
    Korvi70_TCP_PozycjaOdb = 0;
    if (platform::ConnectToTCPServer(&Korvi70_TCP_Uchwyt, Korvi70_NrPortuTCP, Korvi70_NazwaServeraKorviTCP,
                                     Korvi70_TCP_Client_Message, nullptr, 0) < 0) {
        ui::MessagePopup("Wystapił błąd.", "Brak połączenia ze serverem Korvi70.");
        return korvi70::kNotDone;
    }
    Korvi70_TCP_Polaczony = 1;
    return 0;
}

}  // namespace

int Korvi70_IniZlacze(int mode) {
    if (mode == 1)
        Korvi70_OdczytajKonfiguracjeKorvi70();
    else if (mode != 0)
        return korvi70::kRefused;
    switch (Korvi70_TypLacza) {
    case Korvi70_PolaczenieBezposrednieRS: return OpenSerial();
    case Korvi70_PolaczeniePrzezModem: return 0;
    case Korvi70_PolaczeniePrzezKorviTCP: return OpenTcp();
    default: return korvi70::kNotDone;
    }
}

int Korvi70_ZamZlacze() {
    switch (Korvi70_TypLacza) {
    case Korvi70_PolaczenieBezposrednieRS: return platform::CloseCom(Korvi70_NrZlacza) < 0 ? -1 : 0;
    case Korvi70_PolaczeniePrzezKorviTCP:
        if (Korvi70_TCP_Polaczony) platform::DisconnectFromTCPServer(Korvi70_TCP_Uchwyt);
        Korvi70_TCP_Polaczony = 0;
        return 0;
    default: return 0;
    }
}

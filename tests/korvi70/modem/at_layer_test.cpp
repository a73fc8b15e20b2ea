// The AT command layer against a scripted modem: the command line each
// operation sends, its range checks and time-out, and how each reply rule
// judges the replies, with the read ending at the final result line and
// with the whole time-out waited out.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "korvi70/modem/modem.h"
#include "platform/com.h"
#include "scripted_modem.h"

namespace modem_test {
namespace {

constexpr double kSame = -1;  // the port's time-out is left as it was

struct LineCase {
    const char *name;
    std::function<int(int port)> run;
    int rc;
    std::string line;  // what goes out; "" when refused
    double factor;     // of Korvi70_CzasOdpowiedziModemu, or kSame
};

TEST_F(ModemTest, EachOperationSendsItsLineWithItsTimeoutAndRefusesArgumentsOutOfRange) {
    const LineCase cases[] = {
        {"echo on", [](int p) { return Korvi70_Modem_LocalEcho(p, 1); }, 0, "ATE1\r", 1},
        {"echo off", [](int p) { return Korvi70_Modem_LocalEcho(p, 0); }, 0, "ATE0\r", 1},
        {"echo 2", [](int p) { return Korvi70_Modem_LocalEcho(p, 2); }, 1, "", 0},
        {"data echo on", [](int p) { return Korvi70_Modem_LocalEchoDanych(p, 1); }, 0, "ATF0\r", 1},
        {"data echo off", [](int p) { return Korvi70_Modem_LocalEchoDanych(p, 0); }, 0, "ATF1\r", 1},
        {"fixed settings", [](int p) { return Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(p); }, 0, "ATQ0\rATV1\rATX4\r",
         1},
        {"start-up 4", [](int p) { return Korvi70_Modem_ZapKonfiguracjeStartowa(p, 4); }, 0, "ATY4\r", 10},
        {"start-up 5", [](int p) { return Korvi70_Modem_ZapKonfiguracjeStartowa(p, 5); }, 1, "", 0},
        {"speed mode 2", [](int p) { return Korvi70_Modem_ZapTrybUstPredkosciRS(p, 2); }, 0, "AT&B2\r", 1},
        {"speed mode 3", [](int p) { return Korvi70_Modem_ZapTrybUstPredkosciRS(p, 3); }, 1, "", 0},
        {"min 13", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 13); }, 0, "AT&N13\r", 1},
        {"min 14", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 14); }, 0, "AT&N17\r", 1},
        {"min 15", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 15); }, 0, "AT&N14\r", 1},
        {"min 16", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 16); }, 0, "AT&N18\r", 1},
        {"min 17", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 17); }, 0, "AT&N19\r", 1},
        {"min 18", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 18); }, 0, "AT&N15\r", 1},
        {"min 19", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 19); }, 0, "AT&N20\r", 1},
        {"min 20", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 20); }, 0, "AT&N21\r", 1},
        {"min 21", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 21); }, 0, "AT&N16\r", 1},
        {"min 22", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 22); }, 0, "AT&N22\r", 1},
        {"min 39", [](int p) { return Korvi70_Modem_MinPredNaLaczuTelefon(p, 39); }, 1, "", 0},
        {"max 14", [](int p) { return Korvi70_Modem_MaxPredNaLaczuTelefon(p, 14); }, 0, "AT&U17\r", 1},
        {"max 18", [](int p) { return Korvi70_Modem_MaxPredNaLaczuTelefon(p, 18); }, 0, "AT&U15\r", 1},
        {"max 21", [](int p) { return Korvi70_Modem_MaxPredNaLaczuTelefon(p, 21); }, 0, "AT&U16\r", 1},
        {"max 38", [](int p) { return Korvi70_Modem_MaxPredNaLaczuTelefon(p, 38); }, 0, "AT&U38\r", 1},
        {"max -1", [](int p) { return Korvi70_Modem_MaxPredNaLaczuTelefon(p, -1); }, 1, "", 0},
        {"reset 5", [](int p) { return Korvi70_ResetujModem(p, 5); }, 0, "ATZ5\r", 1},
        {"reset 6", [](int p) { return Korvi70_ResetujModem(p, 6); }, 1, "", 0},
        {"save 1", [](int p) { return Korvi70_Modem_ZapUstDoKonfUzytkownika(p, 1); }, 0, "AT&W1\r", 10},
        {"save 2", [](int p) { return Korvi70_Modem_ZapUstDoKonfUzytkownika(p, 2); }, 1, "", 0},
        {"test 1", [](int p) { return Korvi70_Modem_Testuj(p, 1); }, 0, "AT&T1\r", 1},
        {"test 2", [](int p) { return Korvi70_Modem_Testuj(p, 2); }, 0, "AT&T3\r", 1},
        {"test 7", [](int p) { return Korvi70_Modem_Testuj(p, 7); }, 0, "AT&T8\r", 1},
        {"test 8", [](int p) { return Korvi70_Modem_Testuj(p, 8); }, 1, "", 0},
        {"off hook", [](int p) { return Korvi70_Modem_PodniesSluchawke(p); }, 0, "ATH1\r", 1},
        {"on hook", [](int p) { return Korvi70_Modem_OdluzSluchawke(p); }, 0, "ATH0\r", 1},
        {"no line check", [](int p) { return Korvi70_Modem_ZablokujSprSygnaluNaLaczu(p); }, 0, "ATX1\r", 1},
        {"store 2", [](int p) { return Korvi70_Modem_ZapNrTelDoPamieci(p, 2, "5551234"); }, 0, "AT&Z2=5551234\r", 10},
        {"store 50 characters",
         [](int p) { return Korvi70_Modem_ZapNrTelDoPamieci(p, 0, std::string(50, '7').c_str()); }, 0,
         "AT&Z0=" + std::string(50, '7') + "\r", 10},
        {"store 51 characters",
         [](int p) { return Korvi70_Modem_ZapNrTelDoPamieci(p, 0, std::string(51, '7').c_str()); }, 1, "", 0},
        {"store a CR", [](int p) { return Korvi70_Modem_ZapNrTelDoPamieci(p, 0, "555\rATZ"); }, 1, "", 0},
        {"store slot 4", [](int p) { return Korvi70_Modem_ZapNrTelDoPamieci(p, 4, "1"); }, 1, "", 0},
        {"S0 5", [](int p) { return Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach(p, 5); }, 0, "ATS0=005\r", 1},
        {"S0 251", [](int p) { return Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach(p, 251); }, 1, "", 0},
        {"S0 -1", [](int p) { return Korvi70_Modem_ZapOdbierzPolaczeniePoSygnalach(p, -1); }, 1, "", 0},
        {"S2 +", [](int p) { return Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(p, '+'); }, 0, "ATS2=043\r", 1},
        {"S2 code 200", [](int p) { return Korvi70_Modem_ZapZnakKoncaTransmisjiDanych(p, static_cast<char>(200)); }, 1,
         "", 0},
        {"S7 250", [](int p) { return Korvi70_Modem_ZapCzasOczekiwaniaNaPolaczenie(p, 250); }, 0, "ATS7=250\r", 1},
        {"S8 0", [](int p) { return Korvi70_Modem_ZapCzasTrwaniaPauzy(p, 0); }, 0, "ATS8=000\r", 1},
        {"S10 25.5", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, 25.5); }, 0, "ATS10=255\r", 1},
        {"S10 25.0", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, 25.0); }, 0, "ATS10=250\r", 1},
        {"S10 2.04", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, 2.04); }, 0, "ATS10=020\r", 1},
        {"S10 2.06", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, 2.06); }, 0, "ATS10=021\r", 1},
        {"S10 1.15", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, 1.15); }, 0, "ATS10=012\r", 1},
        {"S10 25.2", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, 25.2); }, 1, "", 0},
        {"S10 -0.1", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, -0.1); }, 1, "", 0},
        {"S10 NaN", [](int p) { return Korvi70_Modem_ZapMaxCzasZaklocenNaLaczu(p, std::nan("")); }, 1, "", 0},
        {"S7 read",
         [](int p) {
             int v;
             return Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(p, &v);
         },
         0, "ATS7?\r", 1},
        {"S10 read",
         [](int p) {
             double v;
             return Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(p, &v);
         },
         0, "ATS10?\r", 1},
        {"number read",
         [](int p) {
             char t[51];
             return Korvi70_Modem_PodNrTelZPamieci(p, 1, t);
         },
         0, "AT&Z1?\r", 1},
        {"product",
         [](int p) {
             char t[51];
             return Korvi70_Modem_PodProductType(p, t);
         },
         0, "ATI3\r", kSame},
        {"escape, none read yet", [](int p) { return Korvi70_Modem_ZakonczTrybTransmisjiDanych(p); }, 0, "+++", 10},
    };
    AnswerAll(Ok());
    for (const LineCase &c : cases) {
        SCOPED_TRACE(c.name);
        modem_.Clear();
        platform::SetComTime(kPort, 0.7);
        EXPECT_EQ(c.run(kPort), c.rc);
        EXPECT_EQ(modem_.Written(), c.line);
        if (c.rc == 0) {
            EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), c.factor == kSame ? 0.7 : c.factor * 0.02);
        }
    }
    for (int port : {0, 5}) {
        EXPECT_EQ(Korvi70_Modem_OdluzSluchawke(port), 1);
        EXPECT_EQ(Korvi70_Modem_ZakonczTrybTransmisjiDanych(port), 1);
        EXPECT_EQ(Korvi70_IdentyfikujModem(port, nullptr), 1);
    }
    // A reply time-out not set yet (0 at start) is taken as the dialogs' 0.2 s.
    Korvi70_CzasOdpowiedziModemu = 0;
    EXPECT_EQ(Korvi70_Modem_ZapUstDoKonfUzytkownika(kPort, 0), 0);
    EXPECT_DOUBLE_EQ(platform::GetComTime(kPort), 2.0);
    // The escape character read from the modem is the one sent.
    Korvi70_ZnakKoncaTransmisji = '#';
    modem_.Clear();
    EXPECT_EQ(Korvi70_Modem_ZakonczTrybTransmisjiDanych(kPort), 0);
    EXPECT_EQ(modem_.Written(), "###");
}

// One read judged by its rule: the result and the output as text
// ("-" when the output was left alone).
struct VerdictCase {
    const char *name;
    std::string reply;
    bool echo;  // the flag and the modem's echo together
    std::function<int(int port, std::string &output)> run;
    int rc;
    std::string output;
};

int S7(int p, std::string &out) {
    int v = -7;
    const int rc = Korvi70_Modem_PodCzasOczekiwaniaNaPolaczenie(p, &v);
    out = v == -7 ? "-" : std::to_string(v);
    return rc;
}
int S2(int p, std::string &out) {
    char c = '~';
    const int rc = Korvi70_Modem_PodZnakKoncaTransmisjiDanych(p, &c);
    out = c == '~' ? "-" : std::string(1, c);
    return rc;
}
int S10(int p, std::string &out) {
    double v = -7;
    const int rc = Korvi70_Modem_PodMaxCzasZaklocenNaLaczu(p, &v);
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    out = v == -7 ? "-" : text;
    return rc;
}
int Number(int p, std::string &out) {
    char t[51] = "-";
    const int rc = Korvi70_Modem_PodNrTelZPamieci(p, 1, t);
    out = t;
    return rc;
}
int Product(int p, std::string &out) {
    char t[51] = "-";
    const int rc = Korvi70_Modem_PodProductType(p, t);
    out = t;
    return rc;
}
int Ack(int p, std::string &out) {
    out = "-";
    return Korvi70_Modem_OdluzSluchawke(p);
}
int StoreNumber(int p, std::string &out) {
    out = "-";
    return Korvi70_Modem_ZapNrTelDoPamieci(p, 0, "12");
}

TEST_P(ModemLineTest, RepliesGiveTheSameVerdictsWhetherTheReadEndsAtTheFinalLineOrWaitsItsTimeOut) {
    const std::string longText(60, 'x');
    const VerdictCase cases[] = {
        {"S7 echoed", Value("050"), true, S7, 0, "50"},
        {"S7 not echoed", Value("050"), false, S7, 0, "50"},
        {"S2 +", Value("043"), true, S2, 0, "+"},
        {"S10 255", Value("255"), false, S10, 0, "25.5"},
        {"S10 020", Value("020"), true, S10, 0, "2"},
        {"register ERROR", "\r\nERROR\r\n", true, S7, 3, "-"},
        {"register without OK", "\r\n050\r\n", false, S7, 3, "-"},
        {"register OK without a number", Ok(), false, S7, 0, "-"},
        {"register silent", "", false, S7, 3, "-"},
        {"ack ok in small letters", "\r\nok\r\n", false, Ack, 0, "-"},
        {"ack ERROR", "\r\nERROR\r\n", true, Ack, 3, "-"},
        {"ack NO CARRIER", "\r\nNO CARRIER\r\n", false, Ack, 3, "-"},
        {"ack silent", "", true, Ack, 3, "-"},
        {"number", Value("5551234"), true, Number, 0, "5551234"},
        {"number not echoed", Value("0W22"), false, Number, 0, "0W22"},
        {"empty slot", Ok(), true, Number, 0, ""},
        {"number ERROR", "\r\nERROR\r\n", true, Number, 3, "-"},
        {"store OK", Ok(), true, StoreNumber, 0, "-"},
        {"store ERROR", "\r\nERROR\r\n", true, StoreNumber, 3, "-"},
        {"product", Value("VGX Modem 56k"), true, Product, 0, "VGX Modem 56k"},
        {"product ERROR is read as the text", "\r\nERROR\r\n", false, Product, 0, "ERROR"},
        {"product without OK", "\r\nHayes\r\n", false, Product, 0, "Hayes"},
        {"product cut to 50", Value(longText), true, Product, 0, longText.substr(0, 50)},
        {"product silent", "", false, Product, 3, "-"},
    };
    for (const bool early : {true, false}) {
        korvi70::modem::SetEarlyEnd(early);
        for (const VerdictCase &c : cases) {
            SCOPED_TRACE(std::string(c.name) + (early ? ", early end" : ", whole time-out"));
            modem_.echo = c.echo;
            Korvi70_EchoModemu = c.echo ? 1 : 0;
            AnswerAll(c.reply);
            std::string output;
            EXPECT_EQ(c.run(kPort, output), c.rc);
            EXPECT_EQ(output, c.output);
        }
    }
}

TEST_F(ModemTest, AShortProductTextBeepsAndIsStillRead) {
    AnswerAll(Value("ABC"));
    const int before = korvi70::modem::BeepCount();
    std::string output;
    EXPECT_EQ(Product(kPort, output), 0);
    EXPECT_EQ(output, "ABC");
    EXPECT_EQ(korvi70::modem::BeepCount(), before + 1);
    AnswerAll(Value("ABCDE"));
    EXPECT_EQ(Product(kPort, output), 0);
    EXPECT_EQ(korvi70::modem::BeepCount(), before + 1);
}

TEST_F(ModemTest, IdentificationSwitchesTheEchoOnAndReadsTheProductText) {
    // The modem was left without its echo: it echoes from the "ATE1" on.
    modem_.SetResponder([&](const std::string &line) {
        if (line == "ATE1") modem_.echo = true;
        return line == "ATI3" ? Value("Hayes 288") : Ok();
    });
    char text[51] = "";
    EXPECT_EQ(Korvi70_IdentyfikujModem(kPort, text), 0);
    EXPECT_STREQ(text, "Hayes 288");
    EXPECT_EQ(Korvi70_EchoModemu, 1);
    EXPECT_EQ(modem_.Written(), "ATE1\rATI3\r");
    // Again with the echo on: "OK" after the echoed line.
    modem_.Clear();
    EXPECT_EQ(Korvi70_IdentyfikujModem(kPort, text), 0);
    EXPECT_STREQ(text, "Hayes 288");
    Korvi70_EchoModemu = 0;
    modem_.SetResponder([](const std::string &) { return std::string("\r\nERROR\r\n"); });
    EXPECT_EQ(Korvi70_IdentyfikujModem(kPort, text), 3);
    EXPECT_EQ(Korvi70_EchoModemu, 1) << "something came: the modem echoes now";
    modem_.SetResponder(nullptr);
    modem_.echo = false;
    Korvi70_EchoModemu = 0;
    EXPECT_EQ(Korvi70_IdentyfikujModem(kPort, text), 3);
    EXPECT_EQ(Korvi70_EchoModemu, 0);
}

TEST_F(ModemTest, TheFixedSettingsStopAtTheFirstLineNotAcknowledged) {
    modem_.SetResponder([](const std::string &line) { return line == "ATV1" ? "\r\nERROR\r\n" : Ok(); });
    EXPECT_EQ(Korvi70_Modem_ZapUstawieniaStaleDlaKorvi70(kPort), 3);
    EXPECT_EQ(modem_.Written(), "ATQ0\rATV1\r");
}

}  // namespace

// The three lines every ModemLineTest case runs on (its cases are here and in
// dialling_test.cpp): replies whole and at once, paced at 9600 baud, split.
INSTANTIATE_TEST_SUITE_P(Lines, ModemLineTest,
                         ::testing::Values(ModemLine{"whole", {}, 0.02},
                                           ModemLine{"paced", sim::LineSettings{9600, 0, 0, 0, 1}, 0.12},
                                           ModemLine{"split", sim::LineSettings{0, 0, 4, 0.003, 1}, 0.12}),
                         [](const ::testing::TestParamInfo<ModemLine> &info) { return std::string(info.param.name); });

}  // namespace modem_test

// Every operation of the libraries that writes a text into a caller's
// buffer, given more text with Polish letters than the buffer it documents
// can hold. The buffer lies between guard bytes that must survive (and the
// sanitizer watches past them), and it holds the longest run of whole
// characters that fits, terminated.
#include <gtest/gtest.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "fake_line.h"
#include "korvi70/generic_commands.h"
#include "korvi70/link.h"
#include "korvi70/loader_commands.h"
#include "korvi70/model_names.h"
#include "korvi70/modem/modem.h"
#include "korvi70/transaction.h"
#include "korvi70/wire_values.h"
#include "modem/scripted_modem.h"
#include "platform/com.h"
#include "toolvane/folders.h"
#include "toolvane/serial_associates.h"
#include "toolvane/time2000.h"

namespace {

namespace fs = std::filesystem;

std::string Times(std::string_view text, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

const std::string kLetters = "x" + Times("ą", 30);  // 61 bytes: a byte cut would split a letter

// The link starts on the scripted modem; an instrument row puts a scripted
// instrument on the same port.
class TextBuffers : public modem_test::ModemTest {
protected:
    void TearDown() override {
        ModemTest::TearDown();
        Toolvane_ZbiorSkojarzenNumerowSeryjnych[0] = '\0';
        std::error_code ignored;
        if (!folder_.empty()) fs::remove_all(folder_, ignored);
    }

    void Open(platform::ComDevice *device) {
        platform::CloseCom(kPort);
        platform::AttachComDevice(kPort, device);
        ASSERT_EQ(platform::OpenComConfig(kPort, "", 38400, platform::kParityNone, 8, 1, 1024, 1024), 0);
        ASSERT_EQ(platform::SetComTime(kPort, Korvi70_CzasOczekiwaniaRS), 0);
    }

    // The instrument answers every request with status 0 and these data characters.
    void InstrumentSends(const std::string &data) {
        instrument_.SetResponder([data](std::string_view frame) {
            unsigned destination = 0, transaction = 0;
            if (frame.size() < 8 || !korvi70::ParseHex(frame.substr(0, 2), &destination) ||
                !korvi70::ParseHex(frame.substr(4, 2), &transaction))
                return std::string();
            return korvi70_test::HexReply(destination, transaction, 0, data);
        });
        Open(&instrument_);
    }

    // The modem, its echo on, answers "OK" to "ATE1" and `value` to anything else.
    void ModemSends(const std::string &value) {
        modem_.echo = true;
        Korvi70_EchoModemu = 1;
        modem_.SetResponder(
            [value](const std::string &line) { return line == "ATE1" ? modem_test::Ok() : modem_test::Value(value); });
        Open(&modem_);
    }

    // The associates file holds one line (Windows-1250 bytes) and is read.
    void AssociatesHold(const std::string &line) {
        folder_ = fs::temp_directory_path() / ("text-buffers-" + std::to_string(::getpid()));
        fs::create_directories(folder_);
        const fs::path file = folder_ / "serial number associates.txt";
        std::ofstream(file, std::ios::binary) << line << "\r\n";
        std::snprintf(Toolvane_ZbiorSkojarzenNumerowSeryjnych, sizeof Toolvane_ZbiorSkojarzenNumerowSeryjnych, "%s",
                      file.c_str());
        ASSERT_EQ(Toolvane_ReadSerialAssociatesFile(), 0);
    }

    korvi70_test::FakeLine instrument_;
    fs::path folder_;
};

TEST_F(TextBuffers, NoOperationWritesPastTheBufferItDocuments) {
    // 32 "ą" and 1 + 255 letters in Windows-1250: 64 and 511 bytes in UTF-8.
    const std::string associates = "#A1 \"" + Times("\xB9", 32) + "\" \"x" + Times("\xB9", 255) + "\"";
    struct Row {
        const char *operation;
        int size;  // the buffer the operation documents
        std::function<void()> feed;
        std::function<int(char *)> call;
        int result;
        std::string text;  // what the buffer holds after the call
    } rows[] = {
        {"Korvi70_PodNumerSeryjny", Korvi70_DlugoscNumeruSeryjnego + 1, [&] { InstrumentSends("ąąąą"); },
         [](char *out) { return Korvi70_PodNumerSeryjny(0, out); }, 0, "ąąąą"},
        {"Korvi70_PodCzasDate", Korvi70_DlugoscCzasuDaty + 1, [&] { InstrumentSends("x" + Times("ą", 8)); },
         [](char *out) { return Korvi70_PodCzasDate(0, out); }, 0, "x" + Times("ą", 8)},
        {"Korvi70_PodIlnfoOUrzadPodrzed", Korvi70_RozmiarTekstuUrzadPodrzed,
         [&] { InstrumentSends("0102ABCD0004ąąąą"); },
         [](char *out) {
             unsigned char code1 = 0, code2 = 0;
             int value1 = 0, value2 = 0;
             return Korvi70_PodIlnfoOUrzadPodrzed(0, 5, &code1, &code2, &value1, &value2, out);
         },
         0, "ąąąą"},
        {"Korvi70_RozszerzNazwePrzyrzadu", Korvi70_RozmiarNazwyPrzyrzadu, [] {},
         [](char *out) { return Korvi70_RozszerzNazwePrzyrzadu(439, out, INT_MIN); }, 0,
         "Miernik parametrów gazu, model VGX52; H.Ver.:8; S.Ver.:-2147483648"},
        {"Korvi70_ZamienKodRestartuDoTekstu", Korvi70_RozmiarTekstuKoduRestartu, [] {},
         [](char *out) { return Korvi70_ZamienKodRestartuDoTekstu(0xFF, 1, out); }, 0,
         "JTAG, WatchDog, Brown-Out, External input, Power On Reset"},
        {"Korvi70_Modem_PodProductType", 51, [&] { ModemSends(kLetters); },
         [](char *out) { return Korvi70_Modem_PodProductType(kPort, out); }, 0, "x" + Times("ą", 24)},
        {"Korvi70_IdentyfikujModem", 51, [&] { ModemSends(kLetters); },
         [](char *out) { return Korvi70_IdentyfikujModem(kPort, out); }, 0, "x" + Times("ą", 24)},
        // Its "OK" must come within the 50 characters kept, so the number is shorter.
        {"Korvi70_Modem_PodNrTelZPamieci", 51, [&] { ModemSends("x" + Times("ą", 21)); },
         [](char *out) { return Korvi70_Modem_PodNrTelZPamieci(kPort, 2, out); }, 0, "x" + Times("ą", 21)},
        {"Toolvane_GetShortCommentFromIndex", 33, [&] { AssociatesHold(associates); },
         [](char *out) { return Toolvane_GetShortCommentFromIndex(0, out); }, 0, Times("ą", 16)},
        {"Toolvane_GetFullCommentFromIndex", 257, [&] { AssociatesHold(associates); },
         [](char *out) { return Toolvane_GetFullCommentFromIndex(0, out); }, 0, "x" + Times("ą", 127)},
        {"Toolvane_GetShortCommentFromIndexN", Toolvane_RozmiarKomentarzaKrotkiego, [&] { AssociatesHold(associates); },
         [](char *out) { return Toolvane_GetShortCommentFromIndexN(0, out, Toolvane_RozmiarKomentarzaKrotkiego); }, 0,
         Times("ą", 32)},
        {"Toolvane_GetFullCommentFromIndexN", Toolvane_RozmiarKomentarzaPelnego, [&] { AssociatesHold(associates); },
         [](char *out) { return Toolvane_GetFullCommentFromIndexN(0, out, Toolvane_RozmiarKomentarzaPelnego); }, 0,
         "x" + Times("ą", 255)},
        {"Toolvane_SekundyDoSTRINGa", 20, [] {},
         [](char *out) { return Toolvane_SekundyDoSTRINGa(2147483647.0, out, 0); }, 0, "24855 days 03:14:07"},
        // Ten bytes that are nine characters: no date, and moving its bytes would split the letter.
        {"Toolvane_ZamienFormatDatyUS2PL", 10, [] {},
         [](char *out) { return Toolvane_ZamienFormatDatyUS2PL("12-3ą-202", out); }, 1, ""},
        {"Toolvane_ZamienFormatDatyUS2PL", 10, [] {},
         [](char *out) { return Toolvane_ZamienFormatDatyUS2PL("12-31-2026", out); }, 0, "31-12-2026"},
        {"Toolvane_RozszerzOznaczenieRoku", 11, [] {},
         [](char *out) {
             std::memcpy(out, "07-1ą-2", 9);
             return Toolvane_RozszerzOznaczenieRoku(out);
         },
         1, "07-1ą-2"},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.operation);
        row.feed();
        // Guards of 8 bytes inside the allocation; the sanitizer watches beyond it.
        const std::size_t size = static_cast<std::size_t>(row.size);
        std::vector<char> memory(8 + size + 8, '#');
        char *out = memory.data() + 8;
        std::memset(out, '\0', size);
        EXPECT_EQ(row.call(out), row.result);
        // The date conversion writes its ten characters without a terminator.
        EXPECT_EQ(std::string(out, strnlen(out, size)), row.text);
        EXPECT_EQ(std::string(memory.begin(), memory.begin() + 8), std::string(8, '#')) << "written before the buffer";
        EXPECT_EQ(std::string(memory.end() - 8, memory.end()), std::string(8, '#')) << "written past the buffer";
    }
}

}  // namespace

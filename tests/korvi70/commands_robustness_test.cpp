// Random replies to every command: no crash, nothing written outside the
// callers' buffers (the sanitizers watch), texts always terminated, and
// only the result codes a reply can give.
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "korvi70/commands.h"
#include "korvi70/frame_hex.h"
#include "korvi70/link.h"
#include "platform/com.h"
#include "tests/korvi70/fake_line.h"
#include "vgx52/registers.h"

namespace {

using korvi70_test::FakeLineTest;

class CommandsOnRandomReplies : public FakeLineTest {
protected:
    void SetUp() override {
        FakeLineTest::SetUp();
        // Short waits: most random replies end in a time-out.
        ASSERT_EQ(platform::SetComTime(kPort, 0.002), 0);
    }

    // A reply with a plausible header (so the data and check are reached)
    // or plain noise.
    std::string RandomReply(std::string_view frame) {
        std::string reply;
        const int kind = static_cast<int>(random() % 4);
        if (kind == 0) {
            reply.resize(random() % 64);
            for (char &c : reply) c = static_cast<char>(random());
            return reply;
        }
        static constexpr char kChars[] = "0123456789ABCDEFabcdefgz \x01";
        std::string data(random() % 40, ' ');
        for (char &c : data) c = kChars[random() % (sizeof kChars - 1)];
        const std::string destination(frame.substr(0, 2));
        reply = std::string("\x00", 1) + "71" + destination + "29" + (kind == 1 ? "07" : "00") + data;
        if (kind == 3) {
            unsigned char check = korvi70::XorCheck(reply.substr(1));
            char digits[2];
            korvi70::PutHex(digits, check, 2);
            reply.append(digits, 2);
            reply += '\x01';
        }
        return reply;
    }

    std::mt19937 random{20240131};
};

bool Expected(int rc) { return rc == 0 || rc == 3 || rc == 7; }

TEST_F(CommandsOnRandomReplies, EveryCommandSurvives) {
    line_.SetResponder([this](std::string_view frame) { return RandomReply(frame); });
    char serial[Korvi70_DlugoscNumeruSeryjnego + 1];
    char clock[Korvi70_DlugoscCzasuDaty + 1];
    char subText[Korvi70_RozmiarTekstuUrzadPodrzed];
    unsigned char byte = 0, code1 = 0, code2 = 0;
    int number = 0, value1 = 0, value2 = 0;
    double real = 0;
    const unsigned char page[64] = {};
    const std::vector<std::function<int()>> commands = {
        [&] { return Korvi70_PodNrId(&byte); },
        [&] { return Korvi70_ZapNrId(0, 7); },
        [&] { return Korvi70_PrzedstawSie(0, &number); },
        [&] { return Korvi70_PodWartPodstawowa(0, &real); },
        [&] { return Korvi70_PodNumerSeryjny(0, serial); },
        [&] { return Korvi70_PodCzasDate(0, clock); },
        [&] { return Korvi70_PodWerOprogWewn(0, &number); },
        [&] { return Korvi70_UruchomUpgradeLoader(0); },
        [&] { return Korvi70_PodIleUrzadPodrzed(0, &number); },
        [&] { return Korvi70_PodIlnfoOUrzadPodrzed(0, 1, &code1, &code2, &value1, &value2, subText); },
        [&] { return Korvi70_PodKodRestartu(0, &byte); },
        [&] { return Korvi70_ZapiszDoBuforaPamieciFLASHUL2(0, 0, 64, page); },
        [&] { return VGX52_PodKod(0, 'A', &number); },
        [&] { return VGX52_PodWartFloat(0, 'E', &real); },
        [&] { return VGX52_PodWartInt(0, 'A', &number); },
        [&] { return VGX52_PodKrokWzorCisn(0, 1, 'A', &real); },
    };
    for (int round = 0; round < 60; ++round) {
        for (std::size_t i = 0; i < commands.size(); ++i) {
            std::memset(serial, 'x', sizeof serial);
            std::memset(clock, 'x', sizeof clock);
            std::memset(subText, 'x', sizeof subText);
            const int rc = commands[i]();
            EXPECT_TRUE(Expected(rc)) << "command " << i << " gave " << rc;
            if (rc != 0) continue;
            // A text that came is always terminated at its width.
            EXPECT_TRUE(i != 4 || serial[Korvi70_DlugoscNumeruSeryjnego] == '\0');
            EXPECT_TRUE(i != 5 || clock[Korvi70_DlugoscCzasuDaty] == '\0');
            EXPECT_TRUE(i != 9 || subText[Korvi70_RozmiarTekstuUrzadPodrzed - 1] == '\0');
        }
    }
}

}  // namespace

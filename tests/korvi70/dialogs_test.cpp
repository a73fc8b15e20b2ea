// The port-selection and ID dialogs and the I/O editor on the headless back
// end, against the simulated instrument.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "korvi70/config.h"
#include "korvi70/dialogs.h"
#include "korvi70/link.h"
#include "link_fixture.h"
#include "platform/com.h"
#include "tests/support/current_folder.h"
#include "ui/Korvi70G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace korvi70_test {
namespace {

namespace fs = std::filesystem;
using ui::headless::ByResource;

std::string SourcePanelFile() {
    const char *source = std::getenv("VGX52_SOURCE");
    return std::string(source != nullptr ? source : ".") + "/ui/Korvi70G.Uir";
}

// A pseudo-terminal whose terminal end stands for a serial device.
class Pty {
public:
    Pty() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) name_ = ptsname(master_);
    }
    ~Pty() {
        if (master_ >= 0) close(master_);
    }
    const std::string &Name() const { return name_; }

private:
    int master_ = -1;
    std::string name_;
};

class DialogTest : public SimLinkTest {
protected:
    void SetUp() override {
        SimLinkTest::SetUp();
        ui::headless::Install();
        std::snprintf(Korvi70_NazwaZbioruZGrafika, sizeof Korvi70_NazwaZbioruZGrafika, "%s", SourcePanelFile().c_str());
    }
    void TearDown() override {
        for (int port = 1; port <= 4; ++port) fs::remove(TestDriveRoot() + "/com" + std::to_string(port));
        ui::SetProjectFolder(nullptr);
        SimLinkTest::TearDown();
    }
    void LinkPort(int port, const std::string &target) {
        fs::remove(TestDriveRoot() + "/com" + std::to_string(port));
        fs::create_symlink(target, TestDriveRoot() + "/com" + std::to_string(port));
    }
    int Value(int control) {
        int value = -1;
        ui::GetCtrlVal(ui::model::FindPanelByResource(resource_), control, &value);
        return value;
    }
    int Attribute(int control, int attribute) {
        int value = -1;
        ui::GetCtrlAttribute(ui::model::FindPanelByResource(resource_), control, attribute, &value);
        return value;
    }
    std::string Text(int control) {
        std::string text;
        ui::GetCtrlVal(ui::model::FindPanelByResource(resource_), control, &text);
        return text;
    }
    // Runs a test's check while the dialog is up.
    template <class F>
    void While(F &&check) {
        ui::headless::QueueAction(std::forward<F>(check));
    }
    int resource_ = 0;
};

// ---- port selection ----

class PortDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        resource_ = PANEL_WYBZL;
        LinkPort(1, free_.Name());
        LinkPort(2, held_.Name());
        LinkPort(3, TestDriveRoot() + "/no-such-device");
        LinkPort(4, free2_.Name());
        // Another port number of this process holds COM2's device.
        LinkPort(kHolder, held_.Name());
        ASSERT_EQ(platform::OpenComConfig(kHolder, "", 38400, 0, 8, 1, 1024, 1024), 0);
    }
    void TearDown() override {
        platform::CloseCom(kHolder);
        fs::remove(TestDriveRoot() + "/com" + std::to_string(kHolder));
        DialogTest::TearDown();
    }
    static constexpr int kHolder = 40;
    Pty free_, held_, free2_;
};

TEST_F(PortDialogTest, EachPortShowsItsStateAndTheCurrentOneIsPreselected) {
    Korvi70_NrZlacza = 4;
    While([&] {
        EXPECT_EQ(Text(PANEL_WYBZL_STAN1), "wolny");
        EXPECT_EQ(Text(PANEL_WYBZL_STAN2), "zajęty");
        EXPECT_EQ(Text(PANEL_WYBZL_STAN3), "niedostępny");
        EXPECT_EQ(Attribute(PANEL_WYBZL_STAN1, ui::ATTR_TEXT_COLOR), 0x00FF00);  // green
        EXPECT_EQ(Attribute(PANEL_WYBZL_STAN2, ui::ATTR_TEXT_COLOR), 0xFF0000);  // red
        EXPECT_EQ(Attribute(PANEL_WYBZL_STAN3, ui::ATTR_TEXT_COLOR), 0x0000FF);  // blue
        EXPECT_EQ(Attribute(PANEL_WYBZL_COM3, ui::ATTR_DIMMED), 1);
        EXPECT_EQ(Attribute(PANEL_WYBZL_COM2, ui::ATTR_DIMMED), 0) << "a port in use can still be chosen";
        EXPECT_EQ(Value(PANEL_WYBZL_COM4), 1);
        EXPECT_EQ(Value(PANEL_WYBZL_COM1), 0);
        EXPECT_EQ(ui::model::TopPopup(), ui::model::FindPanelByResource(PANEL_WYBZL));
    });
    ui::headless::QueueCommit(ByResource(PANEL_WYBZL), PANEL_WYBZL_AKCEPTUJ);
    EXPECT_EQ(Korvi70_WybNrZl(), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 4);
    EXPECT_TRUE(ui::headless::Failures().empty());
    EXPECT_EQ(ui::model::FindPanelByResource(PANEL_WYBZL), 0) << "the dialog's panel is gone";
}

TEST_F(PortDialogTest, AcceptWithoutAChoiceAsksForOneAndStays) {
    Korvi70_NrZlacza = 3;  // absent: nothing is preselected
    ui::headless::ExpectMessage("wiadomość");
    ui::headless::QueueCommit(ByResource(PANEL_WYBZL), PANEL_WYBZL_AKCEPTUJ);
    ui::headless::QueueInput(ByResource(PANEL_WYBZL), PANEL_WYBZL_COM1, 1);
    ui::headless::QueueInput(ByResource(PANEL_WYBZL), PANEL_WYBZL_COM2, 1);
    While([&] {
        EXPECT_EQ(Value(PANEL_WYBZL_COM1), 0) << "one radio button at a time";
        EXPECT_EQ(Value(PANEL_WYBZL_COM2), 1);
    });
    ui::headless::QueueCommit(ByResource(PANEL_WYBZL), PANEL_WYBZL_AKCEPTUJ);
    EXPECT_EQ(Korvi70_WybNrZl(), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 2);
    ASSERT_EQ(ui::headless::Popups().size(), 1u);
    EXPECT_EQ(ui::headless::Popups()[0].request.message, "musisz coś wybrać");
}

TEST_F(PortDialogTest, CancelGivesFourAndKeepsThePort) {
    Korvi70_NrZlacza = 7;
    ui::headless::QueueInput(ByResource(PANEL_WYBZL), PANEL_WYBZL_COM1, 1);
    ui::headless::QueueCommit(ByResource(PANEL_WYBZL), PANEL_WYBZL_ANULUJ);
    EXPECT_EQ(Korvi70_WybNrZl(), 4);
    EXPECT_EQ(Korvi70_NrZlacza, 7);
    // An absent port cannot be chosen.
    ui::headless::QueueInput(ByResource(PANEL_WYBZL), PANEL_WYBZL_COM3, 1);
    EXPECT_EQ(Korvi70_WybNrZl(), 4);
    EXPECT_EQ(ui::headless::Events().back().result, ui::model::UserResult::Dimmed);
    // The window's close button cancels too.
    ui::headless::QueueInput(ByResource(PANEL_WYBZL), PANEL_WYBZL_COM1, 1);
    ui::headless::QueueClose(ByResource(PANEL_WYBZL));
    EXPECT_EQ(Korvi70_WybNrZl(), 4);
    EXPECT_EQ(Korvi70_NrZlacza, 7);
}

// A device this user may not open cannot be had now either. The superuser
// opens any device, so as the superuser the dialog runs as another user,
// for whom COM1's device (the superuser's, mode 0600) is closed.
TEST_F(PortDialogTest, ADeviceThisUserMayNotOpenIsShownTaken) {
    const bool superuser = geteuid() == 0;
    ASSERT_EQ(chmod(free_.Name().c_str(), superuser ? 0600 : 0000), 0);
    ASSERT_EQ(chmod(TestDriveRoot().c_str(), 0755), 0);  // the links must stay reachable
    // Runs the dialog as that user and tells what COM1 showed.
    const auto shownToAnotherUser = [&] {
        if (superuser && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
        std::string text;
        int colour = -1, dimmed = -1;
        While([&] {
            text = Text(PANEL_WYBZL_STAN1);
            colour = Attribute(PANEL_WYBZL_STAN1, ui::ATTR_TEXT_COLOR);
            dimmed = Attribute(PANEL_WYBZL_COM1, ui::ATTR_DIMMED);
        });
        ui::headless::QueueCommit(ByResource(PANEL_WYBZL), PANEL_WYBZL_ANULUJ);
        Korvi70_WybNrZl();
        std::fprintf(stderr, "[%s %06X %d]\n", text.c_str(), static_cast<unsigned>(colour), dimmed);
        _exit(0);
    };
    EXPECT_EXIT(shownToAnotherUser(), ::testing::ExitedWithCode(0), "\\[zajęty FF0000 0\\]");
}

TEST_F(PortDialogTest, APanelFileThatCannotBeLoadedEndsTheProgramWithFive) {
    std::snprintf(Korvi70_NazwaZbioruZGrafika, sizeof Korvi70_NazwaZbioruZGrafika, "C:\\missing\\Korvi70G.Uir");
    EXPECT_EXIT(Korvi70_WybNrZl(), ::testing::ExitedWithCode(5), "missing");
}

// ---- ID assignment ----

class IdDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        resource_ = PANEL_NRID;
    }
    void Queue(int control, int value) { ui::headless::QueueInput(ByResource(PANEL_NRID), control, value); }
    void Press(int control) { ui::headless::QueueCommit(ByResource(PANEL_NRID), control); }
};

TEST_F(IdDialogTest, ReadsTheIdAndShowsZeroWhenNoneComes) {
    Press(PANEL_NRID_ODCZYTAJ);
    While([&] { EXPECT_EQ(Value(PANEL_NRID_ODCZYTANY), 5); });
    While([&] { instrument.Faults().silent = true; });
    Press(PANEL_NRID_ODCZYTAJ);
    While([&] { EXPECT_EQ(Value(PANEL_NRID_ODCZYTANY), 0); });
    ui::headless::QueueClose(ByResource(PANEL_NRID));  // the window's close button
    EXPECT_EQ(Korvi70_NadNrId(), 0);
    EXPECT_EQ(ui::model::FindPanelByResource(PANEL_NRID), 0);
}

TEST_F(IdDialogTest, TheNewIdFieldTurnsRedWhenAWriteFails) {
    Queue(PANEL_NRID_BIEZACY, 5);
    Queue(PANEL_NRID_NOWY, 9);
    Press(PANEL_NRID_ZAPISZ);
    While([&] {
        EXPECT_EQ(instrument.State().id, 9);
        EXPECT_EQ(Attribute(PANEL_NRID_NOWY, ui::ATTR_TEXT_COLOR), ui::VAL_BLACK);
        device.written.clear();
    });
    // The same ID again: refused before anything is sent.
    Queue(PANEL_NRID_BIEZACY, 9);
    Press(PANEL_NRID_ZAPISZ);
    While([&] {
        EXPECT_TRUE(device.written.empty());
        EXPECT_EQ(Attribute(PANEL_NRID_NOWY, ui::ATTR_TEXT_COLOR), 0xFF0000);  // red
    });
    // The second write button addresses ID 0, which every instrument
    // answers, whatever the current-ID field holds (here an ID no
    // instrument has).
    Queue(PANEL_NRID_BIEZACY, 77);
    Queue(PANEL_NRID_NOWY, 12);
    Press(PANEL_NRID_ZAPISZ_ZERO);
    While([&] { EXPECT_EQ(Attribute(PANEL_NRID_NOWY, ui::ATTR_TEXT_COLOR), ui::VAL_BLACK); });
    Press(PANEL_NRID_ZAMKNIJ);
    EXPECT_EQ(Korvi70_NadNrId(), 0);
    EXPECT_EQ(instrument.State().id, 12);
}

// ---- the modem's connect dialog ----

// Its number field holds no more than the dial command carries.
TEST_F(DialogTest, TheConnectDialogsNumberFieldHoldsFiftyCharacters) {
    const int panel = ui::LoadPanel(0, SourcePanelFile().c_str(), PANEL_MODEM);
    ASSERT_GT(panel, 0) << ui::GetLastResourceError();
    int limit = 0;
    ui::GetCtrlAttribute(panel, PANEL_MODEM_NUMER, ui::ATTR_MAX_ENTRY_LENGTH, &limit);
    EXPECT_EQ(limit, 50);
    ui::DisplayPanel(panel);
    const std::string typed = "0W22" + std::string(56, '5');
    EXPECT_EQ(ui::model::UserText(panel, PANEL_MODEM_NUMER, typed), ui::model::UserResult::Delivered);
    std::string number;
    ui::GetCtrlVal(panel, PANEL_MODEM_NUMER, &number);
    EXPECT_EQ(number, typed.substr(0, 50));
    ui::DiscardPanel(panel);
}

// ---- I/O editor ----

class IoEditorTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        resource_ = PANEL_EDYT;
        folder_ = TestDriveRoot() + "/program";
        fs::create_directories(folder_);
        fs::copy_file(SourcePanelFile(), folder_ + "/Korvi70G.Uir", fs::copy_options::overwrite_existing);
        ui::SetProjectFolder(folder_.c_str());
        // The operator's own folder, apart from the program's.
        user_ = TestDriveRoot() + "/user";
        fs::remove_all(user_);
        fs::create_directories(user_);
        inUser_ = std::make_unique<testdrive::InFolder>(user_);
    }
    void TearDown() override {
        inUser_.reset();
        DialogTest::TearDown();
    }
    void Queue(int control, int value) { ui::headless::QueueInput(ByResource(PANEL_EDYT), control, value); }
    void Press(int control) { ui::headless::QueueCommit(ByResource(PANEL_EDYT), control); }
    std::string folder_, user_;
    std::unique_ptr<testdrive::InFolder> inUser_;
};

TEST_F(IoEditorTest, RefusedWithoutAPortNumberInRange) {
    for (int port : {0, 101}) {
        Korvi70_NrZlacza = port;
        EXPECT_EQ(Korvi70_EdytorWeWy(5), 1);
    }
    EXPECT_EQ(ui::model::PanelHandles().size(), 0u);
    Korvi70_NrZlacza = kPort;
}

TEST_F(IoEditorTest, MirroredPairsFollowEachOtherAndCountsDimTheBytesBeyondThem) {
    Queue(PANEL_EDYT_ZAP_BAJT1, 0xAB);
    Queue(PANEL_EDYT_ZAP_ADRES_DZ, 256);
    Queue(PANEL_EDYT_ODCZ_BAJT2_DZ, 7);  // an indicator: the operator cannot change it
    Queue(PANEL_EDYT_ZAP_ILE, 3);
    Queue(PANEL_EDYT_ODCZ_ILE, 10);
    While([&] {
        EXPECT_EQ(Value(PANEL_EDYT_ZAP_BAJT1_DZ), 171);
        EXPECT_EQ(Value(PANEL_EDYT_ZAP_ADRES), 256);
        EXPECT_EQ(Value(PANEL_EDYT_ODCZ_BAJT2), 0);
        for (int k = 0; k < 10; ++k) {
            EXPECT_EQ(Attribute(PANEL_EDYT_ZAP_BAJT1 + k, ui::ATTR_DIMMED), k >= 3) << k;
            EXPECT_EQ(Attribute(PANEL_EDYT_ZAP_BAJT1_DZ + k, ui::ATTR_DIMMED), k >= 3) << k;
            EXPECT_EQ(Attribute(PANEL_EDYT_ODCZ_BAJT1 + k, ui::ATTR_DIMMED), 0) << k;
        }
    });
    Queue(PANEL_EDYT_ODCZ_ILE, 9);
    While([&] { EXPECT_EQ(Attribute(PANEL_EDYT_ODCZ_BAJT10_DZ, ui::ATTR_DIMMED), 1); });
    EXPECT_EQ(Korvi70_EdytorWeWy(5), 0);
}

TEST_F(IoEditorTest, WritesAndReadsTheInstrumentAndAFailedReadLeavesTheDisplays) {
    Queue(PANEL_EDYT_ZAP_ADRES, 0x0100);
    Queue(PANEL_EDYT_ZAP_ILE, 2);
    Queue(PANEL_EDYT_ZAP_BAJT1, 0xAB);
    Queue(PANEL_EDYT_ZAP_BAJT2_DZ, 1);
    Queue(PANEL_EDYT_ZAP_BAJT3, 0x77);  // beyond the count: not written
    Press(PANEL_EDYT_ZAPISZ);
    While([&] {
        EXPECT_EQ(Value(PANEL_EDYT_WYNIK), 0);
        EXPECT_EQ(instrument.State().io[0x100], 0xAB);
        EXPECT_EQ(instrument.State().io[0x101], 0x01);
        EXPECT_EQ(instrument.State().io[0x102], 0x00);
        instrument.State().io[0x102] = 0x7F;
    });
    Queue(PANEL_EDYT_ODCZ_ADRES, 0x0100);
    Queue(PANEL_EDYT_ODCZ_ILE, 3);
    Press(PANEL_EDYT_ODCZYTAJ);
    While([&] {
        EXPECT_EQ(Value(PANEL_EDYT_WYNIK), 0);
        const int expected[] = {0xAB, 0x01, 0x7F};
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(Value(PANEL_EDYT_ODCZ_BAJT1 + k), expected[k]);
            EXPECT_EQ(Value(PANEL_EDYT_ODCZ_BAJT1_DZ + k), expected[k]);
        }
        instrument.Faults().silent = true;
        instrument.State().io[0x100] = 0x00;
    });
    Press(PANEL_EDYT_ODCZYTAJ);
    While([&] {
        EXPECT_EQ(Value(PANEL_EDYT_WYNIK), 3);
        EXPECT_EQ(Value(PANEL_EDYT_ODCZ_BAJT1), 0xAB);
        EXPECT_EQ(Value(PANEL_EDYT_ODCZ_BAJT1_DZ), 0xAB);
    });
    Press(PANEL_EDYT_ZAMKNIJ);
    EXPECT_EQ(Korvi70_EdytorWeWy(5), 0);
}

TEST_F(IoEditorTest, ValuesAreKeptBetweenUsesAndTheFallbackPanelFileIsFound) {
    Queue(PANEL_EDYT_ZAP_ADRES, 0x1234);
    Queue(PANEL_EDYT_ODCZ_ILE, 4);
    ui::headless::QueueClose(ByResource(PANEL_EDYT));  // the window's close button saves them too
    EXPECT_EQ(Korvi70_EdytorWeWy(5), 0);
    EXPECT_TRUE(fs::exists(user_ + "/Korvi_01.Gkp")) << "in the current folder";
    EXPECT_FALSE(fs::exists(folder_ + "/Korvi_01.Gkp")) << "never beside the program";

    // No panel file beside the program: the one on drive C: is used.
    fs::remove(folder_ + "/Korvi70G.Uir");
    const std::string fallback = TestDriveRoot() + "/c/Korvi70/SoftWare/LWCVI";
    fs::create_directories(fallback);
    fs::copy_file(SourcePanelFile(), fallback + "/Korvi70G.Uir", fs::copy_options::overwrite_existing);
    While([&] {
        EXPECT_EQ(Value(PANEL_EDYT_ZAP_ADRES), 0x1234);
        EXPECT_EQ(Value(PANEL_EDYT_ZAP_ADRES_DZ), 0x1234);
        EXPECT_EQ(Value(PANEL_EDYT_ODCZ_ILE), 4);
        EXPECT_EQ(Attribute(PANEL_EDYT_ODCZ_BAJT5, ui::ATTR_DIMMED), 1);
    });
    Press(PANEL_EDYT_ZAMKNIJ);
    EXPECT_EQ(Korvi70_EdytorWeWy(5), 0);
    fs::remove_all(TestDriveRoot() + "/c");
    EXPECT_EQ(Korvi70_EdytorWeWy(5), 5) << "no panel file anywhere";
}

TEST_F(IoEditorTest, AStateFileThatCannotBeWrittenIsReportedOnceWithItsPath) {
    // A folder in the file's place: the values have nowhere to go.
    fs::create_directories(user_ + "/Korvi_01.Gkp/kept");
    for (int use = 0; use < 2; ++use) {
        Press(PANEL_EDYT_ZAMKNIJ);
        EXPECT_EQ(Korvi70_EdytorWeWy(5), 0);
    }
    const auto &popups = ui::headless::Popups();
    ASSERT_EQ(popups.size(), 1u) << "once, not at every close";
    EXPECT_EQ(popups[0].request.title, "Wystąpił błąd.");
    EXPECT_EQ(popups[0].request.message.rfind("Nie można zapisać zbioru " + user_ + "/Korvi_01.Gkp: ", 0), 0u)
        << popups[0].request.message;
    EXPECT_TRUE(fs::exists(user_ + "/Korvi_01.Gkp/kept"));
}

}  // namespace
}  // namespace korvi70_test

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/startup.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "platform/com.h"
#include "platform/paths.h"
#include "sim/com_device.h"
#include "sim/instrument.h"
#include "test_env.h"
#include "toolvane/system_info.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

using apptest::TempDrive;
using ui::headless::ByResource;

const std::string kConfig = std::string(apptest::kDataVista) + "\\VGX52.kfg";
const std::string kAssociations = std::string(apptest::kDataVista) + "\\Korvi70 Programs Associates.kfg";
const std::string kKeep = "# NumerZlacza 44\r\n# OkresOdpytywania 7.5\r\nleft as it was\r\n";

// One simulated instrument on a COM port.
struct SimPort {
    sim::Instrument instrument;
    sim::SimComDevice device{instrument};
};

class AppStartup : public ::testing::Test {
protected:
    void SetUp() override {
        ui::headless::Install();
        ui::ResumeTimerCallbacks();
        drive_ = std::make_unique<TempDrive>("10.0");
        programFolder_ = drive_->UseProgramFolder(true);
        drive_->MakeFolder(apptest::kDataVista);
    }
    void TearDown() override {
        if (platform::IsComOpen(Korvi70_NrZlacza)) Korvi70_ZamZlacze();
        for (auto &[port, sim] : sims_) platform::AttachComDevice(port, nullptr);
        drive_.reset();
    }
    int Run(std::vector<std::string> args, const std::string &start = "vgx52") {
        args.insert(args.begin(), start);
        std::vector<char *> argv;
        for (std::string &a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        return Vgx52_Main(static_cast<int>(args.size()), argv.data());
    }
    void AttachSim(int port) {
        auto &slot = sims_[port];
        slot = std::make_unique<SimPort>();
        platform::AttachComDevice(port, &slot->device);
    }
    std::string ConfigHost() const { return drive_->Host(kConfig); }
    void WriteConfig(const std::string &text) const { apptest::WriteBytes(ConfigHost(), text); }
    std::string ConfigBytes() const { return apptest::ReadBytes(ConfigHost()); }
    void QueueQuit() { ui::headless::QueueCommit(ByResource(PANEL_GL), PANEL_GL_KONIEC); }
    // Checks, while the event loop runs, which port is open.
    void QueueExpectOpen(int port) {
        ui::headless::QueueAction([this, port] {
            seenPort_ = Korvi70_NrZlacza;
            seenOpen_ = platform::IsComOpen(port);
            ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, &seenTimerEnabled_);
            ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_INTERVAL, &seenInterval_);
        });
    }
    void ExpectOnlyMessage(const char *title, const char *text) {
        ASSERT_EQ(ui::headless::Popups().size(), 1u);
        EXPECT_EQ(ui::headless::Popups()[0].request.title, title);
        EXPECT_EQ(ui::headless::Popups()[0].request.message, text);
    }
    // After a failing start-up: no panel left, no port held, no file touched.
    void ExpectCleanFailure() {
        EXPECT_EQ(PanelEkrGl, 0);
        EXPECT_EQ(PanelWybZlacza, 0);
        for (auto &[port, sim] : sims_) EXPECT_FALSE(platform::IsComOpen(port)) << port;
        EXPECT_EQ(ConfigBytes(), kKeep);
    }

    std::unique_ptr<TempDrive> drive_;
    std::string programFolder_;
    std::map<int, std::unique_ptr<SimPort>> sims_;
    int seenPort_ = -1;
    bool seenOpen_ = false;
    int seenTimerEnabled_ = -1;
    double seenInterval_ = -1;
};

// ---- failing steps ----

TEST_F(AppStartup, MissingResourceFileEndsWithOne) {
    drive_->UseProgramFolder(false);
    AttachSim(5);
    WriteConfig(kKeep);
    EXPECT_EQ(Run({"port:5"}), 1);
    ExpectOnlyMessage("Wystąpił błąd.", "Nie możliwe jest odnalezienie zbioru z grafiką interfejsu użytkownika.");
    ExpectCleanFailure();
}

TEST_F(AppStartup, MainPanelMissingFromTheResourceFileEndsWithOne) {
    apptest::WriteBytes(programFolder_ + "/VGX52_G.uir", "panel PANEL_PORT 2\n");
    AttachSim(5);
    WriteConfig(kKeep);
    EXPECT_EQ(Run({"port:5"}), 1);
    ExpectOnlyMessage("Wystąpił błąd", "Nie można odczytać grafiki głównego ekranu ze zbioru");
    ExpectCleanFailure();
    EXPECT_EQ(sims_[5]->instrument.Counters().badFrames + sims_[5]->instrument.Counters().hexFrames, 0)
        << "the link is never opened";
}

TEST_F(AppStartup, CancelledPortPopupEndsWithOne) {
    WriteConfig(kKeep);
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_ANULUJ);
    EXPECT_EQ(Run({}), 1);
    EXPECT_TRUE(ui::headless::Popups().empty());
    ExpectCleanFailure();
}

TEST_F(AppStartup, UnansweredPortPopupEndsWithOne) {
    WriteConfig(kKeep);
    EXPECT_EQ(Run({}), 1);
    ExpectCleanFailure();
}

TEST_F(AppStartup, PortZeroFailsToOpenAndEndsWithOne) {
    WriteConfig(kKeep);
    EXPECT_EQ(Run({"port:0"}), 1);
    ExpectOnlyMessage("Error ocures", "Error in initialization of Korvi70 connection.");
    ExpectCleanFailure();
}

TEST_F(AppStartup, PortWithoutDeviceFailsToOpen) {
    // COM77 is a link to nothing under the drive root.
    ASSERT_EQ(symlink((drive_->root() + "/no-such-device").c_str(), (drive_->root() + "/com77").c_str()), 0);
    WriteConfig(kKeep);
    EXPECT_EQ(Run({"port:77"}), 1);
    ExpectOnlyMessage("Error ocures", "Error in initialization of Korvi70 connection.");
    ExpectCleanFailure();
    EXPECT_FALSE(platform::IsComOpen(77));
}

TEST_F(AppStartup, FailuresLeaveAMissingConfigurationFileMissing) {
    EXPECT_EQ(Run({"port:0"}), 1);
    EXPECT_EQ(Run({}), 1);
    EXPECT_FALSE(apptest::Exists(ConfigHost()));
}

// ---- association mode ----

TEST_F(AppStartup, AssociateWritesTheRecordAndShowsNoWindow) {
    const std::string sep = platform::kFolderSeparator;  // between the program folder and a name
    apptest::WriteBytes(drive_->Host(kAssociations), "");
    WriteConfig(kKeep);
    EXPECT_EQ(Run({"associate"}, "/somewhere/else/vgx52"), 0);
    const std::string expected = "\r\n# 01B0\tGUID:{3D0B5E27-91C4-4A6E-B2F3-7C18E9A04D55}\tProgram:\"" +
                                 programFolder_ + sep + "vgx52\"\tIcon:\"" + programFolder_ + sep +
                                 "VGX52.ico\"\tLabel:\"User Program for Gas Parameter Measurement Device, model VGX52, "
                                 "software version: 1.01\"\r\n";
    EXPECT_EQ(apptest::ReadBytes(drive_->Host(kAssociations)), expected);
    EXPECT_TRUE(ui::headless::Popups().empty());
    EXPECT_EQ(PanelEkrGl, 0);
    EXPECT_EQ(ConfigBytes(), kKeep);

    // Inside a longer word, in any case, next to a port: still association mode.
    EXPECT_EQ(Run({"port:5", "/REassociateD"}), 0);
    EXPECT_EQ(apptest::ReadBytes(drive_->Host(kAssociations)), expected + expected);
    EXPECT_EQ(PanelEkrGl, 0);
    EXPECT_EQ(ConfigBytes(), kKeep);
}

TEST_F(AppStartup, AssociateWithoutTheFileEndsWithOne) {
    WriteConfig(kKeep);
    EXPECT_EQ(Run({"associate"}), 1);
    ExpectOnlyMessage("An error occurred",
                      "Uninstall this software, install BRANDOLUX USB SoftWare luncher, and after that "
                      "install this software again");
    EXPECT_FALSE(apptest::Exists(drive_->Host(kAssociations)));
    EXPECT_EQ(ConfigBytes(), kKeep);
}

TEST_F(AppStartup, AssociateNeedsTheResourceFileToo) {
    drive_->UseProgramFolder(false);
    apptest::WriteBytes(drive_->Host(kAssociations), "");
    EXPECT_EQ(Run({"associate"}), 1);
    EXPECT_EQ(apptest::ReadBytes(drive_->Host(kAssociations)), "");
}

// ---- running and quitting ----

TEST_F(AppStartup, PortArgumentFormsOpenThatPortWithoutThePopup) {
    struct Case {
        std::vector<std::string> args;
        int port;
    };
    const Case cases[] = {
        {{"port:5"}, 5},
        {{"PORT:5"}, 5},
        {{"port:12"}, 12},
        {{"port:3", "port:4"}, 4},
        {{"x", "Port:  7", "y"}, 7},
        {{"port:6", "port:"}, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.args.back());
        ui::headless::Install();
        AttachSim(c.port);
        seenOpen_ = false;
        QueueExpectOpen(c.port);
        QueueQuit();
        // Were the popup shown, the quit would not reach the main panel and start-up would fail.
        EXPECT_EQ(Run(c.args), 0);
        EXPECT_EQ(seenPort_, c.port);
        EXPECT_TRUE(seenOpen_);
        EXPECT_FALSE(platform::IsComOpen(c.port)) << "closed at quit";
        EXPECT_NE(ConfigBytes().find("\r\n# NumerZlacza " + std::to_string(c.port) + "\r\n"), std::string::npos);
        EXPECT_TRUE(ui::headless::Failures().empty());
    }
}

TEST_F(AppStartup, PortNotAtTheStartOfAnArgumentShowsThePopup) {
    for (const char *arg : {"xport:5", "port:", "port:x"}) {
        ui::headless::Install();
        WriteConfig(kKeep);
        int popupShown = 0;
        ui::headless::QueueAction([&popupShown] { popupShown = PanelWybZlacza; });
        EXPECT_EQ(Run({arg}), 1) << arg;
        EXPECT_GT(popupShown, 0) << arg;
        ExpectCleanFailure();
    }
}

TEST_F(AppStartup, PopupChoiceOpensThatPortAndIsSavedAtQuit) {
    AttachSim(5);
    int timerWhilePopup = -1;
    ui::headless::QueueAction(
        [&timerWhilePopup] { ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, &timerWhilePopup); });
    ui::headless::QueueSelectIndex(ByResource(PANEL_PORT), PANEL_PORT_LISTA, 4);
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
    QueueExpectOpen(5);
    QueueQuit();
    EXPECT_EQ(Run({}), 0);
    EXPECT_EQ(timerWhilePopup, 0) << "no polling before the link is open";
    EXPECT_TRUE(seenOpen_);
    EXPECT_EQ(seenTimerEnabled_, 1);
    EXPECT_EQ(Korvi70_TypLacza, 0);
    EXPECT_EQ(Korvi70_CzasOczekiwaniaRS, 0.1);
    EXPECT_EQ(Korvi70_NrIdProg, 0x71);
    EXPECT_NE(ConfigBytes().find("\r\n# NumerZlacza 5\r\n"), std::string::npos);
}

TEST_F(AppStartup, PopupPreselectionComesFromTheSharedConnectionFile) {
    // The program's own file says 7; the shared file (or its default 2) decides.
    for (int shared : {0, 6}) {
        SCOPED_TRACE(shared);
        ui::headless::Install();
        WriteConfig("# NumerZlacza 7\r\n");
        if (shared) apptest::WriteBytes(drive_->Host("C:\\Korvi70.Kfg"), "#NrZlaczaRS 6\r\n");
        const int expected = shared ? 6 : 2;
        AttachSim(expected);
        int preselected = -1;
        ui::headless::QueueAction([&preselected] { ui::GetCtrlIndex(PanelWybZlacza, PANEL_PORT_LISTA, &preselected); });
        ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
        QueueQuit();
        EXPECT_EQ(Run({}), 0);
        EXPECT_EQ(preselected, expected - 1);
        EXPECT_NE(ConfigBytes().find("\r\n# NumerZlacza " + std::to_string(expected) + "\r\n"), std::string::npos);
    }
}

TEST_F(AppStartup, SharedFileCannotChangeTheLinkTypeTimeoutOrId) {
    apptest::WriteBytes(drive_->Host("C:\\Korvi70.Kfg"),
                        "#TypLacza PolaczeniePrzezKorviTCP\r\n#CzasOczekiwaniaRS 2\r\n#NrIdProg 9\r\n");
    AttachSim(5);
    QueueExpectOpen(5);
    QueueQuit();
    EXPECT_EQ(Run({"port:5"}), 0);
    EXPECT_TRUE(seenOpen_);
    EXPECT_EQ(Korvi70_TypLacza, 0);
    EXPECT_EQ(Korvi70_CzasOczekiwaniaRS, 0.1);
    EXPECT_EQ(Korvi70_NrIdProg, 0x71);
}

TEST_F(AppStartup, PollingPeriodFromTheFileDrivesTheTimerAndIsWrittenBack) {
    WriteConfig("# OkresOdpytywania 2.5\r\n");
    AttachSim(5);
    QueueExpectOpen(5);
    QueueQuit();
    EXPECT_EQ(Run({"port:5"}), 0);
    EXPECT_EQ(seenInterval_, 2.5);
    EXPECT_EQ(seenTimerEnabled_, 1);
    EXPECT_NE(ConfigBytes().find("\r\n# OkresOdpytywania 2.500000\r\n"), std::string::npos);
}

TEST_F(AppStartup, QuitEndsEverythingAndWritesTheFileOnce) {
    AttachSim(5);
    QueueQuit();
    EXPECT_EQ(Run({"port:5"}), 0);
    EXPECT_EQ(ui::headless::QuitCount(), 1);
    EXPECT_EQ(ui::headless::LastQuitCode(), 0);
    EXPECT_EQ(PanelEkrGl, 0);
    EXPECT_FALSE(platform::IsComOpen(5));
    const std::string bytes = ConfigBytes();
    EXPECT_NE(bytes.find("\r\n# NumerZlacza 5\r\n\r\nOkres"), std::string::npos) << bytes;
    EXPECT_NE(bytes.find("\r\n# OkresOdpytywania 1.000000\r\n"), std::string::npos);
    EXPECT_TRUE(ui::headless::Popups().empty());
}

TEST_F(AppStartup, QuitWithoutDataFolderStillEndsWithZero) {
    std::filesystem::remove_all(drive_->Host(apptest::kDataVista));
    AttachSim(5);
    QueueQuit();
    EXPECT_EQ(Run({"port:5"}), 0);
    EXPECT_FALSE(apptest::Exists(drive_->Host(apptest::kDataVista)));
    // The port and the period are lost: the operator learns it, and where.
    const auto &popups = ui::headless::Popups();
    ASSERT_EQ(popups.size(), 1u);
    EXPECT_EQ(popups[0].request.title, "Wystąpił błąd.");
    EXPECT_EQ(popups[0].request.message.rfind("Nie można zapisać zbioru " + ConfigHost() + ": ", 0), 0u)
        << popups[0].request.message;
}

TEST_F(AppStartup, LoopEndingWithoutQuitReleasesTheLinkButKeepsTheFile) {
    WriteConfig(kKeep);
    AttachSim(5);
    EXPECT_EQ(Run({"port:5"}), 0);
    EXPECT_FALSE(platform::IsComOpen(5));
    EXPECT_EQ(PanelEkrGl, 0);
    EXPECT_EQ(ConfigBytes(), kKeep);
}

TEST_F(AppStartup, WindowsXpKeepsTheFileInDocumentsAndSettings) {
    setenv("VGX52_WINVER", "5.1", 1);
    drive_->MakeFolder(apptest::kDataXp);
    AttachSim(5);
    QueueQuit();
    EXPECT_EQ(Run({"port:5"}), 0);
    const std::string xpConfig = drive_->Host(std::string(apptest::kDataXp) + "\\VGX52.kfg");
    EXPECT_NE(apptest::ReadBytes(xpConfig).find("# NumerZlacza 5"), std::string::npos);
    EXPECT_FALSE(apptest::Exists(ConfigHost()));
}

}  // namespace

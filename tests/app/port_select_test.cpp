#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "app/app_state.h"
#include "app/port_select.h"
#include "korvi70/link.h"
#include "test_env.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/ui.h"

namespace {

using ui::headless::ByResource;

class AppPortSelect : public ::testing::Test {
protected:
    void SetUp() override {
        ui::headless::Install();
        InicjujZmienne();
        Korvi70_NrZlacza = 2;
    }
    int Run() { return OkreslKonfiguracjeKorvi70(apptest::SourceResourceFile().c_str()); }
    // Records the list while the popup is up.
    void InspectListWhileShown() {
        ui::headless::QueueAction([this] {
            shownPanel_ = PanelWybZlacza;
            ui::GetCtrlIndex(PanelWybZlacza, PANEL_PORT_LISTA, &shownIndex_);
            int count = 0;
            ui::GetNumListItems(PanelWybZlacza, PANEL_PORT_LISTA, &count);
            labels_.clear();
            values_.clear();
            for (int i = 0; i < count; ++i) {
                std::string label;
                int value = -1;
                ui::GetLabelFromIndex(PanelWybZlacza, PANEL_PORT_LISTA, i, &label);
                ui::GetValueFromIndex(PanelWybZlacza, PANEL_PORT_LISTA, i, &value);
                labels_ += label + ",";
                values_ += std::to_string(value) + ",";
            }
        });
    }
    int shownPanel_ = 0;
    int shownIndex_ = -2;
    std::string labels_, values_;
};

TEST_F(AppPortSelect, ListsEightPortsAndPreselectsTheCurrentOne) {
    Korvi70_NrZlacza = 6;
    InspectListWhileShown();
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
    EXPECT_EQ(Run(), 0);
    EXPECT_GT(shownPanel_, 0);
    EXPECT_EQ(labels_, "COM1,COM2,COM3,COM4,COM5,COM6,COM7,COM8,");
    EXPECT_EQ(values_, "0,1,2,3,4,5,6,7,");
    EXPECT_EQ(shownIndex_, 5);
    EXPECT_EQ(Korvi70_NrZlacza, 6);
}

TEST_F(AppPortSelect, AcceptTakesTheSelectedPort) {
    for (int index = 0; index < 8; ++index) {
        ui::headless::Install();
        Korvi70_NrZlacza = 2;
        ui::headless::QueueSelectIndex(ByResource(PANEL_PORT), PANEL_PORT_LISTA, index);
        ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
        EXPECT_EQ(Run(), 0);
        EXPECT_EQ(Korvi70_NrZlacza, index + 1);
        EXPECT_TRUE(ui::headless::Failures().empty());
    }
}

TEST_F(AppPortSelect, PortOutsideTheListLeavesTheFirstItemSelected) {
    for (int port : {9, 12, 100, 0, -4}) {
        ui::headless::Install();
        Korvi70_NrZlacza = port;
        InspectListWhileShown();
        ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
        EXPECT_EQ(Run(), 0) << port;
        EXPECT_EQ(shownIndex_, 0) << port;
        EXPECT_EQ(Korvi70_NrZlacza, 1) << port;
    }
}

TEST_F(AppPortSelect, ForcesTheDirectSerialLink) {
    Korvi70_TypLacza = 2;
    Korvi70_CzasOczekiwaniaRS = 0.5;
    Korvi70_NrIdProg = 5;
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(Korvi70_TypLacza, 0);
    EXPECT_EQ(Korvi70_CzasOczekiwaniaRS, 0.1);
    EXPECT_EQ(Korvi70_NrIdProg, 0x71);
}

TEST_F(AppPortSelect, CancelOrNoAnswerGivesFourAndKeepsThePort) {
    Korvi70_NrZlacza = 3;
    ui::headless::QueueSelectIndex(ByResource(PANEL_PORT), PANEL_PORT_LISTA, 6);
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_ANULUJ);
    EXPECT_EQ(Run(), 4);
    EXPECT_EQ(Korvi70_NrZlacza, 3);

    ui::headless::Install();
    EXPECT_EQ(Run(), 4);  // the operator never answers
    EXPECT_EQ(Korvi70_NrZlacza, 3);
}

TEST_F(AppPortSelect, PopupIsModalAndGoneAfterwards) {
    // A commit meant for a panel below the popup does not count as an answer.
    const int below = ui::LoadPanel(0, apptest::SourceResourceFile().c_str(), PANEL_GL);
    ASSERT_GT(below, 0);
    ui::DisplayPanel(below);
    ui::headless::QueueCommit(ui::headless::ByHandle(below), PANEL_GL_UPGRADE);
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(PanelWybZlacza, 0);
    // The popup's panel was discarded: nothing is left above the main panel.
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
    int panel = 0, control = 0;
    EXPECT_EQ(ui::GetUserEvent(1, &panel, &control), ui::EVENT_NONE);
    ui::DiscardPanel(below);
}

TEST_F(AppPortSelect, TheHighlightedPortShowsWhichDeviceItIs) {
    apptest::TempDrive drive;
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    const std::string terminal = ptsname(master);
    ASSERT_EQ(symlink(terminal.c_str(), (drive.root() + "/com3").c_str()), 0);
    ASSERT_EQ(symlink((drive.root() + "/gone").c_str(), (drive.root() + "/com4").c_str()), 0);
    std::string shown[2];
    Korvi70_NrZlacza = 3;
    ui::headless::QueueAction([&] { ui::GetCtrlVal(PanelWybZlacza, PANEL_PORT_URZADZENIE, &shown[0]); });
    ui::headless::QueueSelectIndex(ByResource(PANEL_PORT), PANEL_PORT_LISTA, 3);
    ui::headless::QueueAction([&] { ui::GetCtrlVal(PanelWybZlacza, PANEL_PORT_URZADZENIE, &shown[1]); });
    ui::headless::QueueCommit(ByResource(PANEL_PORT), PANEL_PORT_OK);
    EXPECT_EQ(Run(), 0);
    close(master);
    EXPECT_EQ(shown[0], terminal);
    EXPECT_EQ(shown[1], drive.root() + "/gone: brak urządzenia");
    EXPECT_EQ(Korvi70_NrZlacza, 4) << "the item texts and the choice are as before";
}

TEST_F(AppPortSelect, PanelThatCannotBeLoadedGivesFive) {
    Korvi70_TypLacza = 2;
    EXPECT_EQ(OkreslKonfiguracjeKorvi70("C:\\missing.uir"), 5);
    EXPECT_EQ(Korvi70_TypLacza, 0) << "the link settings are forced first";
    EXPECT_EQ(OkreslKonfiguracjeKorvi70(nullptr), 5);
    apptest::TempDrive drive;
    const std::string other = drive.root() + "/other.uir";
    apptest::WriteBytes(other, "panel PANEL_X 9\n");
    EXPECT_EQ(OkreslKonfiguracjeKorvi70(other.c_str()), 5);
    EXPECT_EQ(Korvi70_NrZlacza, 2);
}

}  // namespace

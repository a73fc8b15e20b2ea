// Panel-state files: saved values come back; a missing or bad state changes nothing.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>

#include "tests/support/current_folder.h"
#include "ui/failed_write.h"
#include "ui/headless.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

// State files named without a folder are in the current folder: the
// project folder (where the panels come from) is made current here too.
class PanelStateTest : public LoadedPanelTest {
protected:
    void SetUp() override {
        LoadedPanelTest::SetUp();
        inFolder_ = std::make_unique<testdrive::InFolder>(folder_);
    }
    void TearDown() override {
        inFolder_.reset();
        LoadedPanelTest::TearDown();
    }
    std::unique_ptr<testdrive::InFolder> inFolder_;
    void Change(int panel) {
        ui::SetCtrlVal(panel, P_NUM, 1.0 / 3.0);
        ui::SetCtrlVal(panel, P_INT, -5);
        ui::SetCtrlVal(panel, P_STR, "ż \"quoted\" \\ #1");
        ui::SetCtrlVal(panel, P_TEXT, "");
        ui::ResetTextBox(panel, P_BOX, "a\n\nb\n");
        ui::SetCtrlIndex(panel, P_RING, 2);
        ui::InsertListItem(panel, P_LIST, -1, "0221234567", 0);
        ui::InsertListItem(panel, P_LIST, -1, "brak numeru", 1);
        ui::SetCtrlIndex(panel, P_LIST, 1);
        ui::SetCtrlVal(panel, P_RADIO, 1);
        ui::SetCtrlVal(panel, P_SWITCH, 0);
        ui::SetCtrlVal(panel, P_LEVEL, 33.3);
        ui::SetCtrlVal(panel, P_LED, 1);
    }
};

TEST_F(PanelStateTest, EveryValueSurvivesARoundTrip) {
    Change(panel_);
    ASSERT_EQ(ui::SavePanelState(panel_, "Korvi70.Gkp", 1), 0);
    const int fresh = Load();
    ASSERT_EQ(ui::RecallPanelState(fresh, "Korvi70.Gkp", 1), 0);
    double d = 0;
    int i = 0;
    std::string s;
    ui::GetCtrlVal(fresh, P_NUM, &d);
    EXPECT_EQ(d, 1.0 / 3.0) << "reals come back to the last bit";
    ui::GetCtrlVal(fresh, P_INT, &i);
    EXPECT_EQ(i, -5);
    ui::GetCtrlVal(fresh, P_STR, &s);
    EXPECT_EQ(s, "ż \"quoted\" \\ #1");
    ui::GetCtrlVal(fresh, P_TEXT, &s);
    EXPECT_EQ(s, "");
    ui::GetCtrlVal(fresh, P_BOX, &s);
    EXPECT_EQ(s, "a\n\nb\n");
    ui::GetCtrlVal(fresh, P_RING, &i);
    EXPECT_EQ(i, 30);
    ui::GetCtrlVal(fresh, P_LIST, &s);
    EXPECT_EQ(s, "brak numeru");
    ui::GetNumListItems(fresh, P_LIST, &i);
    EXPECT_EQ(i, 2);
    ui::GetCtrlVal(fresh, P_RADIO, &i);
    EXPECT_EQ(i, 1);
    ui::GetCtrlVal(fresh, P_SWITCH, &i);
    EXPECT_EQ(i, 0);
    ui::GetCtrlVal(fresh, P_LEVEL, &d);
    EXPECT_EQ(d, 33.3);
    ui::GetCtrlVal(fresh, P_LED, &i);
    EXPECT_EQ(i, 1);
}

TEST_F(PanelStateTest, StatesOfSeveralPanelsShareAFile) {
    Write("test.uir", kTestUir);
    const int dialog = ui::LoadPanel(0, "test.uir", DIALOG);
    ui::SetCtrlVal(dialog, D_NUM, 2.0);
    ASSERT_EQ(ui::SavePanelState(dialog, "Korvi70.Gkp", 2), 0);
    ui::SetCtrlVal(panel_, P_INT, 99);
    ASSERT_EQ(ui::SavePanelState(panel_, "Korvi70.Gkp", 1), 0);
    ui::SetCtrlVal(dialog, D_NUM, 3.0);
    ASSERT_EQ(ui::SavePanelState(dialog, "Korvi70.Gkp", 2), 0) << "replaces state 2 only";
    const int fresh = Load();
    ASSERT_EQ(ui::RecallPanelState(fresh, "Korvi70.Gkp", 1), 0);
    int i = 0;
    ui::GetCtrlVal(fresh, P_INT, &i);
    EXPECT_EQ(i, 99);
    const int freshDialog = ui::LoadPanel(0, "test.uir", DIALOG);
    ASSERT_EQ(ui::RecallPanelState(freshDialog, "Korvi70.Gkp", 2), 0);
    double d = 0;
    ui::GetCtrlVal(freshDialog, D_NUM, &d);
    EXPECT_EQ(d, 3.0);
    EXPECT_EQ(ui::RecallPanelState(freshDialog, "Korvi70.Gkp", 1), ui::UIE_BAD_FILE)
        << "state 1 belongs to another panel";
}

TEST_F(PanelStateTest, MissingFileOrStateChangesNothing) {
    EXPECT_EQ(ui::RecallPanelState(panel_, "absent.gkp", 1), ui::UIE_NO_SUCH_FILE);
    ASSERT_EQ(mkfifo((folder_ + "/pipe.gkp").c_str(), 0600), 0);
    ASSERT_EQ(mkdir((folder_ + "/folder.gkp").c_str(), 0700), 0);
    EXPECT_EQ(ui::RecallPanelState(panel_, "pipe.gkp", 1), ui::UIE_NO_SUCH_FILE);
    EXPECT_EQ(ui::RecallPanelState(panel_, "folder.gkp", 1), ui::UIE_NO_SUCH_FILE);
    ASSERT_EQ(ui::SavePanelState(panel_, "s.gkp", 1), 0);
    ui::SetCtrlVal(panel_, P_INT, 55);
    EXPECT_EQ(ui::RecallPanelState(panel_, "s.gkp", 2), ui::UIE_NO_SUCH_PANEL);
    int i = 0;
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 55);
    EXPECT_EQ(ui::RecallPanelState(panel_, "s.gkp", -1), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SavePanelState(panel_, "s.gkp", -1), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SavePanelState(panel_ + 50, "s.gkp", 1), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::SavePanelState(panel_, "", 1), ui::UIE_NO_SUCH_FILE);
    EXPECT_EQ(ui::SavePanelState(panel_, "no/such/folder/s.gkp", 1), ui::UIE_FILE_WRITE);
}

// The program's folder holds its panels; the values an operator leaves in
// a dialog are theirs, kept where they work (a standard user may not write
// beside the program).
TEST_F(PanelStateTest, StateFilesAreInTheCurrentFolderNotBesideThePanels) {
    const std::string user = folder_ + "/user";
    ASSERT_EQ(mkdir(user.c_str(), 0700), 0);
    testdrive::InFolder inUser(user);
    Write("Korvi70.Gkp", "state 1 panel 1\ncontrol 3 int 42\nend\n");  // beside the panels: not the user's
    EXPECT_EQ(ui::RecallPanelState(panel_, "Korvi70.Gkp", 1), ui::UIE_NO_SUCH_FILE);
    ui::SetCtrlVal(panel_, P_INT, 7);
    ASSERT_EQ(ui::SavePanelState(panel_, "Korvi70.Gkp", 1), 0);
    EXPECT_NE(Read("user/Korvi70.Gkp").find("control 3 int 7\n"), std::string::npos);
    EXPECT_EQ(Read("Korvi70.Gkp"), "state 1 panel 1\ncontrol 3 int 42\nend\n");
    const int fresh = Load();
    ASSERT_EQ(ui::RecallPanelState(fresh, "Korvi70.Gkp", 1), 0);
    int i = 0;
    ui::GetCtrlVal(fresh, P_INT, &i);
    EXPECT_EQ(i, 7);
    const std::string path = ui::PanelStateFilePath("Korvi70.Gkp");
    EXPECT_TRUE(std::filesystem::path(path).is_absolute()) << path << ": a full path, for messages";
    std::ifstream saved(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(saved)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, Read("user/Korvi70.Gkp"));
}

// A dialog's values that cannot be kept are reported once per file, with
// the file's path and the system's reason.
TEST_F(PanelStateTest, AStateThatCannotBeWrittenIsReportedOncePerFile) {
    ASSERT_EQ(mkdir((folder_ + "/a.gkp").c_str(), 0700), 0);  // a folder in each file's place
    ASSERT_EQ(mkdir((folder_ + "/b.gkp").c_str(), 0700), 0);
    std::string reason;
    for (const char *name : {"a.gkp", "a.gkp", "b.gkp", "a.gkp"}) {
        EXPECT_EQ(ui::SaveDialogState(panel_, name, 1), ui::UIE_FILE_WRITE) << name;
        reason = ui::GetLastResourceError();
        EXPECT_FALSE(reason.empty());
    }
    const auto &popups = ui::headless::Popups();
    ASSERT_EQ(popups.size(), 2u);
    EXPECT_EQ(popups[0].request.title, "Wystąpił błąd.");
    EXPECT_EQ(popups[0].request.message, "Nie można zapisać zbioru " + ui::PanelStateFilePath("a.gkp") + ": " + reason);
    EXPECT_EQ(popups[1].request.message, "Nie można zapisać zbioru " + ui::PanelStateFilePath("b.gkp") + ": " + reason);
    EXPECT_EQ(ui::SaveDialogState(panel_, "c.gkp", 1), 0);
    EXPECT_EQ(popups.size(), 2u) << "a save that works says nothing";
}

TEST_F(PanelStateTest, ABadEntryChangesNothingAtAll) {
    ui::SetCtrlVal(panel_, P_INT, 11);
    // The first entry is good, the second is of the wrong kind: neither is applied.
    Write("bad.gkp",
          "state 1 panel 1\n"
          "control 3 int 42\n"
          "control 4 int 5\n"
          "end\n");
    EXPECT_EQ(ui::RecallPanelState(panel_, "bad.gkp", 1), ui::UIE_BAD_FILE);
    int i = 0;
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 11);
    const char *bad[] = {
        "state 1 panel 1\ncontrol 10 radio 2\nend\n",             // radio takes 0 or 1
        "state 1 panel 1\ncontrol 8 ring 5 \"a\" 1\nend\n",       // index outside the items
        "state 1 panel 1\ncontrol 8 ring 0 \"a\"\nend\n",         // a label without its value
        "state 1 panel 1\ncontrol 6 textbox 0 \"a\\nb\"\nend\n",  // a line holding a break
        "state 1 panel 1\ncontrol 2 numeric inf\nend\n",
        "state 1 panel 1\ncontrol 3 int 42\n",           // no end
        "state 1 panel 1\nend\nstate 1 panel 1\nend\n",  // a state twice
        "garbage\n",
        "state 1 panel 1\ncontrol 4 string \"\xB3\"\nend\n",  // not UTF-8
    };
    for (const char *content : bad) {
        Write("bad.gkp", content);
        EXPECT_EQ(ui::RecallPanelState(panel_, "bad.gkp", 1), ui::UIE_BAD_FILE) << content;
    }
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 11);
}

TEST_F(PanelStateTest, EntriesForControlsThePanelNoLongerHasAreSkipped) {
    Write("old.gkp", "state 1 panel 1\ncontrol 3 int 42\ncontrol 300 int 1\nend\n");
    EXPECT_EQ(ui::RecallPanelState(panel_, "old.gkp", 1), 0);
    int i = 0;
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 42);
}

TEST_F(PanelStateTest, AFileThatIsNotAStateFileIsNotOverwritten) {
    Write("notes.txt", "my notes\n");
    EXPECT_EQ(ui::SavePanelState(panel_, "notes.txt", 1), ui::UIE_BAD_FILE);
    EXPECT_EQ(Read("notes.txt"), "my notes\n");
}

TEST_F(PanelStateTest, RecalledValuesAreKeptWithinTheCurrentRange) {
    Write("range.gkp", "state 1 panel 1\ncontrol 3 int 9999\ncontrol 2 numeric -4\nend\n");
    ASSERT_EQ(ui::RecallPanelState(panel_, "range.gkp", 1), 0);
    int i = 0;
    double d = 1;
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 500);
    ui::GetCtrlVal(panel_, P_NUM, &d);
    EXPECT_EQ(d, 0.0);
}

// A text need not be UTF-8 (a control may show bytes as an instrument sent
// them); its saved state must still read back, and later saves still work.
TEST_F(PanelStateTest, ATextThatIsNotUtf8IsSavedAndRecalledByteForByte) {
    const std::string raw =
        "a\x97"
        "b\xC5\xE2\x82";  // a lone byte, a cut sequence
    ui::SetCtrlVal(panel_, P_STR, raw.c_str());
    ui::ResetTextBox(panel_, P_BOX, "\xFF line\n");
    ui::ReplaceListItem(panel_, P_RING, 0, "COM\xB9", 10);
    ASSERT_EQ(ui::SavePanelState(panel_, "raw.gkp", 1), 0);
    const int fresh = Load();
    ASSERT_EQ(ui::RecallPanelState(fresh, "raw.gkp", 1), 0);
    std::string s;
    ui::GetCtrlVal(fresh, P_STR, &s);
    EXPECT_EQ(s, raw);
    ui::GetCtrlVal(fresh, P_BOX, &s);
    EXPECT_EQ(s, "\xFF line\n");
    ui::GetLabelFromIndex(fresh, P_RING, 0, &s);
    EXPECT_EQ(s, "COM\xB9");
    EXPECT_EQ(ui::SavePanelState(panel_, "raw.gkp", 2), 0) << "the file stays a panel-state file";
    ui::SetCtrlVal(panel_, P_STR, "za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87");  // UTF-8 stays as it is
    ASSERT_EQ(ui::SavePanelState(panel_, "utf8.gkp", 1), 0);
    EXPECT_NE(Read("utf8.gkp").find("\"za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\""), std::string::npos);
}

TEST_F(PanelStateTest, RandomFilesNeverCrashTheReader) {
    ui::SavePanelState(panel_, "good.gkp", 1);
    const std::string good = Read("good.gkp");
    std::mt19937 rng(7);
    for (int round = 0; round < 300; ++round) {
        std::string content = good;
        // Damage a few bytes of a real state file, or write plain noise.
        if (round % 3 == 0) {
            content.assign(rng() % 200, '\0');
            for (char &ch : content) ch = static_cast<char>(rng());
        } else {
            for (int k = 0; k < 3; ++k) content[rng() % content.size()] = static_cast<char>(rng());
        }
        Write("fuzz.gkp", content);
        const int rc = ui::RecallPanelState(panel_, "fuzz.gkp", 1);
        EXPECT_TRUE(rc == 0 || rc == ui::UIE_BAD_FILE || rc == ui::UIE_NO_SUCH_PANEL) << rc;
    }
}

}  // namespace
}  // namespace uitest

// Loading panels from resource files: where files are found, what a bad file
// gives, and that every load is a panel of its own.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <random>

#include "ui_fixture.h"

namespace uitest {
namespace {

class LoadTest : public UiTest {};

TEST_F(LoadTest, LoadsEveryControlWithItsInitialValues) {
    const int panel = Load();
    ASSERT_GT(panel, 0);
    std::string s;
    double d = 0;
    int i = 0;
    ASSERT_EQ(ui::GetPanelAttribute(panel, ui::ATTR_TITLE, &s), 0);
    EXPECT_EQ(s, "Próba");
    EXPECT_EQ(ui::GetPanelAttribute(panel, ui::ATTR_PANEL_RESOURCE_ID, &i), 0);
    EXPECT_EQ(i, PANEL);
    EXPECT_EQ(ui::GetPanelAttribute(panel, ui::ATTR_VISIBLE, &i), 0);
    EXPECT_EQ(i, 0) << "a loaded panel stays hidden until displayed";
    EXPECT_EQ(ui::GetCtrlVal(panel, P_NUM, &d), 0);
    EXPECT_EQ(d, 12.5);
    EXPECT_EQ(ui::GetCtrlVal(panel, P_INT, &i), 0);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(ui::GetCtrlVal(panel, P_TEXT, &s), 0);
    EXPECT_EQ(s, "Brak połączenia");
    EXPECT_EQ(ui::GetCtrlVal(panel, P_RING, &i), 0);
    EXPECT_EQ(i, 20);
    EXPECT_EQ(ui::GetCtrlVal(panel, P_SWITCH, &i), 0);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(ui::GetCtrlAttribute(panel, P_BUTTON, ui::ATTR_CALLBACK_NAME, &s), 0);
    EXPECT_EQ(s, "TestButton");
    EXPECT_EQ(ui::GetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, &i), 0);
    EXPECT_EQ(i, 0);
    EXPECT_EQ(ui::GetCtrlAttribute(panel, P_NUM, ui::ATTR_PRECISION, &i), 0);
    EXPECT_EQ(i, 3);
}

TEST_F(LoadTest, MissingFileAndMissingPanel) {
    EXPECT_EQ(ui::LoadPanel(0, "absent.uir", 1), ui::UIE_NO_SUCH_FILE);
    EXPECT_EQ(ui::LoadPanel(0, "", 1), ui::UIE_NO_SUCH_FILE);
    EXPECT_EQ(ui::LoadPanel(0, nullptr, 1), ui::UIE_NO_SUCH_FILE);
    EXPECT_EQ(ui::LoadPanel(0, folder_.c_str(), 1), ui::UIE_NO_SUCH_FILE) << "a folder is no file";
    ASSERT_EQ(mkfifo((folder_ + "/pipe.uir").c_str(), 0600), 0);
    EXPECT_EQ(ui::LoadPanel(0, "pipe.uir", 1), ui::UIE_NO_SUCH_FILE) << "nor is a named pipe";
    Write("test.uir", kTestUir);
    EXPECT_EQ(ui::LoadPanel(0, "test.uir", 3), ui::UIE_NO_SUCH_PANEL);
    EXPECT_NE(ui::GetLastResourceError().find("3"), std::string::npos);
    EXPECT_EQ(ui::LoadPanel(0, "test.uir", 0), ui::UIE_NO_SUCH_PANEL);
    EXPECT_EQ(ui::LoadPanel(0, "test.uir", -1), ui::UIE_NO_SUCH_PANEL);
    EXPECT_TRUE(ui::model::PanelHandles().empty()) << "failed loads leave no panel behind";
}

TEST_F(LoadTest, InvalidParentIsRefusedBeforeTheFileIsRead) {
    Write("test.uir", kTestUir);
    EXPECT_EQ(ui::LoadPanel(12345, "test.uir", PANEL), ui::UIE_INVALID_PANEL);
    const int parent = ui::LoadPanel(0, "test.uir", PANEL);
    const int child = ui::LoadPanel(parent, "test.uir", DIALOG);
    ASSERT_GT(child, 0);
    EXPECT_EQ(ui::model::FindPanel(child)->parent, parent);
    ASSERT_EQ(ui::DiscardPanel(parent), 0);
    EXPECT_EQ(ui::model::FindPanel(child), nullptr) << "discarding a panel discards its children";
}

TEST_F(LoadTest, TwoLoadsOfOnePanelAreIndependent) {
    const int a = Load();
    const int b = Load();
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);
    EXPECT_NE(a, b);
    ASSERT_EQ(ui::SetCtrlVal(a, P_NUM, 99.0), 0);
    ASSERT_EQ(ui::InsertListItem(a, P_LIST, -1, "x", 1), 0);
    double d = 0;
    int n = -1;
    EXPECT_EQ(ui::GetCtrlVal(b, P_NUM, &d), 0);
    EXPECT_EQ(d, 12.5);
    EXPECT_EQ(ui::GetNumListItems(b, P_LIST, &n), 0);
    EXPECT_EQ(n, 0);
    ASSERT_EQ(ui::DiscardPanel(a), 0);
    EXPECT_EQ(ui::GetCtrlVal(a, P_NUM, &d), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::GetCtrlVal(b, P_NUM, &d), 0);
    EXPECT_EQ(ui::DiscardPanel(a), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::model::FindPanelByResource(PANEL), b);
}

TEST_F(LoadTest, HandlesAreNeverReused) {
    const int a = Load();
    ASSERT_EQ(ui::DiscardPanel(a), 0);
    const int b = Load();
    EXPECT_NE(a, b) << "a stale handle must not reach a new panel";
}

TEST_F(LoadTest, BareNamesAreFoundInTheProjectFolderWhateverTheirCase) {
    Write("Korvi70G.uir", kTestUir);
    EXPECT_GT(ui::LoadPanel(0, "Korvi70G.Uir", PANEL), 0);
    EXPECT_GT(ui::LoadPanel(0, "KORVI70G.UIR", PANEL), 0);
    std::filesystem::create_directories(folder_ + "/Sub");
    Write("Sub/Panels.uir", kTestUir);
    EXPECT_GT(ui::LoadPanel(0, "sub\\panels.uir", DIALOG), 0);
    EXPECT_GT(ui::LoadPanel(0, (folder_ + "/SUB/PANELS.UIR").c_str(), DIALOG), 0)
        << "host paths are looked up without regard to case too";
    EXPECT_GT(ui::LoadPanel(0, (folder_ + "\\Sub\\Panels.uir").c_str(), DIALOG), 0)
        << "folder + backslash + name, as the program composes paths";
}

TEST_F(LoadTest, WindowsPathsAreTakenFromTheDriveRoot) {
    std::filesystem::create_directories(folder_ + "/p/toolvane/lwcvi");
    Write("p/toolvane/lwcvi/Tolvan_G.Uir", kTestUir);
    setenv("VGX52_ROOT", folder_.c_str(), 1);
    const int panel = ui::LoadPanel(0, "P:\\Toolvane\\LWCVI\\Tolvan_G.Uir", DIALOG);
    unsetenv("VGX52_ROOT");
    EXPECT_GT(panel, 0);
}

struct BadFile {
    const char *why;
    const char *content;
};

const BadFile kBadFiles[] = {
    {"property before any panel", "title \"x\"\n"},
    {"unknown keyword", "panel P 1\nwibble 3\n"},
    {"unknown kind", "panel P 1\ncontrol C 2 buton\n"},
    {"panel number twice", "panel P 1\npanel Q 1\n"},
    {"control number twice", "panel P 1\ncontrol A 2 int\ncontrol B 2 int\n"},
    {"name twice", "panel P 1\ncontrol P 2 int\n"},
    {"name not an identifier", "panel 9P 1\n"},
    {"number missing", "panel P\n"},
    {"number not a number", "panel P one\n"},
    {"number too large", "panel P 99999999999\n"},
    {"panel number zero", "panel P 0\n"},
    {"control number negative", "panel P 1\ncontrol C -2 int\n"},
    {"unterminated text", "panel P 1\n title \"abc\n"},
    {"bad escape", "panel P 1\n title \"a\\qb\"\n"},
    {"title unquoted", "panel P 1\n title abc\n"},
    {"text glued to a word", "panel P 1\n title \"a\"b\n"},
    {"too many values", "panel P 1\n size 1 2 3\n"},
    {"negative size", "panel P 1\n size -1 2\n"},
    {"property twice", "panel P 1\n title \"a\"\n title \"b\"\n"},
    {"interval on a button", "panel P 1\ncontrol C 2 button\n interval 1\n"},
    {"text value on a numeric", "panel P 1\ncontrol C 2 numeric\n value \"1\"\n"},
    {"real value on an int", "panel P 1\ncontrol C 2 int\n value 1.5\n"},
    {"value outside the range", "panel P 1\ncontrol C 2 numeric\n max 10\n value 11\n"},
    {"min above max", "panel P 1\ncontrol C 2 numeric\n min 5\n max 4\n"},
    {"switch value 2", "panel P 1\ncontrol C 2 switch\n value 2\n"},
    {"index outside the items", "panel P 1\ncontrol C 2 ring\n item \"a\" 1\n index 1\n"},
    {"index without items", "panel P 1\ncontrol C 2 list\n index 0\n"},
    {"timer interval zero", "panel P 1\ncontrol C 2 timer\n interval 0\n"},
    {"colour out of range", "panel P 1\ncontrol C 2 text\n color 0x1000000\n"},
    {"mode unknown", "panel P 1\ncontrol C 2 button\n mode cold\n"},
    {"format of a real", "panel P 1\ncontrol C 2 numeric\n format hex\n"},
    {"format unknown", "panel P 1\ncontrol C 2 int\n format octal\n"},
    {"maxlength of a text display", "panel P 1\ncontrol C 2 text\n maxlength 5\n"},
    {"maxlength zero", "panel P 1\ncontrol C 2 string\n maxlength 0\n"},
    {"value longer than maxlength", "panel P 1\ncontrol C 2 string\n value \"żółw\"\n maxlength 3\n"},
    {"callback not a name", "panel P 1\ncontrol C 2 button\n callback \"a b\"\n"},
    {"line with a break", "panel P 1\ncontrol C 2 textbox\n line \"a\\nb\"\n"},
    {"not UTF-8 (Windows-1250 ł)", "panel P 1\n title \"Wyst\xB9pi\xB3\"\n"},
    {"real value not finite", "panel P 1\ncontrol C 2 numeric\n value nan\n"},
    {"close names no control of its panel", "panel P 1\n close C\ncontrol D 2 button\n"},
    {"close names another panel's control", "panel P 1\n close C\npanel Q 2\ncontrol C 2 button\n"},
    {"close without a name", "panel P 1\n close\n"},
};

TEST_F(LoadTest, MalformedFilesAreRefusedWithTheirLine) {
    for (const BadFile &bad : kBadFiles) {
        // The panel asked for is good in every case: the whole file is judged.
        Write("bad.uir", std::string(bad.content) + "\npanel GOOD 7\n");
        EXPECT_EQ(ui::LoadPanel(0, "bad.uir", 7), ui::UIE_BAD_FILE) << bad.why;
        EXPECT_NE(ui::GetLastResourceError().find("line "), std::string::npos) << bad.why;
    }
    EXPECT_TRUE(ui::model::PanelHandles().empty());
}

TEST_F(LoadTest, OddButValidLayoutIsAccepted) {
    Write("ok.uir",
          "\xEF\xBB\xBF# byte-order mark, CR LF, comments after values\r\n"
          "panel P 1   # the panel\r\n"
          "  title \"a \\\"quoted\\\" # not a comment\"\r\n"
          "control C 2 int\r\n"
          "  value -0x10\r\n");
    const int panel = ui::LoadPanel(0, "ok.uir", 1);
    ASSERT_GT(panel, 0);
    std::string title;
    int v = 0;
    ui::GetPanelAttribute(panel, ui::ATTR_TITLE, &title);
    EXPECT_EQ(title, "a \"quoted\" # not a comment");
    ui::GetCtrlVal(panel, 2, &v);
    EXPECT_EQ(v, -16);
}

TEST_F(LoadTest, RandomBytesNeverCrashTheReader) {
    std::mt19937 rng(52);
    const std::string alphabet = "panel control value item \"\\#\n\r\t 0123456789x-.abcPC";
    for (int round = 0; round < 400; ++round) {
        std::string content;
        const int length = static_cast<int>(rng() % 300);
        for (int i = 0; i < length; ++i)
            content += (round % 2) ? static_cast<char>(rng() % 256) : alphabet[rng() % alphabet.size()];
        Write("fuzz.uir", content);
        const int rc = ui::LoadPanel(0, "fuzz.uir", 1);
        EXPECT_TRUE(rc > 0 || rc == ui::UIE_BAD_FILE || rc == ui::UIE_NO_SUCH_PANEL) << rc;
    }
}

TEST_F(LoadTest, OversizedFileIsRefused) {
    std::string huge = "panel P 1\n";
    huge.append(9u << 20, '#');
    Write("huge.uir", huge);
    EXPECT_EQ(ui::LoadPanel(0, "huge.uir", 1), ui::UIE_BAD_FILE);
}

}  // namespace
}  // namespace uitest

// Control values: what each kind takes and gives, and what it refuses.
#include <cmath>
#include <cstring>

#include "ui_fixture.h"

namespace uitest {
namespace {

using ValuesTest = LoadedPanelTest;

TEST_F(ValuesTest, NumericTakesIntsAndRealsWithinItsRange) {
    double d = 0;
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_NUM, 42), 0);
    ui::GetCtrlVal(panel_, P_NUM, &d);
    EXPECT_EQ(d, 42.0);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_NUM, 1.2922598852422986), 0);
    ui::GetCtrlVal(panel_, P_NUM, &d);
    EXPECT_EQ(d, 1.2922598852422986) << "the full double is kept, whatever the precision shown";
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_NUM, 250.0), 0);
    ui::GetCtrlVal(panel_, P_NUM, &d);
    EXPECT_EQ(d, 100.0) << "coerced to the maximum";
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_NUM, -1), 0);
    ui::GetCtrlVal(panel_, P_NUM, &d);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_NUM, std::nan("")), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_NUM, "5"), ui::UIE_BAD_VALUE);
    ui::GetCtrlVal(panel_, P_NUM, &d);
    EXPECT_EQ(d, 0.0) << "a refused value changes nothing";
    int i = 0;
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_NUM, &i), ui::UIE_BAD_VALUE) << "a real does not fit an int";
    std::string s;
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_NUM, &s), ui::UIE_BAD_VALUE);
}

TEST_F(ValuesTest, IntRoundsRealsAndReadsAsBoth) {
    int i = 0;
    double d = 0;
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_INT, 2.6), 0);
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 3);
    ui::GetCtrlVal(panel_, P_INT, &d);
    EXPECT_EQ(d, 3.0);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_INT, 100000), 0);
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 500);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_INT, 1e300), ui::UIE_BAD_VALUE) << "beyond any int";
}

TEST_F(ValuesTest, TextsAndBoundedCopies) {
    std::string s;
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_STR, "Wystąpił błąd"), 0);
    ui::GetCtrlVal(panel_, P_STR, &s);
    EXPECT_EQ(s, "Wystąpił błąd");
    char small[6];
    std::memset(small, 'X', sizeof small);
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_STR, small, sizeof small), 0);
    EXPECT_STREQ(small, "Wyst") << "ą would be cut in half at byte 5: dropped whole";
    char one[1] = {'X'};
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_STR, one, 1), 0);
    EXPECT_EQ(one[0], '\0');
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_STR, small, 0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_STR, static_cast<char *>(nullptr), 10), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::GetCtrlVal(panel_, 999, small, 6), ui::UIE_INVALID_CONTROL);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_STR, static_cast<const char *>(nullptr)), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_STR, 5), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_TEXT, ""), 0);
    ui::GetCtrlVal(panel_, P_TEXT, &s);
    EXPECT_EQ(s, "");
}

TEST_F(ValuesTest, AStringFieldHoldsAtMostItsMaximumEntryLength) {
    std::string s;
    int limit = 0;
    ASSERT_EQ(ui::GetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, &limit), 0);
    EXPECT_EQ(limit, -1) << "no limit unless one is set";
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, 5), 0);
    ASSERT_EQ(ui::DisplayPanel(panel_), 0);
    // Characters, not bytes: "ą" counts one.
    EXPECT_EQ(ui::model::UserText(panel_, P_STR, "Wystąpił błąd"), ui::model::UserResult::Delivered);
    ui::GetCtrlVal(panel_, P_STR, &s);
    EXPECT_EQ(s, "Wystą");
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_STR, "źdźbło"), 0);
    ui::GetCtrlVal(panel_, P_STR, &s);
    EXPECT_EQ(s, "źdźbł");
    // A panel state saved without the limit comes back within it.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, -1), 0);
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_STR, "0W225551234"), 0);
    ASSERT_EQ(ui::SavePanelState(panel_, "state.gkp", 1), 0);
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, 7), 0);
    ASSERT_EQ(ui::RecallPanelState(panel_, "state.gkp", 1), 0);
    ui::GetCtrlVal(panel_, P_STR, &s);
    EXPECT_EQ(s, "0W22555");
    // A lower limit cuts what the field holds.
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, 2), 0);
    ui::GetCtrlVal(panel_, P_STR, &s);
    EXPECT_EQ(s, "0W");
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, 0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, -2), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_MAX_ENTRY_LENGTH, 5), ui::UIE_BAD_ATTRIBUTE);
    ui::GetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_ENTRY_LENGTH, &limit);
    EXPECT_EQ(limit, 2) << "a refused limit changes nothing";
}

TEST_F(ValuesTest, TextBoxAppendsAsTheRunTimeDid) {
    std::string s;
    int n = 0;
    ASSERT_EQ(ui::ResetTextBox(panel_, P_BOX, ""), 0);
    ui::GetNumTextBoxLines(panel_, P_BOX, &n);
    EXPECT_EQ(n, 0);
    ui::SetCtrlVal(panel_, P_BOX, "first\n");
    ui::SetCtrlVal(panel_, P_BOX, "sec");
    ui::SetCtrlVal(panel_, P_BOX, "ond\nthird");
    ui::GetNumTextBoxLines(panel_, P_BOX, &n);
    EXPECT_EQ(n, 3);
    ui::GetCtrlVal(panel_, P_BOX, &s);
    EXPECT_EQ(s, "first\nsecond\nthird");
    ui::GetTextBoxLine(panel_, P_BOX, 1, &s);
    EXPECT_EQ(s, "second");
    ui::SetCtrlVal(panel_, P_BOX, "\n");
    ui::GetCtrlVal(panel_, P_BOX, &s);
    EXPECT_EQ(s, "first\nsecond\nthird\n") << "a final line break is kept";
    ui::GetNumTextBoxLines(panel_, P_BOX, &n);
    EXPECT_EQ(n, 3) << "and starts no line until text follows";
    int i = 0;
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_BOX, &i), ui::UIE_BAD_VALUE);
}

TEST_F(ValuesTest, RingsAndListsGoByItemValue) {
    int i = 0;
    double d = 0;
    std::string s;
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_RING, 30), 0);
    ui::GetCtrlIndex(panel_, P_RING, &i);
    EXPECT_EQ(i, 2);
    ui::GetCtrlVal(panel_, P_RING, &s);
    EXPECT_EQ(s, "COM3");
    ui::GetCtrlVal(panel_, P_RING, &d);
    EXPECT_EQ(d, 30.0);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_RING, 31), ui::UIE_BAD_VALUE) << "no item has that value";
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_RING, 20.5), ui::UIE_BAD_VALUE);
    ui::GetCtrlVal(panel_, P_RING, &i);
    EXPECT_EQ(i, 30);
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_LIST, &i), ui::UIE_INDEX) << "an empty list has no value";
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_LIST, 0), ui::UIE_BAD_VALUE);
}

TEST_F(ValuesTest, BinaryControlsTakeZeroOrOne) {
    for (int control : {P_RADIO, P_SWITCH, P_LED}) {
        int i = -1;
        EXPECT_EQ(ui::SetCtrlVal(panel_, control, 1), 0);
        ui::GetCtrlVal(panel_, control, &i);
        EXPECT_EQ(i, 1);
        EXPECT_EQ(ui::SetCtrlVal(panel_, control, 0.0), 0);
        ui::GetCtrlVal(panel_, control, &i);
        EXPECT_EQ(i, 0);
        EXPECT_EQ(ui::SetCtrlVal(panel_, control, 2), ui::UIE_BAD_VALUE);
        EXPECT_EQ(ui::SetCtrlVal(panel_, control, 0.5), ui::UIE_BAD_VALUE);
        ui::GetCtrlVal(panel_, control, &i);
        EXPECT_EQ(i, 0);
    }
}

TEST_F(ValuesTest, LevelFollowsItsRange) {
    double d = 0;
    ASSERT_EQ(ui::SetCtrlAttribute(panel_, P_LEVEL, ui::ATTR_MAX_VALUE, 7), 0);
    EXPECT_EQ(ui::SetCtrlVal(panel_, P_LEVEL, 479 * 100.0 / 480), 0);
    ui::GetCtrlVal(panel_, P_LEVEL, &d);
    EXPECT_EQ(d, 7.0);
}

TEST_F(ValuesTest, ButtonsAndTimersHoldNoValue) {
    int i = 0;
    for (int control : {P_BUTTON, P_TIMER}) {
        EXPECT_EQ(ui::SetCtrlVal(panel_, control, 1), ui::UIE_WRONG_KIND);
        EXPECT_EQ(ui::SetCtrlVal(panel_, control, "x"), ui::UIE_WRONG_KIND);
        EXPECT_EQ(ui::GetCtrlVal(panel_, control, &i), ui::UIE_WRONG_KIND);
    }
}

TEST_F(ValuesTest, BadHandlesAndControlsAreReportedNotFollowed) {
    int i = 0;
    EXPECT_EQ(ui::SetCtrlVal(0, P_INT, 1), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::SetCtrlVal(-7, P_INT, 1), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::SetCtrlVal(panel_ + 1000, P_INT, 1), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::SetCtrlVal(panel_, 0, 1), ui::UIE_INVALID_CONTROL);
    EXPECT_EQ(ui::GetCtrlVal(panel_, 77, &i), ui::UIE_INVALID_CONTROL);
    EXPECT_EQ(ui::GetCtrlVal(panel_, P_INT, static_cast<int *>(nullptr)), ui::UIE_BAD_VALUE);
}

}  // namespace
}  // namespace uitest

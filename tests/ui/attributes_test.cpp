// Attributes: each kind offers its own set, of its own type.
#include <cmath>
#include <cstring>

#include "ui_fixture.h"

namespace uitest {
namespace {

using AttributesTest = LoadedPanelTest;

TEST_F(AttributesTest, TheMainScreensCommandStates) {
    int i = 0;
    // Not operable, then operable, then the connection colours.
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_CTRL_MODE, ui::VAL_INDICATOR), 0);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, 1), 0);
    ui::GetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, &i);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_CTRL_MODE, ui::VAL_HOT), 0);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, 0), 0);
    ui::GetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_CTRL_MODE, &i);
    EXPECT_EQ(i, ui::VAL_HOT);
    for (int colour : {ui::VAL_DK_RED, ui::VAL_DK_GREEN, ui::VAL_DK_BLUE}) {
        EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TEXT_COLOR, colour), 0);
        ui::GetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TEXT_COLOR, &i);
        EXPECT_EQ(i, colour);
    }
}

TEST_F(AttributesTest, OutOfRangeAttributeValuesChangeNothing) {
    int i = 0;
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, 2), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_CTRL_MODE, 3), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TEXT_COLOR, 0x1000000), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TEXT_COLOR, -1), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_WIDTH, -1), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_PRECISION, 16), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_INT, ui::ATTR_FORMAT, 2), ui::UIE_BAD_VALUE);
    ui::GetCtrlAttribute(panel_, P_INT, ui::ATTR_FORMAT, &i);
    EXPECT_EQ(i, ui::VAL_DECIMAL_FORMAT);
    ui::GetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, &i);
    EXPECT_EQ(i, 0);
    ui::GetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_CTRL_MODE, &i);
    EXPECT_EQ(i, ui::VAL_HOT);
    ui::GetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TEXT_COLOR, &i);
    EXPECT_EQ(i, ui::VAL_BLACK);
}

TEST_F(AttributesTest, AttributesOfOtherKindsAreRefused) {
    int i = 0;
    double d = 0;
    // Timers have no look; other controls have no interval.
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_DIMMED, 1), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TIMER, ui::ATTR_CTRL_MODE, 0), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_INTERVAL, 1.0), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_ENABLED, 1), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_STR, ui::ATTR_MAX_VALUE, 3.0), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_INT, ui::ATTR_PRECISION, 2), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_FORMAT, ui::VAL_HEX_FORMAT), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_TITLE, "x"), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, 999, 1), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, P_TIMER, ui::ATTR_VISIBLE, &i), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, P_LED, ui::ATTR_INTERVAL, &d), ui::UIE_BAD_ATTRIBUTE);
    // Read-only ones.
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_TEXT, ui::ATTR_CTRL_KIND, ui::CTRL_STRING), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_CALLBACK_NAME, "Other"), ui::UIE_BAD_ATTRIBUTE);
    ui::GetCtrlAttribute(panel_, P_TEXT, ui::ATTR_CTRL_KIND, &i);
    EXPECT_EQ(i, ui::CTRL_TEXT_MSG);
}

TEST_F(AttributesTest, WrongTypesAreRefused) {
    std::string s;
    int i = 0;
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, 1.0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_LABEL_TEXT, 5), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, "1"), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_LABEL_TEXT, static_cast<const char *>(nullptr)),
              ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_DIMMED, &s), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, P_TIMER, ui::ATTR_INTERVAL, &i), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_LABEL_TEXT, "Dalej"), 0);
    ui::GetCtrlAttribute(panel_, P_BUTTON, ui::ATTR_LABEL_TEXT, &s);
    EXPECT_EQ(s, "Dalej");
}

TEST_F(AttributesTest, RangeChangesKeepTheValueInside) {
    double d = 0;
    int i = 0;
    // The progress gauge of the dialling panel: maximum S7, minimum 0.
    ASSERT_EQ(ui::SetCtrlVal(panel_, P_LEVEL, 80.0), 0);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_LEVEL, ui::ATTR_MAX_VALUE, 45), 0);
    ui::GetCtrlVal(panel_, P_LEVEL, &d);
    EXPECT_EQ(d, 45.0);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_LEVEL, ui::ATTR_MIN_VALUE, 50.0), ui::UIE_BAD_VALUE) << "min above max";
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_LEVEL, ui::ATTR_MAX_VALUE, 0), 0) << "an empty range is allowed";
    ui::GetCtrlVal(panel_, P_LEVEL, &d);
    EXPECT_EQ(d, 0.0);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_INT, ui::ATTR_MAX_VALUE, 2.5), ui::UIE_BAD_VALUE)
        << "an int control's range is whole";
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_INT, ui::ATTR_MAX_VALUE, 6), 0);
    ui::GetCtrlVal(panel_, P_INT, &i);
    EXPECT_EQ(i, 6);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, P_INT, ui::ATTR_MAX_VALUE, &i), 0);
    EXPECT_EQ(i, 6);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, P_NUM, ui::ATTR_MAX_VALUE, &i), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, P_NUM, ui::ATTR_MAX_VALUE, &d), 0);
    EXPECT_EQ(d, 100.0);
    EXPECT_EQ(ui::SetCtrlAttribute(panel_, P_NUM, ui::ATTR_MAX_VALUE, INFINITY), ui::UIE_BAD_VALUE);
}

TEST_F(AttributesTest, PanelAttributes) {
    int i = 0;
    std::string s;
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_TITLE, "User Program  1.01"), 0);
    ui::GetPanelAttribute(panel_, ui::ATTR_TITLE, &s);
    EXPECT_EQ(s, "User Program  1.01");
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_WIDTH, 400), 0);
    ui::GetPanelAttribute(panel_, ui::ATTR_WIDTH, &i);
    EXPECT_EQ(i, 400);
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_VISIBLE, 1), 0);
    ui::GetPanelAttribute(panel_, ui::ATTR_VISIBLE, &i);
    EXPECT_EQ(i, 1);
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_PANEL_RESOURCE_ID, 4), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_DIMMED, 1), ui::UIE_BAD_ATTRIBUTE);
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_TITLE, 3), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_HEIGHT, -5), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetPanelAttribute(panel_, ui::ATTR_TITLE, static_cast<const char *>(nullptr)), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::GetPanelAttribute(panel_, ui::ATTR_TITLE, &i), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::SetPanelAttribute(panel_ + 99, ui::ATTR_TITLE, "x"), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_ + 99, P_TEXT, ui::ATTR_DIMMED, &i), ui::UIE_INVALID_PANEL);
    EXPECT_EQ(ui::GetCtrlAttribute(panel_, 99, ui::ATTR_DIMMED, &i), ui::UIE_INVALID_CONTROL);
}

}  // namespace
}  // namespace uitest

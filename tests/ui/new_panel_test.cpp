// Panels and controls made at run time (the upgrade's progress window).
#include "ui_fixture.h"

namespace uitest {
namespace {

class NewPanelTest : public UiTest {};

TEST_F(NewPanelTest, TheProgressWindow) {
    int height = 0, width = 0;
    ASSERT_EQ(ui::GetScreenSize(&height, &width), 0);
    const int panel = ui::NewPanel(0, "Flash UpLoad progress level", height / 2 - 100, width / 2 - 100, 25, 400);
    ASSERT_GT(panel, 0);
    const int gauge = ui::NewCtrl(panel, ui::CTRL_LEVEL_INDICATOR, "progress", 10, 10);
    ASSERT_GT(gauge, 0);
    ASSERT_EQ(ui::SetCtrlAttribute(panel, gauge, ui::ATTR_MIN_VALUE, 0.0), 0);
    ASSERT_EQ(ui::SetCtrlAttribute(panel, gauge, ui::ATTR_MAX_VALUE, 100.0), 0);
    ASSERT_EQ(ui::DisplayPanel(panel), 0);
    for (int page = 0; page < 480; ++page) ASSERT_EQ(ui::SetCtrlVal(panel, gauge, page * 100.0 / 480), 0);
    double last = 0;
    ui::GetCtrlVal(panel, gauge, &last);
    EXPECT_DOUBLE_EQ(last, 479 * 100.0 / 480);

    int v = 0;
    std::string s;
    ui::GetPanelAttribute(panel, ui::ATTR_TOP, &v);
    EXPECT_EQ(v, 440);
    ui::GetPanelAttribute(panel, ui::ATTR_LEFT, &v);
    EXPECT_EQ(v, 860);
    ui::GetPanelAttribute(panel, ui::ATTR_WIDTH, &v);
    EXPECT_EQ(v, 400);
    ui::GetPanelAttribute(panel, ui::ATTR_HEIGHT, &v);
    EXPECT_EQ(v, 25);
    ui::GetPanelAttribute(panel, ui::ATTR_TITLE, &s);
    EXPECT_EQ(s, "Flash UpLoad progress level");
    ui::GetPanelAttribute(panel, ui::ATTR_PANEL_RESOURCE_ID, &v);
    EXPECT_EQ(v, 0);
    ui::GetCtrlAttribute(panel, gauge, ui::ATTR_LABEL_TEXT, &s);
    EXPECT_EQ(s, "progress");
    ui::GetCtrlAttribute(panel, gauge, ui::ATTR_TOP, &v);
    EXPECT_EQ(v, 10);
    ASSERT_EQ(ui::HidePanel(panel), 0);
    ui::GetPanelAttribute(panel, ui::ATTR_VISIBLE, &v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(ui::model::FindPanelByResource(0), 0) << "a made panel is not found as resource 0";
}

TEST_F(NewPanelTest, ControlNumbersFollowTheExistingOnes) {
    const int panel = Load();
    const int a = ui::NewCtrl(panel, ui::CTRL_STRING, "a", 0, 0);
    const int b = ui::NewCtrl(panel, ui::CTRL_TIMER, "b", 0, 0);
    EXPECT_EQ(a, P_HIDDEN + 1);
    EXPECT_EQ(b, a + 1);
    EXPECT_EQ(ui::SetCtrlVal(panel, a, "x"), 0);
    int kind = 0;
    ui::GetCtrlAttribute(panel, b, ui::ATTR_CTRL_KIND, &kind);
    EXPECT_EQ(kind, ui::CTRL_TIMER);
}

TEST_F(NewPanelTest, BadArgumentsAreRefused) {
    EXPECT_EQ(ui::NewPanel(0, "t", 0, 0, -1, 10), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::NewPanel(4242, "t", 0, 0, 10, 10), ui::UIE_INVALID_PANEL);
    const int panel = ui::NewPanel(0, nullptr, 0, 0, 10, 10);
    ASSERT_GT(panel, 0);
    EXPECT_EQ(ui::NewCtrl(panel, 0, "x", 0, 0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::NewCtrl(panel, ui::CTRL_LED + 1, "x", 0, 0), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::NewCtrl(panel + 1, ui::CTRL_LED, "x", 0, 0), ui::UIE_INVALID_PANEL);
    EXPECT_GT(ui::NewCtrl(panel, ui::CTRL_LED, nullptr, 0, 0), 0);
}

}  // namespace
}  // namespace uitest

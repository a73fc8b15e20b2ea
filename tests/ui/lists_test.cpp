// Ring and list items, and text-box lines.
#include "ui_fixture.h"

namespace uitest {
namespace {

class ListsTest : public LoadedPanelTest {
protected:
    int Count(int control) {
        int n = -1;
        EXPECT_EQ(ui::GetNumListItems(panel_, control, &n), 0);
        return n;
    }
    int Index(int control) {
        int i = -2;
        EXPECT_EQ(ui::GetCtrlIndex(panel_, control, &i), 0);
        return i;
    }
};

TEST_F(ListsTest, ThePortListIsFilledAndPreselected) {
    ASSERT_EQ(ui::ClearListCtrl(panel_, P_LIST), 0);
    EXPECT_EQ(Index(P_LIST), -1);
    const char *ports[] = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};
    for (int i = 0; i < 8; ++i) ASSERT_EQ(ui::InsertListItem(panel_, P_LIST, -1, ports[i], i), 0);
    EXPECT_EQ(Count(P_LIST), 8);
    EXPECT_EQ(Index(P_LIST), 0) << "the first item is selected as it arrives";
    EXPECT_EQ(ui::SetCtrlIndex(panel_, P_LIST, 4), 0);
    int value = -1;
    ui::GetCtrlVal(panel_, P_LIST, &value);
    EXPECT_EQ(value, 4);
    // Port 9 has no item: the preselection fails and the selection stays.
    EXPECT_EQ(ui::SetCtrlIndex(panel_, P_LIST, 8), ui::UIE_INDEX);
    EXPECT_EQ(ui::SetCtrlIndex(panel_, P_LIST, -1), ui::UIE_INDEX);
    EXPECT_EQ(Index(P_LIST), 4);
}

TEST_F(ListsTest, InsertingKeepsTheSelectedItemSelected) {
    ASSERT_EQ(Index(P_RING), 1);  // "COM2"
    ASSERT_EQ(ui::InsertListItem(panel_, P_RING, 0, "COM0", 0), 0);
    EXPECT_EQ(Index(P_RING), 2);
    ASSERT_EQ(ui::InsertListItem(panel_, P_RING, 4, "COM9", 90), 0) << "index = count appends";
    EXPECT_EQ(Count(P_RING), 5);
    std::string label;
    ui::GetLabelFromIndex(panel_, P_RING, 4, &label);
    EXPECT_EQ(label, "COM9");
    ui::GetCtrlVal(panel_, P_RING, &label);
    EXPECT_EQ(label, "COM2");
    EXPECT_EQ(ui::InsertListItem(panel_, P_RING, 6, "x", 1), ui::UIE_INDEX);
    EXPECT_EQ(ui::InsertListItem(panel_, P_RING, -2, "x", 1), ui::UIE_INDEX);
    EXPECT_EQ(ui::InsertListItem(panel_, P_RING, 0, nullptr, 1), ui::UIE_BAD_VALUE);
    EXPECT_EQ(Count(P_RING), 5);
}

TEST_F(ListsTest, ReplaceDeleteAndLookUp) {
    // The stored-numbers list: an item per slot, replaced by the number read.
    for (int slot = 0; slot < 4; ++slot) ui::InsertListItem(panel_, P_LIST, -1, "brak numeru", slot);
    ASSERT_EQ(ui::ReplaceListItem(panel_, P_LIST, 2, "0221234567", 2), 0);
    std::string label;
    int value = -1, index = -1;
    ui::GetLabelFromIndex(panel_, P_LIST, 2, &label);
    EXPECT_EQ(label, "0221234567");
    ui::GetValueFromIndex(panel_, P_LIST, 2, &value);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(ui::GetIndexFromValue(panel_, P_LIST, &index, 3), 0);
    EXPECT_EQ(index, 3);
    EXPECT_EQ(ui::GetIndexFromValue(panel_, P_LIST, &index, 4), ui::UIE_BAD_VALUE);
    EXPECT_EQ(ui::ReplaceListItem(panel_, P_LIST, 4, "x", 4), ui::UIE_INDEX);

    ui::SetCtrlIndex(panel_, P_LIST, 3);
    ASSERT_EQ(ui::DeleteListItem(panel_, P_LIST, 1, 1), 0);
    EXPECT_EQ(Count(P_LIST), 3);
    ui::GetCtrlVal(panel_, P_LIST, &value);
    EXPECT_EQ(value, 3) << "the selected item stays selected";
    ASSERT_EQ(ui::DeleteListItem(panel_, P_LIST, 1, -1), 0);
    EXPECT_EQ(Count(P_LIST), 1);
    EXPECT_EQ(Index(P_LIST), 0) << "its item went: the last one left";
    EXPECT_EQ(ui::DeleteListItem(panel_, P_LIST, 1, 1), ui::UIE_INDEX);
    ASSERT_EQ(ui::DeleteListItem(panel_, P_LIST, 0, 50), 0) << "a count past the end stops there";
    EXPECT_EQ(Index(P_LIST), -1);
}

TEST_F(ListsTest, ListCallsOnOtherKindsAreRefused) {
    int n = 0;
    EXPECT_EQ(ui::InsertListItem(panel_, P_NUM, -1, "x", 1), ui::UIE_WRONG_KIND);
    EXPECT_EQ(ui::ClearListCtrl(panel_, P_BOX), ui::UIE_WRONG_KIND);
    EXPECT_EQ(ui::GetNumListItems(panel_, P_TIMER, &n), ui::UIE_WRONG_KIND);
    EXPECT_EQ(ui::SetCtrlIndex(panel_, P_STR, 0), ui::UIE_WRONG_KIND);
    EXPECT_EQ(ui::ResetTextBox(panel_, P_LIST, "x"), ui::UIE_WRONG_KIND);
    EXPECT_EQ(ui::InsertTextBoxLine(panel_, P_TEXT, -1, "x"), ui::UIE_WRONG_KIND);
    EXPECT_EQ(ui::GetNumListItems(panel_, 500, &n), ui::UIE_INVALID_CONTROL);
    EXPECT_EQ(ui::GetNumListItems(0, P_LIST, &n), ui::UIE_INVALID_PANEL);
}

TEST_F(ListsTest, TextBoxLines) {
    int n = 0;
    std::string line;
    // The comment popup's text box starts with a single line.
    ASSERT_EQ(ui::ResetTextBox(panel_, P_BOX, "Brak komentarza"), 0);
    ui::GetNumTextBoxLines(panel_, P_BOX, &n);
    EXPECT_EQ(n, 1);
    ASSERT_EQ(ui::InsertTextBoxLine(panel_, P_BOX, -1, "druga"), 0);
    ASSERT_EQ(ui::InsertTextBoxLine(panel_, P_BOX, 0, "zerowa"), 0);
    ASSERT_EQ(ui::InsertTextBoxLine(panel_, P_BOX, 3, "a\nb"), 0) << "a line break makes two lines";
    ui::GetNumTextBoxLines(panel_, P_BOX, &n);
    EXPECT_EQ(n, 5);
    const char *expected[] = {"zerowa", "Brak komentarza", "druga", "a", "b"};
    for (int i = 0; i < 5; ++i) {
        ASSERT_EQ(ui::GetTextBoxLine(panel_, P_BOX, i, &line), 0);
        EXPECT_EQ(line, expected[i]);
    }
    EXPECT_EQ(ui::GetTextBoxLine(panel_, P_BOX, 5, &line), ui::UIE_INDEX);
    EXPECT_EQ(ui::GetTextBoxLine(panel_, P_BOX, -1, &line), ui::UIE_INDEX);
    EXPECT_EQ(ui::InsertTextBoxLine(panel_, P_BOX, 7, "x"), ui::UIE_INDEX);
    EXPECT_EQ(ui::InsertTextBoxLine(panel_, P_BOX, 0, nullptr), ui::UIE_BAD_VALUE);
    ui::SetCtrlVal(panel_, P_BOX, "c");
    ui::GetTextBoxLine(panel_, P_BOX, 4, &line);
    EXPECT_EQ(line, "bc") << "appended text continues the last line";
}

}  // namespace
}  // namespace uitest

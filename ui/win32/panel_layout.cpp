#include "ui/win32/panel_layout.h"

#include <algorithm>

#include "ui/model.h"
#include "ui/win32/gdi.h"

namespace ui::win32::detail {
namespace {

// Controls whose spans in the resource file overlap by more than this share
// a column.
constexpr int kOverlap = 10;
constexpr int kMarginAt96 = 12;
constexpr int kColumnGapAt96 = 20;
constexpr int kRowGapAt96 = 10;
constexpr int kLabelGapAt96 = 12;
constexpr int kButtonGapAt96 = 8;

// The gaps at the screen's resolution.
const int kMargin = Px(kMarginAt96), kColumnGap = Px(kColumnGapAt96), kRowGap = Px(kRowGapAt96),
          kLabelGap = Px(kLabelGapAt96), kButtonGap = Px(kButtonGapAt96);

struct Item {
    ControlWindow *window;
    const model::Control *control;
};

struct Column {
    int left = 0, right = 0;  // the resource file's span
    std::vector<Item> rows;
};

bool ByPlacement(const Item &a, const Item &b) {
    if (a.control->top != b.control->top) return a.control->top < b.control->top;
    return a.control->left < b.control->left;
}

Column &ColumnFor(std::vector<Column> &columns, const model::Control &c) {
    const int left = c.left, right = c.left + std::max(c.width, 0);
    for (Column &column : columns)
        if (left < column.right - kOverlap && right > column.left + kOverlap) {
            column.left = std::min(column.left, left);
            column.right = std::max(column.right, right);
            return column;
        }
    Column column;
    column.left = left;
    column.right = std::max(right, left + 2 * kOverlap + 1);
    columns.push_back(column);
    return columns.back();
}

void Move(HWND window, int x, int y, int width, int height) {
    if (window) SetWindowPos(window, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

SIZE LayOut(int panel, const std::vector<std::unique_ptr<ControlWindow>> &controls, int minWidth) {
    std::vector<Item> values, buttons;
    for (const auto &window : controls) {
        const model::Control *c = model::FindControl(panel, window->Number());
        if (!c || !window->Widget() || !window->Visible()) continue;
        (window->IsButton() ? buttons : values).push_back({window.get(), c});
    }
    // Columns come out left to right when the controls go in that order.
    std::stable_sort(values.begin(), values.end(), [](const Item &a, const Item &b) {
        return a.control->left != b.control->left ? a.control->left < b.control->left : a.control->top < b.control->top;
    });
    std::vector<Column> columns;
    for (const Item &item : values) ColumnFor(columns, *item.control).rows.push_back(item);

    // Each column as wide as its widest label and field.
    struct Widths {
        int labels = 0, fields = 0;
    };
    std::vector<Widths> widths(columns.size());
    int valuesWidth = kMargin;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        std::stable_sort(columns[i].rows.begin(), columns[i].rows.end(), ByPlacement);
        for (const Item &row : columns[i].rows) {
            widths[i].labels = std::max(widths[i].labels, row.window->LabelWidth());
            widths[i].fields = std::max(widths[i].fields, static_cast<int>(row.window->Preferred().cx));
        }
        valuesWidth +=
            (i ? kColumnGap : 0) + (widths[i].labels > 0 ? widths[i].labels + kLabelGap : 0) + widths[i].fields;
    }

    std::stable_sort(buttons.begin(), buttons.end(), ByPlacement);
    int buttonsWidth = 0, buttonHeight = 0;
    for (const Item &b : buttons) {
        buttonsWidth += static_cast<int>(b.window->Preferred().cx) + (buttonsWidth ? kButtonGap : 0);
        buttonHeight = std::max(buttonHeight, static_cast<int>(b.window->Preferred().cy));
    }
    const int width = std::max(std::max(valuesWidth, kMargin + buttonsWidth) + kMargin, minWidth);
    // The fields of the last column take the room the buttons leave.
    if (!columns.empty()) widths.back().fields += width - kMargin - valuesWidth;

    int x = kMargin, height = 0;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const int labels = widths[i].labels, fields = widths[i].fields;
        const int fieldLeft = x + (labels > 0 ? labels + kLabelGap : 0);
        int y = kMargin;
        for (const Item &row : columns[i].rows) {
            const SIZE size = row.window->Preferred();
            const int fieldWidth = row.window->Grows() ? fields : static_cast<int>(size.cx);
            // A drop-down list is as tall as its list when open.
            const int windowHeight = row.window->Kind() == CTRL_RING ? size.cy + DropDownHeight() : size.cy;
            const int rowHeight = std::max(static_cast<int>(size.cy), LineHeight() + Px(6));
            Move(row.window->Widget(), fieldLeft, y + (rowHeight - size.cy) / 2, fieldWidth, windowHeight);
            if (row.window->Label())
                Move(row.window->Label(), x, y, std::max(labels, 1), std::min(rowHeight, LineHeight() + Px(10)));
            y += rowHeight + kRowGap;
        }
        height = std::max(height, y - kRowGap);
        x = fieldLeft + fields + kColumnGap;
    }

    int top = columns.empty() ? kMargin : height + 2 * kRowGap;
    int left = width - kMargin - buttonsWidth;
    for (const Item &b : buttons) {
        const SIZE size = b.window->Preferred();
        Move(b.window->Widget(), left, top, size.cx, buttonHeight);
        left += size.cx + kButtonGap;
    }
    if (!buttons.empty()) top += buttonHeight;
    return {width, top + kMargin};
}

}  // namespace ui::win32::detail

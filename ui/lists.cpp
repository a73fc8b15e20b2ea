// Items of rings and list boxes; lines of text boxes.
#include "ui/core.h"

namespace ui {
namespace {

// The control if it is of a kind that `accepts`, else the error code.
template <class Accepts>
int Get(int panel, int control, Accepts accepts, model::Control **c) {
    if (int rc = core::Lookup(panel, control, nullptr, c)) return rc;
    return accepts((*c)->kind) ? 0 : UIE_WRONG_KIND;
}

int GetList(int panel, int control, model::Control **c) { return Get(panel, control, core::IsListKind, c); }

int GetTextBox(int panel, int control, model::Control **c) {
    return Get(
        panel, control, [](int kind) { return kind == CTRL_TEXT_BOX; }, c);
}

int Changed(int panel, int control) {
    core::Notify([&](Backend &b) { b.ControlChanged(panel, control); });
    return 0;
}

bool InItems(const model::Control &c, int index) { return index >= 0 && index < static_cast<int>(c.items.size()); }

}  // namespace

int ClearListCtrl(int panel, int control) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    c->items.clear();
    c->index = -1;
    return Changed(panel, control);
}

int InsertListItem(int panel, int control, int index, const char *label, int value) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!label) return UIE_BAD_VALUE;
    const int count = static_cast<int>(c->items.size());
    if (index == -1) index = count;
    if (index < 0 || index > count) return UIE_INDEX;
    c->items.insert(c->items.begin() + index, model::ListItem{label, value});
    // The selection stays on the item it was on; a first item becomes selected.
    if (c->index < 0)
        c->index = 0;
    else if (index <= c->index)
        ++c->index;
    return Changed(panel, control);
}

int ReplaceListItem(int panel, int control, int index, const char *label, int value) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!label) return UIE_BAD_VALUE;
    if (!InItems(*c, index)) return UIE_INDEX;
    c->items[static_cast<std::size_t>(index)] = model::ListItem{label, value};
    return Changed(panel, control);
}

int DeleteListItem(int panel, int control, int index, int count) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    const int size = static_cast<int>(c->items.size());
    if (!InItems(*c, index)) return UIE_INDEX;
    if (count == -1 || count > size - index) count = size - index;
    if (count < 0) return UIE_BAD_VALUE;
    c->items.erase(c->items.begin() + index, c->items.begin() + index + count);
    if (c->index >= index + count)
        c->index -= count;
    else if (c->index >= index)
        c->index = index;  // its item went: the next one (or the last)
    if (c->index >= static_cast<int>(c->items.size())) c->index = static_cast<int>(c->items.size()) - 1;
    return Changed(panel, control);
}

int GetNumListItems(int panel, int control, int *count) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!count) return UIE_BAD_VALUE;
    *count = static_cast<int>(c->items.size());
    return 0;
}

int SetCtrlIndex(int panel, int control, int index) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!InItems(*c, index)) return UIE_INDEX;
    c->index = index;
    return Changed(panel, control);
}

int GetCtrlIndex(int panel, int control, int *index) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!index) return UIE_BAD_VALUE;
    *index = c->index;
    return 0;
}

int GetLabelFromIndex(int panel, int control, int index, std::string *label) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!InItems(*c, index)) return UIE_INDEX;
    if (!label) return UIE_BAD_VALUE;
    *label = c->items[static_cast<std::size_t>(index)].label;
    return 0;
}

int GetValueFromIndex(int panel, int control, int index, int *value) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!InItems(*c, index)) return UIE_INDEX;
    if (!value) return UIE_BAD_VALUE;
    *value = c->items[static_cast<std::size_t>(index)].value;
    return 0;
}

int GetIndexFromValue(int panel, int control, int *index, int value) {
    model::Control *c = nullptr;
    if (int rc = GetList(panel, control, &c)) return rc;
    if (!index) return UIE_BAD_VALUE;
    for (std::size_t i = 0; i < c->items.size(); ++i)
        if (c->items[i].value == value) {
            *index = static_cast<int>(i);
            return 0;
        }
    return UIE_BAD_VALUE;
}

// ---- text boxes ----

int ResetTextBox(int panel, int control, const char *text) {
    model::Control *c = nullptr;
    if (int rc = GetTextBox(panel, control, &c)) return rc;
    if (!text) return UIE_BAD_VALUE;
    core::ResetLines(*c, text);
    return Changed(panel, control);
}

int InsertTextBoxLine(int panel, int control, int index, const char *text) {
    model::Control *c = nullptr;
    if (int rc = GetTextBox(panel, control, &c)) return rc;
    if (!text) return UIE_BAD_VALUE;
    const int count = static_cast<int>(c->lines.size());
    if (index == -1) index = count;
    if (index < 0 || index > count) return UIE_INDEX;
    // A text with line breaks becomes several lines.
    model::Control pieces;
    core::ResetLines(pieces, text);
    if (pieces.lines.empty()) pieces.lines.emplace_back();
    c->lines.insert(c->lines.begin() + index, pieces.lines.begin(), pieces.lines.end());
    if (index == count) c->lineOpen = false;
    return Changed(panel, control);
}

int GetNumTextBoxLines(int panel, int control, int *count) {
    model::Control *c = nullptr;
    if (int rc = GetTextBox(panel, control, &c)) return rc;
    if (!count) return UIE_BAD_VALUE;
    *count = static_cast<int>(c->lines.size());
    return 0;
}

int GetTextBoxLine(int panel, int control, int index, std::string *line) {
    model::Control *c = nullptr;
    if (int rc = GetTextBox(panel, control, &c)) return rc;
    if (index < 0 || index >= static_cast<int>(c->lines.size())) return UIE_INDEX;
    if (!line) return UIE_BAD_VALUE;
    *line = c->lines[static_cast<std::size_t>(index)];
    return 0;
}

}  // namespace ui

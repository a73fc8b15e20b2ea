// Control values: what each kind holds and which types it takes.
#include <climits>
#include <cmath>

#include "platform/utf8.h"
#include "ui/core.h"

namespace ui::core {

bool HasValue(int kind) { return kind != CTRL_COMMAND_BUTTON && kind != CTRL_TIMER; }
bool IsNumericKind(int kind) {
    return kind == CTRL_NUMERIC || kind == CTRL_NUMERIC_INT || kind == CTRL_LEVEL_INDICATOR;
}
bool IsBinaryKind(int kind) { return kind == CTRL_RADIO_BUTTON || kind == CTRL_BINARY_SWITCH || kind == CTRL_LED; }
bool IsListKind(int kind) { return kind == CTRL_RING || kind == CTRL_LIST_BOX; }
bool IsTextKind(int kind) { return kind == CTRL_STRING || kind == CTRL_TEXT_MSG; }

void ClampToRange(model::Control &c) {
    if (c.numeric < c.minValue) c.numeric = c.minValue;
    if (c.numeric > c.maxValue) c.numeric = c.maxValue;
}

int StoreInt(model::Control &c, int value) {
    if (!HasValue(c.kind)) return UIE_WRONG_KIND;
    if (IsNumericKind(c.kind)) {
        c.numeric = value;
        ClampToRange(c);
        return 0;
    }
    if (IsBinaryKind(c.kind)) {
        if (value != 0 && value != 1) return UIE_BAD_VALUE;
        c.numeric = value;
        return 0;
    }
    if (IsListKind(c.kind)) {
        for (std::size_t i = 0; i < c.items.size(); ++i)
            if (c.items[i].value == value) {
                c.index = static_cast<int>(i);
                return 0;
            }
        return UIE_BAD_VALUE;
    }
    return UIE_BAD_VALUE;  // text kinds
}

int StoreDouble(model::Control &c, double value) {
    if (!HasValue(c.kind)) return UIE_WRONG_KIND;
    if (!std::isfinite(value)) return UIE_BAD_VALUE;
    if (c.kind == CTRL_NUMERIC || c.kind == CTRL_LEVEL_INDICATOR) {
        c.numeric = value;
        ClampToRange(c);
        return 0;
    }
    if (c.kind == CTRL_NUMERIC_INT || IsBinaryKind(c.kind) || IsListKind(c.kind)) {
        const double rounded = std::nearbyint(value);
        if (rounded < INT_MIN || rounded > INT_MAX) return UIE_BAD_VALUE;
        // Rings, lists and switches take exact values only; an int field rounds.
        if (c.kind != CTRL_NUMERIC_INT && rounded != value) return UIE_BAD_VALUE;
        return StoreInt(c, static_cast<int>(rounded));
    }
    return UIE_BAD_VALUE;
}

int StoreText(model::Control &c, const char *value) {
    if (!HasValue(c.kind)) return UIE_WRONG_KIND;
    if (!value) return UIE_BAD_VALUE;
    if (IsTextKind(c.kind)) {
        c.text = value;
        CutToEntryLength(c);
        return 0;
    }
    if (c.kind == CTRL_TEXT_BOX) {
        AppendText(c, value);
        return 0;
    }
    return UIE_BAD_VALUE;
}

void CutToEntryLength(model::Control &c) {
    if (c.kind != CTRL_STRING || c.maxEntryLength < 0) return;
    c.text.resize(platform::Utf8CutLength(c.text, c.text.size(), static_cast<std::size_t>(c.maxEntryLength)));
}

void AppendText(model::Control &c, std::string_view text) {
    if (text.empty()) return;
    std::size_t start = 0;
    bool first = true;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        const std::string_view part =
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
        // The first piece continues the last line unless that line was ended.
        if (first && !c.lines.empty() && !c.lineOpen)
            c.lines.back().append(part);
        else
            c.lines.emplace_back(part);
        first = false;
        if (end == std::string_view::npos) {
            c.lineOpen = false;
            return;
        }
        start = end + 1;
        if (start == text.size()) {
            c.lineOpen = true;
            return;
        }
    }
}

void ResetLines(model::Control &c, std::string_view text) {
    c.lines.clear();
    c.lineOpen = false;
    AppendText(c, text);
}

std::string JoinLines(const model::Control &c) {
    std::string out;
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
        if (i) out += '\n';
        out += c.lines[i];
    }
    if (c.lineOpen) out += '\n';
    return out;
}

}  // namespace ui::core

namespace ui {
namespace {

template <class Store>
int Set(int panel, int control, Store store) {
    model::Control *c = nullptr;
    if (int rc = core::Lookup(panel, control, nullptr, &c)) return rc;
    if (int rc = store(*c)) return rc;
    core::Notify([&](Backend &b) { b.ControlChanged(panel, control); });
    return 0;
}

int SelectedItem(const model::Control &c, const model::ListItem **item) {
    if (c.index < 0 || c.index >= static_cast<int>(c.items.size())) return UIE_INDEX;
    *item = &c.items[static_cast<std::size_t>(c.index)];
    return 0;
}

}  // namespace

int SetCtrlVal(int panel, int control, int value) {
    return Set(panel, control, [&](model::Control &c) -> int { return core::StoreInt(c, value); });
}

int SetCtrlVal(int panel, int control, double value) {
    return Set(panel, control, [&](model::Control &c) -> int { return core::StoreDouble(c, value); });
}

int SetCtrlVal(int panel, int control, const char *value) {
    return Set(panel, control, [&](model::Control &c) -> int { return core::StoreText(c, value); });
}

int GetCtrlVal(int panel, int control, int *value) {
    model::Control *c = nullptr;
    if (int rc = core::Lookup(panel, control, nullptr, &c)) return rc;
    if (!core::HasValue(c->kind)) return UIE_WRONG_KIND;
    if (!value) return UIE_BAD_VALUE;
    if (c->kind == CTRL_NUMERIC_INT || core::IsBinaryKind(c->kind)) {
        *value = static_cast<int>(c->numeric);
        return 0;
    }
    if (core::IsListKind(c->kind)) {
        const model::ListItem *item = nullptr;
        if (int rc = SelectedItem(*c, &item)) return rc;
        *value = item->value;
        return 0;
    }
    return UIE_BAD_VALUE;  // a real or a text does not fit an int
}

int GetCtrlVal(int panel, int control, double *value) {
    model::Control *c = nullptr;
    if (int rc = core::Lookup(panel, control, nullptr, &c)) return rc;
    if (!core::HasValue(c->kind)) return UIE_WRONG_KIND;
    if (!value) return UIE_BAD_VALUE;
    if (core::IsNumericKind(c->kind) || core::IsBinaryKind(c->kind)) {
        *value = c->numeric;
        return 0;
    }
    if (core::IsListKind(c->kind)) {
        const model::ListItem *item = nullptr;
        if (int rc = SelectedItem(*c, &item)) return rc;
        *value = item->value;
        return 0;
    }
    return UIE_BAD_VALUE;
}

int GetCtrlVal(int panel, int control, std::string *value) {
    model::Control *c = nullptr;
    if (int rc = core::Lookup(panel, control, nullptr, &c)) return rc;
    if (!core::HasValue(c->kind)) return UIE_WRONG_KIND;
    if (!value) return UIE_BAD_VALUE;
    if (core::IsTextKind(c->kind)) {
        *value = c->text;
        return 0;
    }
    if (c->kind == CTRL_TEXT_BOX) {
        *value = core::JoinLines(*c);
        return 0;
    }
    if (core::IsListKind(c->kind)) {
        const model::ListItem *item = nullptr;
        if (int rc = SelectedItem(*c, &item)) return rc;
        *value = item->label;
        return 0;
    }
    return UIE_BAD_VALUE;
}

int GetCtrlVal(int panel, int control, char *value, int size) {
    if (!value || size <= 0) {
        // Still report a bad handle first, as every call does.
        if (int rc = core::Lookup(panel, control, nullptr, nullptr)) return rc;
        return UIE_BAD_VALUE;
    }
    std::string text;
    if (int rc = GetCtrlVal(panel, control, &text)) return rc;
    core::CopyOut(text, value, size);
    return 0;
}

}  // namespace ui

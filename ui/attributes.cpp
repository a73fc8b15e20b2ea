// Control and panel attributes: which kind has which, of which type.
#include <cmath>

#include "ui/core.h"

namespace ui {
namespace {

enum class Type { None, Int, Double, Text };

struct AttrInfo {
    Type type = Type::None;
    bool readOnly = false;
};

// Type of a control attribute for the kind; Type::None = not offered.
AttrInfo ControlAttr(int attribute, int kind) {
    const bool timer = kind == CTRL_TIMER;
    switch (attribute) {
    case ATTR_DIMMED:
    case ATTR_CTRL_MODE:
    case ATTR_TEXT_COLOR:
    case ATTR_VISIBLE:
    case ATTR_TOP:
    case ATTR_LEFT:
    case ATTR_WIDTH:
    case ATTR_HEIGHT: return {timer ? Type::None : Type::Int};
    case ATTR_LABEL_TEXT: return {Type::Text};
    case ATTR_INTERVAL: return {timer ? Type::Double : Type::None};
    case ATTR_ENABLED: return {timer ? Type::Int : Type::None};
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE: return {core::IsNumericKind(kind) ? Type::Double : Type::None};
    case ATTR_PRECISION: return {kind == CTRL_NUMERIC || kind == CTRL_LEVEL_INDICATOR ? Type::Int : Type::None};
    case ATTR_FORMAT: return {kind == CTRL_NUMERIC_INT ? Type::Int : Type::None};
    case ATTR_MAX_ENTRY_LENGTH: return {kind == CTRL_STRING ? Type::Int : Type::None};
    case ATTR_CTRL_KIND: return {Type::Int, true};
    case ATTR_CALLBACK_NAME: return {Type::Text, true};
    default: return {};
    }
}

int Flag(int value, bool &out) {
    if (value != 0 && value != 1) return UIE_BAD_VALUE;
    out = value == 1;
    return 0;
}

int SetRange(model::Control &c, int attribute, double value) {
    if (!std::isfinite(value)) return UIE_BAD_VALUE;
    if (c.kind == CTRL_NUMERIC_INT && value != std::floor(value)) return UIE_BAD_VALUE;
    const double lo = attribute == ATTR_MIN_VALUE ? value : c.minValue;
    const double hi = attribute == ATTR_MAX_VALUE ? value : c.maxValue;
    if (lo > hi) return UIE_BAD_VALUE;
    c.minValue = lo;
    c.maxValue = hi;
    core::ClampToRange(c);
    return 0;
}

int SetInterval(model::Control &c, double value) {
    if (!std::isfinite(value) || value < 0.001) return UIE_BAD_VALUE;
    c.interval = value;
    if (c.enabled) core::StartTimer(c);  // a new interval counts from now
    core::TimersChanged();
    return 0;
}

int SetIntAttr(model::Control &c, int attribute, int value) {
    switch (attribute) {
    case ATTR_DIMMED: return Flag(value, c.dimmed);
    case ATTR_VISIBLE: return Flag(value, c.visible);
    case ATTR_CTRL_MODE:
        if (value != VAL_NORMAL && value != VAL_HOT && value != VAL_INDICATOR) return UIE_BAD_VALUE;
        c.mode = value;
        return 0;
    case ATTR_TEXT_COLOR:
        if (value < 0 || value > 0xFFFFFF) return UIE_BAD_VALUE;
        c.textColor = value;
        return 0;
    case ATTR_TOP: c.top = value; return 0;
    case ATTR_LEFT: c.left = value; return 0;
    case ATTR_WIDTH:
    case ATTR_HEIGHT:
        if (value < 0) return UIE_BAD_VALUE;
        (attribute == ATTR_WIDTH ? c.width : c.height) = value;
        return 0;
    case ATTR_PRECISION:
        if (value < 0 || value > 15) return UIE_BAD_VALUE;
        c.precision = value;
        return 0;
    case ATTR_FORMAT:
        if (value != VAL_DECIMAL_FORMAT && value != VAL_HEX_FORMAT) return UIE_BAD_VALUE;
        c.format = value;
        return 0;
    case ATTR_MAX_ENTRY_LENGTH:
        if (value < 1 && value != -1) return UIE_BAD_VALUE;
        c.maxEntryLength = value;
        core::CutToEntryLength(c);
        return 0;
    case ATTR_ENABLED: {
        bool on = false;
        if (int rc = Flag(value, on)) return rc;
        if (on && !c.enabled) core::StartTimer(c);
        c.enabled = on;
        core::TimersChanged();
        return 0;
    }
    default: return UIE_BAD_ATTRIBUTE;
    }
}

template <class Apply>
int SetAttr(int panel, int control, int attribute, Type given, Apply apply) {
    model::Control *c = nullptr;
    if (int rc = core::Lookup(panel, control, nullptr, &c)) return rc;
    const AttrInfo info = ControlAttr(attribute, c->kind);
    if (info.type == Type::None || info.readOnly) return UIE_BAD_ATTRIBUTE;
    // An int is taken where a real is expected; nothing else converts.
    if (info.type != given && !(info.type == Type::Double && given == Type::Int)) return UIE_BAD_VALUE;
    if (int rc = apply(*c)) return rc;
    core::Notify([&](Backend &b) { b.ControlChanged(panel, control); });
    return 0;
}

int GetControlForAttr(int panel, int control, int attribute, model::Control **c, AttrInfo *info) {
    if (int rc = core::Lookup(panel, control, nullptr, c)) return rc;
    *info = ControlAttr(attribute, (*c)->kind);
    return info->type == Type::None ? UIE_BAD_ATTRIBUTE : 0;
}

}  // namespace

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
    return SetAttr(panel, control, attribute, Type::Int, [&](model::Control &c) -> int {
        if (ControlAttr(attribute, c.kind).type == Type::Double)
            return attribute == ATTR_INTERVAL ? SetInterval(c, value) : SetRange(c, attribute, value);
        return SetIntAttr(c, attribute, value);
    });
}

int SetCtrlAttribute(int panel, int control, int attribute, double value) {
    return SetAttr(panel, control, attribute, Type::Double, [&](model::Control &c) -> int {
        return attribute == ATTR_INTERVAL ? SetInterval(c, value) : SetRange(c, attribute, value);
    });
}

int SetCtrlAttribute(int panel, int control, int attribute, const char *value) {
    return SetAttr(panel, control, attribute, Type::Text, [&](model::Control &c) -> int {
        if (!value) return UIE_BAD_VALUE;
        c.label = value;  // the only writable text attribute
        return 0;
    });
}

int GetCtrlAttribute(int panel, int control, int attribute, int *value) {
    model::Control *c = nullptr;
    AttrInfo info;
    if (int rc = GetControlForAttr(panel, control, attribute, &c, &info)) return rc;
    if (!value) return UIE_BAD_VALUE;
    switch (attribute) {
    case ATTR_DIMMED: *value = c->dimmed; return 0;
    case ATTR_VISIBLE: *value = c->visible; return 0;
    case ATTR_CTRL_MODE: *value = c->mode; return 0;
    case ATTR_TEXT_COLOR: *value = c->textColor; return 0;
    case ATTR_TOP: *value = c->top; return 0;
    case ATTR_LEFT: *value = c->left; return 0;
    case ATTR_WIDTH: *value = c->width; return 0;
    case ATTR_HEIGHT: *value = c->height; return 0;
    case ATTR_PRECISION: *value = c->precision; return 0;
    case ATTR_FORMAT: *value = c->format; return 0;
    case ATTR_MAX_ENTRY_LENGTH: *value = c->maxEntryLength; return 0;
    case ATTR_ENABLED: *value = c->enabled; return 0;
    case ATTR_CTRL_KIND: *value = c->kind; return 0;
    case ATTR_MIN_VALUE:
    case ATTR_MAX_VALUE:
        // An int control's range is whole numbers and fits an int.
        if (c->kind != CTRL_NUMERIC_INT) return UIE_BAD_VALUE;
        *value = static_cast<int>(attribute == ATTR_MIN_VALUE ? c->minValue : c->maxValue);
        return 0;
    default: return UIE_BAD_VALUE;
    }
}

int GetCtrlAttribute(int panel, int control, int attribute, double *value) {
    model::Control *c = nullptr;
    AttrInfo info;
    if (int rc = GetControlForAttr(panel, control, attribute, &c, &info)) return rc;
    if (!value || info.type != Type::Double) return UIE_BAD_VALUE;
    *value = attribute == ATTR_INTERVAL ? c->interval : attribute == ATTR_MIN_VALUE ? c->minValue : c->maxValue;
    return 0;
}

int GetCtrlAttribute(int panel, int control, int attribute, std::string *value) {
    model::Control *c = nullptr;
    AttrInfo info;
    if (int rc = GetControlForAttr(panel, control, attribute, &c, &info)) return rc;
    if (!value || info.type != Type::Text) return UIE_BAD_VALUE;
    *value = attribute == ATTR_LABEL_TEXT ? c->label : c->callbackName;
    return 0;
}

// ---- panels ----

int SetPanelAttribute(int panel, int attribute, int value) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    switch (attribute) {
    case ATTR_VISIBLE:
        if (value != 0 && value != 1) return UIE_BAD_VALUE;
        return value ? DisplayPanel(panel) : HidePanel(panel);
    case ATTR_TOP: p->top = value; break;
    case ATTR_LEFT: p->left = value; break;
    case ATTR_WIDTH:
    case ATTR_HEIGHT:
        if (value < 0) return UIE_BAD_VALUE;
        (attribute == ATTR_WIDTH ? p->width : p->height) = value;
        break;
    case ATTR_CLOSE_CTRL:
        if (value != 0 && !core::GetControl(*p, value)) return UIE_INVALID_CONTROL;
        p->closeControl = value;
        return 0;  // nothing to show
    case ATTR_TITLE: return UIE_BAD_VALUE;
    default: return UIE_BAD_ATTRIBUTE;
    }
    core::Notify([&](Backend &b) { b.PanelChanged(panel); });
    return 0;
}

int SetPanelAttribute(int panel, int attribute, const char *value) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    switch (attribute) {
    case ATTR_TITLE:
        if (!value) return UIE_BAD_VALUE;
        p->title = value;
        core::Notify([&](Backend &b) { b.PanelChanged(panel); });
        return 0;
    case ATTR_VISIBLE:
    case ATTR_TOP:
    case ATTR_LEFT:
    case ATTR_WIDTH:
    case ATTR_HEIGHT:
    case ATTR_CLOSE_CTRL: return UIE_BAD_VALUE;
    default: return UIE_BAD_ATTRIBUTE;
    }
}

int GetPanelAttribute(int panel, int attribute, int *value) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    int v = 0;
    switch (attribute) {
    case ATTR_VISIBLE: v = p->visible; break;
    case ATTR_TOP: v = p->top; break;
    case ATTR_LEFT: v = p->left; break;
    case ATTR_WIDTH: v = p->width; break;
    case ATTR_HEIGHT: v = p->height; break;
    case ATTR_PANEL_RESOURCE_ID: v = p->resourceId; break;
    case ATTR_CLOSE_CTRL: v = p->closeControl; break;
    case ATTR_TITLE: return UIE_BAD_VALUE;
    default: return UIE_BAD_ATTRIBUTE;
    }
    if (!value) return UIE_BAD_VALUE;
    *value = v;
    return 0;
}

int GetPanelAttribute(int panel, int attribute, std::string *value) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    switch (attribute) {
    case ATTR_TITLE:
        if (!value) return UIE_BAD_VALUE;
        *value = p->title;
        return 0;
    case ATTR_VISIBLE:
    case ATTR_TOP:
    case ATTR_LEFT:
    case ATTR_WIDTH:
    case ATTR_HEIGHT:
    case ATTR_PANEL_RESOURCE_ID:
    case ATTR_CLOSE_CTRL: return UIE_BAD_VALUE;
    default: return UIE_BAD_ATTRIBUTE;
    }
}

}  // namespace ui

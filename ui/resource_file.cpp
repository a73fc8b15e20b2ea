#include "ui/resource_file.h"

#include <cmath>
#include <set>

#include "ui/core.h"
#include "ui/files.h"
#include "ui/tokens.h"

namespace ui::detail {
namespace {

using model::Control;
using model::Panel;

class Parser {
public:
    bool Line(const std::vector<Token> &t);
    bool Finish();
    std::vector<Panel> panels;
    std::string error;

private:
    bool Fail(std::string why) {
        error = std::move(why);
        return false;
    }
    bool Args(const std::vector<Token> &t, std::size_t n) {
        if (t.size() == n + 1) return true;
        return Fail("'" + t[0].text + "' takes " + std::to_string(n) + " value(s)");
    }
    bool Once(const std::string &key) {
        if (seen_.insert(key).second) return true;
        return Fail("'" + key + "' given twice");
    }
    bool Int(const Token &t, int &v) { return ParseInt(t, v) || Fail("not an integer: " + t.text); }
    bool Real(const Token &t, double &v) { return ParseDouble(t, v) || Fail("not a number: " + t.text); }
    bool Flag(const Token &t, bool &v) {
        int i = 0;
        if (!ParseInt(t, i) || (i != 0 && i != 1)) return Fail("expected 0 or 1: " + t.text);
        v = i == 1;
        return true;
    }
    bool Text(const Token &t, std::string &v) {
        if (!t.quoted) return Fail("expected a quoted text: " + t.text);
        v = t.text;
        return true;
    }
    bool Name(const Token &t, std::string &v) {
        if (t.quoted || !core::IsIdentifier(t.text)) return Fail("not a name: " + t.text);
        v = t.text;
        return true;
    }
    bool NewName(const std::string &name) {
        if (names_.insert(name).second) return true;
        return Fail("name used twice: " + name);
    }
    bool StartPanel(const std::vector<Token> &t);
    bool StartControl(const std::vector<Token> &t);
    bool PanelProperty(const std::vector<Token> &t);
    bool ControlProperty(const std::vector<Token> &t);
    bool FinishControl();
    bool FinishPanel();

    std::set<std::string> names_;
    std::set<std::string> seen_;  // properties of the current object
    bool inControl_ = false;
    bool valueGiven_ = false, indexGiven_ = false;
    std::string closeName_;  // the current panel's close control, found once its controls are read
};

bool Parser::Line(const std::vector<Token> &t) {
    if (t.empty()) return true;
    if (t[0].quoted) return Fail("a line starts with a keyword");
    if (t[0].text == "panel") return StartPanel(t);
    if (t[0].text == "control") return StartControl(t);
    if (panels.empty()) return Fail("'" + t[0].text + "' before the first panel");
    return inControl_ ? ControlProperty(t) : PanelProperty(t);
}

bool Parser::StartPanel(const std::vector<Token> &t) {
    if (inControl_ && !FinishControl()) return false;
    if (!FinishPanel()) return false;
    Panel p;
    if (!Args(t, 2) || !Name(t[1], p.constantName) || !Int(t[2], p.resourceId)) return false;
    if (p.resourceId <= 0) return Fail("panel numbers start at 1");
    for (const Panel &other : panels)
        if (other.resourceId == p.resourceId) return Fail("panel number used twice: " + t[2].text);
    if (!NewName(p.constantName)) return false;
    panels.push_back(std::move(p));
    seen_.clear();
    inControl_ = false;
    return true;
}

bool Parser::StartControl(const std::vector<Token> &t) {
    if (panels.empty()) return Fail("control before the first panel");
    if (inControl_ && !FinishControl()) return false;
    std::string name;
    int number = 0;
    if (!Args(t, 3) || !Name(t[1], name) || !Int(t[2], number)) return false;
    const int kind = t[3].quoted ? 0 : model::KindFromKeyword(t[3].text);
    if (kind == 0) return Fail("unknown control kind: " + t[3].text);
    if (number <= 0) return Fail("control numbers start at 1");
    Panel &p = panels.back();
    if (core::GetControl(p, number)) return Fail("control number used twice: " + t[2].text);
    if (!NewName(name)) return false;
    Control c = model::DefaultControl(kind);
    c.number = number;
    c.constantName = name;
    p.controls.push_back(std::move(c));
    seen_.clear();
    inControl_ = true;
    valueGiven_ = indexGiven_ = false;
    return true;
}

bool Parser::PanelProperty(const std::vector<Token> &t) {
    Panel &p = panels.back();
    const std::string &key = t[0].text;
    if (!Once(key)) return false;
    if (key == "title") return Args(t, 1) && Text(t[1], p.title);
    if (key == "position") return Args(t, 2) && Int(t[1], p.top) && Int(t[2], p.left);
    if (key == "size") {
        if (!Args(t, 2) || !Int(t[1], p.height) || !Int(t[2], p.width)) return false;
        return (p.height >= 0 && p.width >= 0) || Fail("negative size");
    }
    if (key == "close") return Args(t, 1) && Name(t[1], closeName_);
    return Fail("unknown panel property: " + key);
}

bool Parser::ControlProperty(const std::vector<Token> &t) {
    Control &c = panels.back().controls.back();
    const std::string &key = t[0].text;
    const int k = c.kind;
    const bool numeric = core::IsNumericKind(k);
    if (key != "item" && key != "line" && !Once(key)) return false;
    auto only = [&](bool allowed) {
        return allowed || Fail("'" + key + "' does not apply to a " + model::KindKeyword(k));
    };
    if (key == "label") return Args(t, 1) && Text(t[1], c.label);
    if (key == "callback") return Args(t, 1) && Name(t[1], c.callbackName);
    if (key == "position") return only(k != CTRL_TIMER) && Args(t, 2) && Int(t[1], c.top) && Int(t[2], c.left);
    if (key == "size") {
        if (!only(k != CTRL_TIMER) || !Args(t, 2) || !Int(t[1], c.height) || !Int(t[2], c.width)) return false;
        return (c.height >= 0 && c.width >= 0) || Fail("negative size");
    }
    if (key == "mode") {
        if (!only(k != CTRL_TIMER) || !Args(t, 1)) return false;
        const std::string &m = t[1].text;
        if (t[1].quoted) return Fail("mode is normal, hot or indicator");
        if (m == "normal")
            c.mode = VAL_NORMAL;
        else if (m == "hot")
            c.mode = VAL_HOT;
        else if (m == "indicator")
            c.mode = VAL_INDICATOR;
        else
            return Fail("mode is normal, hot or indicator");
        return true;
    }
    if (key == "dimmed") return only(k != CTRL_TIMER) && Args(t, 1) && Flag(t[1], c.dimmed);
    if (key == "visible") return only(k != CTRL_TIMER) && Args(t, 1) && Flag(t[1], c.visible);
    if (key == "color") {
        if (!only(k != CTRL_TIMER) || !Args(t, 1) || !Int(t[1], c.textColor)) return false;
        return (c.textColor >= 0 && c.textColor <= 0xFFFFFF) || Fail("colour is 0xRRGGBB");
    }
    if (key == "min") return only(numeric) && Args(t, 1) && Real(t[1], c.minValue);
    if (key == "max") return only(numeric) && Args(t, 1) && Real(t[1], c.maxValue);
    if (key == "precision") {
        if (!only(k == CTRL_NUMERIC || k == CTRL_LEVEL_INDICATOR) || !Args(t, 1) || !Int(t[1], c.precision))
            return false;
        return (c.precision >= 0 && c.precision <= 15) || Fail("precision is 0 to 15");
    }
    if (key == "format") {
        if (!only(k == CTRL_NUMERIC_INT) || !Args(t, 1)) return false;
        if (!t[1].quoted && (t[1].text == "decimal" || t[1].text == "hex")) {
            c.format = t[1].text == "hex" ? VAL_HEX_FORMAT : VAL_DECIMAL_FORMAT;
            return true;
        }
        return Fail("format is decimal or hex");
    }
    if (key == "maxlength") {
        if (!only(k == CTRL_STRING) || !Args(t, 1) || !Int(t[1], c.maxEntryLength)) return false;
        return c.maxEntryLength >= 1 || Fail("maxlength is at least 1");
    }
    if (key == "value") {
        if (!only(core::HasValue(k) && !core::IsListKind(k) && k != CTRL_TEXT_BOX) || !Args(t, 1)) return false;
        valueGiven_ = true;
        if (core::IsTextKind(k)) return Text(t[1], c.text);
        if (core::IsBinaryKind(k)) {
            bool on = false;
            if (!Flag(t[1], on)) return false;
            c.numeric = on ? 1 : 0;
            return true;
        }
        if (k == CTRL_NUMERIC_INT) {
            int v = 0;
            if (!Int(t[1], v)) return false;
            c.numeric = v;
            return true;
        }
        return Real(t[1], c.numeric);
    }
    if (key == "item") {
        model::ListItem item;
        if (!only(core::IsListKind(k)) || !Args(t, 2) || !Text(t[1], item.label) || !Int(t[2], item.value))
            return false;
        c.items.push_back(std::move(item));
        return true;
    }
    if (key == "index") {
        indexGiven_ = true;
        return only(core::IsListKind(k)) && Args(t, 1) && Int(t[1], c.index);
    }
    if (key == "line") {
        std::string line;
        if (!only(k == CTRL_TEXT_BOX) || !Args(t, 1) || !Text(t[1], line)) return false;
        if (line.find('\n') != std::string::npos) return Fail("a line holds no line break");
        c.lines.push_back(std::move(line));
        return true;
    }
    if (key == "interval") {
        if (!only(k == CTRL_TIMER) || !Args(t, 1) || !Real(t[1], c.interval)) return false;
        return c.interval >= 0.001 || Fail("a timer's interval is at least 0.001 s");
    }
    if (key == "enabled") return only(k == CTRL_TIMER) && Args(t, 1) && Flag(t[1], c.enabled);
    return Fail("unknown control property: " + key);
}

bool Parser::FinishControl() {
    Control &c = panels.back().controls.back();
    inControl_ = false;
    if (core::IsNumericKind(c.kind)) {
        if (c.minValue > c.maxValue) return Fail(c.constantName + ": min above max");
        if (c.kind == CTRL_NUMERIC_INT &&
            (c.minValue != std::floor(c.minValue) || c.maxValue != std::floor(c.maxValue)))
            return Fail(c.constantName + ": an int control's range is whole numbers");
        if (valueGiven_ && (c.numeric < c.minValue || c.numeric > c.maxValue))
            return Fail(c.constantName + ": value outside min..max");
        core::ClampToRange(c);
    }
    if (c.kind == CTRL_STRING && c.maxEntryLength >= 0) {
        const std::string given = c.text;
        core::CutToEntryLength(c);
        if (c.text != given) return Fail(c.constantName + ": value longer than maxlength");
    }
    if (core::IsListKind(c.kind)) {
        if (!indexGiven_) c.index = c.items.empty() ? -1 : 0;
        if (c.items.empty() ? c.index != -1 : (c.index < 0 || c.index >= static_cast<int>(c.items.size())))
            return Fail(c.constantName + ": index outside the items");
    }
    return true;
}

bool Parser::FinishPanel() {
    if (closeName_.empty()) return true;
    Panel &p = panels.back();
    for (const Control &c : p.controls)
        if (c.constantName == closeName_) {
            p.closeControl = c.number;
            closeName_.clear();
            return true;
        }
    return Fail(p.constantName + ": close names no control of the panel: " + closeName_);
}

bool Parser::Finish() { return (!inControl_ || FinishControl()) && FinishPanel(); }

}  // namespace

bool ParseResourceFile(std::string_view content, std::vector<model::Panel> &panels, std::string &error) {
    panels.clear();
    Parser parser;
    std::vector<Token> tokens;
    int number = 0;
    for (std::string_view line : SplitLines(content)) {
        ++number;
        std::string why;
        if (line.size() > kMaxLineBytes)
            why = "line too long";
        else if (!IsValidUtf8(line))
            why = "not UTF-8 text";
        else if (!Tokenize(line, tokens, why)) {
        } else if (parser.Line(tokens))
            continue;
        else
            why = parser.error;
        error = "line " + std::to_string(number) + ": " + why;
        return false;
    }
    if (!parser.Finish()) {
        error = "line " + std::to_string(number) + ": " + parser.error;
        return false;
    }
    panels = std::move(parser.panels);
    return true;
}

int ReadResourceFile(std::string_view name, std::vector<model::Panel> &panels, std::string &error) {
    panels.clear();
    const std::string path = ResolvePath(name);
    std::string content;
    const int rc = ReadWholeFile(path, kMaxResourceFileBytes, content);
    if (rc == UIE_NO_SUCH_FILE) {
        error = std::string(name) + ": cannot be opened";
        return rc;
    }
    if (rc != 0) {
        error = std::string(name) + ": too large or unreadable";
        return rc;
    }
    std::string why;
    if (!ParseResourceFile(content, panels, why)) {
        error = std::string(name) + ": " + why;
        return UIE_BAD_FILE;
    }
    return 0;
}

}  // namespace ui::detail

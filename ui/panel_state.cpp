// Panel-state files: the values of every control of a panel, kept under a
// state index, several states to a file:
//
//   state 2 panel 5                 state index, panel number it came from
//   control 3 numeric 12.5
//   control 4 string "COM1"
//   control 5 textbox 0 "first line" "second line"   (1 = the text ends with a line break)
//   control 6 ring 1 "COM1" 0 "COM2" 1                (selected index, then label and value pairs)
//   end
#include <map>

#include "platform/textfile.h"
#include "ui/core.h"
#include "ui/files.h"
#include "ui/tokens.h"

namespace ui {
namespace {

using detail::Token;

constexpr std::size_t kMaxStateFileBytes = 8u << 20;

struct Section {
    int index = 0;
    int resourceId = 0;
    std::vector<std::vector<Token>> entries;
    std::string text;  // the section as written, kept when another state is saved
};

bool ParseStateFile(std::string_view content, std::vector<Section> &sections) {
    if (!detail::IsValidUtf8(content)) return false;
    Section *open = nullptr;
    std::vector<Token> t;
    std::string error;
    for (std::string_view line : detail::SplitLines(content)) {
        if (line.size() > (64u << 10) || !detail::Tokenize(line, t, error)) return false;
        if (t.empty()) continue;
        if (t[0].quoted) return false;
        if (!open) {
            Section s;
            if (t.size() != 4 || t[0].text != "state" || t[2].text != "panel" || !detail::ParseInt(t[1], s.index) ||
                !detail::ParseInt(t[3], s.resourceId) || s.index < 0)
                return false;
            for (const Section &other : sections)
                if (other.index == s.index) return false;
            sections.push_back(std::move(s));
            open = &sections.back();
        } else if (t.size() == 1 && t[0].text == "end") {
            open->text += "end\n";
            open = nullptr;
            continue;
        } else {
            if (t[0].text != "control" || t.size() < 4) return false;
            open->entries.push_back(t);
        }
        open->text.append(line);
        open->text += '\n';
    }
    return open == nullptr;
}

// Reads the file's states: 0, UIE_NO_SUCH_FILE or UIE_BAD_FILE.
int ReadStates(const std::string &path, std::vector<Section> &sections) {
    std::string content;
    if (int rc = detail::ReadWholeFile(path, kMaxStateFileBytes, content)) return rc;
    return ParseStateFile(content, sections) ? 0 : UIE_BAD_FILE;
}

std::string Entry(const model::Control &c) {
    std::string out = "control " + std::to_string(c.number) + " " + model::KindKeyword(c.kind);
    if (core::IsTextKind(c.kind)) {
        out += " " + detail::Quote(c.text);
    } else if (c.kind == CTRL_TEXT_BOX) {
        out += c.lineOpen ? " 1" : " 0";
        for (const std::string &line : c.lines) out += " " + detail::Quote(line);
    } else if (core::IsListKind(c.kind)) {
        out += " " + std::to_string(c.index);
        for (const model::ListItem &item : c.items)
            out += " " + detail::Quote(item.label) + " " + std::to_string(item.value);
    } else if (c.kind == CTRL_NUMERIC || c.kind == CTRL_LEVEL_INDICATOR) {
        out += " " + detail::FormatDouble(c.numeric);
    } else {
        out += " " + std::to_string(static_cast<int>(c.numeric));
    }
    return out + "\n";
}

// Puts one entry's value into a control (a copy); false if it does not fit.
bool Apply(const std::vector<Token> &t, model::Control &c) {
    if (t[2].quoted || model::KindFromKeyword(t[2].text) != c.kind) return false;
    const std::size_t n = t.size() - 3;  // values after "control N kind"
    const Token *v = t.data() + 3;
    if (core::IsTextKind(c.kind)) {
        if (n != 1 || !v[0].quoted) return false;
        c.text = v[0].text;
        core::CutToEntryLength(c);
        return true;
    }
    if (c.kind == CTRL_TEXT_BOX) {
        int open = 0;
        if (!detail::ParseInt(v[0], open) || (open != 0 && open != 1)) return false;
        std::vector<std::string> lines;
        for (std::size_t i = 1; i < n; ++i) {
            if (!v[i].quoted || v[i].text.find('\n') != std::string::npos) return false;
            lines.push_back(v[i].text);
        }
        c.lines = std::move(lines);
        c.lineOpen = open == 1;
        return true;
    }
    if (core::IsListKind(c.kind)) {
        int index = 0;
        if (!detail::ParseInt(v[0], index) || n % 2 != 1) return false;
        std::vector<model::ListItem> items;
        for (std::size_t i = 1; i < n; i += 2) {
            model::ListItem item;
            if (!v[i].quoted || !detail::ParseInt(v[i + 1], item.value)) return false;
            item.label = v[i].text;
            items.push_back(std::move(item));
        }
        const int count = static_cast<int>(items.size());
        if (count == 0 ? index != -1 : (index < 0 || index >= count)) return false;
        c.items = std::move(items);
        c.index = index;
        return true;
    }
    if (n != 1) return false;
    if (c.kind == CTRL_NUMERIC || c.kind == CTRL_LEVEL_INDICATOR) {
        double d = 0;
        return detail::ParseDouble(v[0], d) && core::StoreDouble(c, d) == 0;
    }
    int i = 0;
    return detail::ParseInt(v[0], i) && core::StoreInt(c, i) == 0;
}

}  // namespace

int SavePanelState(int panel, const char *fileName, int stateIndex) {
    const model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    if (stateIndex < 0) return UIE_BAD_VALUE;
    const std::string path = PanelStateFilePath(fileName);
    if (path.empty()) return UIE_NO_SUCH_FILE;

    std::vector<Section> sections;
    const int rc = ReadStates(path, sections);
    // Never overwrite a file that is not a panel-state file.
    if (rc == UIE_BAD_FILE) return UIE_BAD_FILE;

    std::string section = "state " + std::to_string(stateIndex) + " panel " + std::to_string(p->resourceId) + "\n";
    for (const model::Control &c : p->controls)
        if (core::HasValue(c.kind)) section += Entry(c);
    section += "end\n";

    std::string content;
    bool placed = false;
    for (const Section &s : sections) {
        if (s.index == stateIndex) {
            content += section;
            placed = true;
        } else {
            content += s.text;
        }
    }
    if (!placed) content += section;
    // Written beside the old file and put in its place at the end, so a
    // failed write never leaves half a file.
    platform::TextFileWriter file;
    if (file.Open(path, platform::TextFileWriter::Mode::AtomicReplace, platform::Encoding::Utf8) &&
        file.WriteRaw(content) && file.Close() == 0)
        return 0;
    core::S().lastResourceError = file.Reason();
    return UIE_FILE_WRITE;
}

std::string PanelStateFilePath(const char *fileName) {
    return detail::ResolvePath(core::Str(fileName), detail::RelativeTo::CurrentFolder);
}

int RecallPanelState(int panel, const char *fileName, int stateIndex) {
    model::Panel *p = core::GetPanel(panel);
    if (!p) return UIE_INVALID_PANEL;
    if (stateIndex < 0) return UIE_BAD_VALUE;
    const std::string name = core::Str(fileName);
    const std::string path = PanelStateFilePath(fileName);
    std::vector<Section> sections;
    if (int rc = ReadStates(path, sections)) {
        core::S().lastResourceError =
            name + (rc == UIE_NO_SUCH_FILE ? ": cannot be opened" : ": not a panel-state file");
        return rc;
    }
    const Section *found = nullptr;
    for (const Section &s : sections)
        if (s.index == stateIndex) found = &s;
    if (!found) {
        core::S().lastResourceError = name + ": no state " + std::to_string(stateIndex);
        return UIE_NO_SUCH_PANEL;
    }
    if (found->resourceId != p->resourceId) {
        core::S().lastResourceError = name + ": state " + std::to_string(stateIndex) + " is of another panel";
        return UIE_BAD_FILE;
    }
    // Everything is applied to copies first, so a bad entry changes nothing.
    std::vector<model::Control> updated = p->controls;
    for (const std::vector<Token> &entry : found->entries) {
        int number = 0;
        if (!detail::ParseInt(entry[1], number)) return UIE_BAD_FILE;
        model::Control *target = nullptr;
        for (model::Control &c : updated)
            if (c.number == number) target = &c;
        if (!target) continue;  // a control the panel no longer has
        if (!Apply(entry, *target)) {
            core::S().lastResourceError =
                name + ": state " + std::to_string(stateIndex) + ": control " + entry[1].text + " does not fit";
            return UIE_BAD_FILE;
        }
    }
    p->controls = std::move(updated);
    std::vector<int> changed;
    for (const model::Control &c : p->controls)
        if (core::HasValue(c.kind)) changed.push_back(c.number);
    for (int control : changed) core::Notify([&](Backend &b) { b.ControlChanged(panel, control); });
    return 0;
}

}  // namespace ui

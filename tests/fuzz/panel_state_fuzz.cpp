// Panel-state files, recalled into a panel with one control of every kind.
// A state that is refused changes nothing; a state that is taken saves and
// reads back unchanged. Saving into a file that is not a panel-state file
// is refused and leaves it as it was; saving into one keeps it readable.
#include <cstdio>
#include <string>

#include "tests/fuzz/fuzz_support.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"

namespace {

constexpr char kPanels[] = R"(# one control of every kind
panel PANEL 5
    title "Stan"
control P_NUM 2 numeric
    min -10
    max 100
    precision 3
    value 12.5
control P_INT 3 int
    min -5
    max 500
    value 7
control P_STR 4 string
    value "COM1"
control P_TEXT 5 text
    value "Brak połączenia"
control P_BOX 6 textbox
    line "one"
    line "two"
control P_BUTTON 7 button
control P_RING 8 ring
    item "COM1" 1
    item "COM2" 2
    item "COM3" 3
    index 1
control P_LIST 9 list
control P_RADIO 10 radio
control P_SWITCH 11 switch
    value 1
control P_LEVEL 12 level
control P_TIMER 13 timer
    interval 0.5
control P_LED 14 led
)";

constexpr int kPanelNumber = 5;
constexpr int kStates[] = {0, 1, 2, 7};

std::string g_resource;

bool Start() {
    ui::headless::Install();
    g_resource = fuzz::WriteTempFile("state_panel.uir", kPanels);
    return true;
}

// Every value a state can set, of every control, as one text.
std::string Exact(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%a", value);
    return text;
}

std::string Snapshot(int panel) {
    const ui::model::Panel *p = ui::model::FindPanel(panel);
    FUZZ_CHECK(p != nullptr);
    std::string out;
    for (const ui::model::Control &c : p->controls) {
        out += std::to_string(c.number) + ":" + Exact(c.numeric) + "|" + c.text + "|" + std::to_string(c.index) + "|" +
               (c.lineOpen ? "1" : "0");
        for (const ui::model::ListItem &item : c.items) out += "|" + item.label + "=" + std::to_string(item.value);
        for (const std::string &line : c.lines) out += "|" + line;
        out += "\n";
    }
    return out;
}

// The panel's values as its own state file holds them.
std::string Saved(int panel) {
    const std::string path = fuzz::TempFolder() + "/values.gkp";
    std::remove(path.c_str());
    FUZZ_CHECK(ui::SavePanelState(panel, path.c_str(), 0) == 0);
    return fuzz::ReadWholeFile(path);
}

// Recalls each state in turn into one panel.
void CheckRecall(const std::string &path) {
    const int panel = ui::LoadPanel(0, g_resource.c_str(), kPanelNumber);
    FUZZ_CHECK(panel > 0);
    for (int state : kStates) {
        const std::string before = Snapshot(panel);
        const int rc = ui::RecallPanelState(panel, path.c_str(), state);
        FUZZ_CHECK(rc == 0 || rc == ui::UIE_NO_SUCH_PANEL || rc == ui::UIE_BAD_FILE);
        if (rc != 0) {
            FUZZ_CHECK(Snapshot(panel) == before);
            continue;
        }
        // What was taken is a state this panel can save and take again.
        const std::string taken = Saved(panel);
        const std::string saved = fuzz::WriteTempFile("saved.gkp", taken);
        const int fresh = ui::LoadPanel(0, g_resource.c_str(), kPanelNumber);
        FUZZ_CHECK(fresh > 0);
        FUZZ_CHECK(ui::RecallPanelState(fresh, saved.c_str(), 0) == 0);
        FUZZ_CHECK(Snapshot(fresh) == Snapshot(panel));
        FUZZ_CHECK(Saved(fresh) == taken);
        ui::DiscardPanel(fresh);
    }
    ui::DiscardPanel(panel);
}

void CheckSaveInto(const std::string &path, std::string_view content) {
    const int panel = ui::LoadPanel(0, g_resource.c_str(), kPanelNumber);
    FUZZ_CHECK(panel > 0);
    const int rc = ui::SavePanelState(panel, path.c_str(), 9);
    FUZZ_CHECK(rc == 0 || rc == ui::UIE_BAD_FILE);
    if (rc == ui::UIE_BAD_FILE) {
        FUZZ_CHECK(fuzz::ReadWholeFile(path) == content);
    } else {
        FUZZ_CHECK(ui::RecallPanelState(panel, path.c_str(), 9) == 0);
        for (int state : kStates) {
            const int again = ui::RecallPanelState(panel, path.c_str(), state);
            FUZZ_CHECK(again == 0 || again == ui::UIE_NO_SUCH_PANEL || again == ui::UIE_BAD_FILE);
        }
    }
    ui::DiscardPanel(panel);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool started = Start();
    FUZZ_CHECK(started);
    const std::string_view content = fuzz::AsText(data, size);
    const std::string path = fuzz::WriteTempFile("fuzz.gkp", content);
    CheckRecall(path);
    CheckSaveInto(path, content);
    return 0;
}

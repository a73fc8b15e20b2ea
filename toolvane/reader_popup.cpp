#include "toolvane/reader_popup.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "platform/ascii.h"
#include "toolvane/typ1_line.h"
#include "ui/ui.h"

namespace toolvane {
namespace {

// Whether the current folder holds the resource file, its name compared
// without regard to letter case as a file search on Windows does.
bool InCurrentFolder(const char *name) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (fs::directory_iterator it(fs::current_path(ec), ec), end; !ec && it != end; it.increment(ec)) {
        if (platform::EqualsIgnoringAsciiCase(it->path().filename().string(), name) && it->is_regular_file(ec))
            return true;
    }
    return false;
}

}  // namespace

int LoadToolPanel(int panelId, PanelLookup lookup) {
    const std::string fallback = std::string(kToolPanelFolder) + kToolPanelFile;
    int panel = 0;
    if (lookup == PanelLookup::BareNameFirst || InCurrentFolder(kToolPanelFile))
        panel = ui::LoadPanel(0, kToolPanelFile, panelId);
    // The fixed folder also when a copy in the current folder could not be loaded by name.
    if (panel <= 0) panel = ui::LoadPanel(0, fallback.c_str(), panelId);
    return panel > 0 ? panel : 0;
}

ReaderPopup::ReaderPopup(int panelId, int stopControl, PanelLookup lookup)
    : panel_(LoadToolPanel(panelId, lookup)), stop_(stopControl) {}

ReaderPopup::~ReaderPopup() {
    if (waitCursor_) ui::SetWaitCursor(0);
    if (shown_) ui::RemovePopup(0);
    if (panel_ > 0) ui::DiscardPanel(panel_);
}

void ReaderPopup::Show() {
    if (waitCursor_) return;
    // The wait cursor also when no copy of the resource file had the popup.
    shown_ = panel_ > 0 && ui::InstallPopup(panel_) == 0;
    waitCursor_ = true;
    ui::SetWaitCursor(1);
}

bool ReaderPopup::StopRequested() {
    if (!shown_ || stopped_) return stopped_;
    int from = 0, control = 0;
    if (ui::GetUserEvent(0, &from, &control) == ui::EVENT_COMMIT && from == panel_ && control == stop_) stopped_ = true;
    return stopped_;
}

}  // namespace toolvane

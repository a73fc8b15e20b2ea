// Resource files (*.uir): a file the parser refuses gives no panels and a
// reason; a file it takes loads panel by panel with the controls it
// describes, and each panel's own saved state reads back into it unchanged.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/resource_file.h"
#include "ui/ui.h"

namespace {

// Enough panels to cover a file's variety; every load parses the file again.
constexpr std::size_t kPanelsLoaded = 4;

bool Start() {
    ui::headless::Install();
    return true;
}

void CheckLoadedPanel(const std::string &path, const ui::model::Panel &parsed) {
    const int handle = ui::LoadPanel(0, path.c_str(), parsed.resourceId);
    FUZZ_CHECK(handle > 0);
    const ui::model::Panel *loaded = ui::model::FindPanel(handle);
    FUZZ_CHECK(loaded != nullptr && loaded->controls.size() == parsed.controls.size());
    for (std::size_t i = 0; i < parsed.controls.size(); ++i) {
        FUZZ_CHECK(loaded->controls[i].number == parsed.controls[i].number);
        FUZZ_CHECK(loaded->controls[i].kind == parsed.controls[i].kind);
    }

    const std::string first = fuzz::TempFolder() + "/first.gkp";
    const std::string second = fuzz::TempFolder() + "/second.gkp";
    std::remove(first.c_str());
    std::remove(second.c_str());
    FUZZ_CHECK(ui::SavePanelState(handle, first.c_str(), 0) == 0);
    FUZZ_CHECK(ui::RecallPanelState(handle, first.c_str(), 0) == 0);
    FUZZ_CHECK(ui::SavePanelState(handle, second.c_str(), 0) == 0);
    FUZZ_CHECK(fuzz::ReadWholeFile(first) == fuzz::ReadWholeFile(second));
    FUZZ_CHECK(ui::DiscardPanel(handle) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool started = Start();
    FUZZ_CHECK(started);
    const std::string_view content = fuzz::AsText(data, size);
    std::vector<ui::model::Panel> panels;
    std::string error;
    if (!ui::detail::ParseResourceFile(content, panels, error)) {
        FUZZ_CHECK(panels.empty());
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    const std::string path = fuzz::WriteTempFile("fuzz.uir", content);
    for (std::size_t i = 0; i < panels.size() && i < kPanelsLoaded; ++i) CheckLoadedPanel(path, panels[i]);
    return 0;
}

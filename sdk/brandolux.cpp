// The user interface the libraries show their dialogs and messages through:
// chosen by the calling program, or else by the first call that needs one.
#include "brandolux.h"

#include <cstdio>

#include "sdk/window_backend.h"
#include "ui/backend.h"
#include "ui/console.h"
#include "ui/ui.h"

namespace {

void InstallAsProgram() {
    if (!sdk::InstallWindows()) ui::console::Install(stderr);
}

// A program that never chooses gets what the maker's programs show.
[[maybe_unused]] const bool g_installedOnDemand = (ui::SetBackendOnDemand(&InstallAsProgram), true);

}  // namespace

int Brandolux_UstawInterfejs(int rodzaj) {
    switch (rodzaj) {
    case Brandolux_InterfejsJakProgram: InstallAsProgram(); return 0;
    case Brandolux_InterfejsOkna: return sdk::InstallWindows() ? 0 : -1;
    case Brandolux_InterfejsKonsola: ui::console::Install(stderr); return 0;
    default: return 1;
    }
}

void Brandolux_UstawKatalogProjektu(const char *katalog) { ui::SetProjectFolder(katalog); }

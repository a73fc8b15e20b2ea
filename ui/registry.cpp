// Callbacks by name: resource files name a control's callback, screens
// register the functions under those names.
#include <map>
#include <string>

#include "ui/core.h"

namespace ui {
namespace {

std::map<std::string, CtrlCallbackPtr, std::less<>> &Registry() {
    static std::map<std::string, CtrlCallbackPtr, std::less<>> registry;
    return registry;
}

}  // namespace

void RegisterCallback(const char *name, CtrlCallbackPtr callback) {
    if (!name || !*name) return;
    if (callback)
        Registry()[name] = callback;
    else
        Registry().erase(name);
}

CtrlCallbackPtr FindCallback(const char *name) {
    if (!name) return nullptr;
    auto it = Registry().find(std::string_view(name));
    return it == Registry().end() ? nullptr : it->second;
}

int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr callback, void *callbackData) {
    model::Control *c = nullptr;
    if (int rc = core::Lookup(panel, control, nullptr, &c)) return rc;
    c->callback = callback;
    c->callbackData = callbackData;
    return 0;
}

}  // namespace ui

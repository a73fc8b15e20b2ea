#include "ui/trace.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "ui/model.h"

namespace ui::trace {
namespace {

struct Shown {
    std::string text;
    int colour = -1;
};

std::map<std::pair<int, int>, Shown> &Last() {
    static std::map<std::pair<int, int>, Shown> last;
    return last;
}

}  // namespace

void TraceControl(int panel, int control, double now) {
    // Only text displays are traced: other controls cost no look at the environment.
    const model::Control *c = model::FindControl(panel, control);
    if (!c || c->kind != CTRL_TEXT_MSG) return;
    const char *file = std::getenv("VGX52_TRACE");
    if (!file || !*file) return;
    const model::Panel *p = model::FindPanel(panel);
    if (!p) return;
    Shown &last = Last()[{panel, control}];
    if (last.text == c->text && last.colour == c->textColor) return;
    last.text = c->text;
    last.colour = c->textColor;
    // One line per change: a line break inside the text would start a new record.
    std::string text = c->text;
    for (char &ch : text)
        if (ch == '\n' || ch == '\r') ch = ' ';
    if (std::FILE *out = std::fopen(file, "ab")) {
        std::fprintf(out, "%.3f panel %d control %d colour %06X text %s\n", now, p->resourceId, control,
                     static_cast<unsigned>(c->textColor), text.c_str());
        std::fclose(out);
    }
}

void ResetTrace() { Last().clear(); }

}  // namespace ui::trace

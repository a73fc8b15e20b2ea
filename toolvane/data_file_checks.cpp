#include "toolvane/data_file_checks.h"

#include "platform/paths.h"
#include "toolvane/typ1_line.h"
#include "ui/ui.h"

namespace toolvane {

bool AcceptableDataFile(const char *path, const char *extension) {
    if (path == nullptr || *path == '\0' || extension == nullptr) return false;
    if (platform::FileSize(path) <= 0) return false;  // absent, a folder, or empty
    return typ1::HasExtension(path, extension);
}

void ShowDataFileError() { ui::MessagePopup("Wystąpił błąd.", "Nie umiem odczytać zbioru danych wejściowych."); }

}  // namespace toolvane

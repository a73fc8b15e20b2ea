// Reading the comment block of a TYP1 file ("#STARTKOMEN" ... "#ENDKOMEN")
// into the comment popup's text box and, optionally, the caller's.
#include <string>

#include "platform/textfile.h"
#include "toolvane/data_file_checks.h"
#include "toolvane/data_files.h"
#include "toolvane/reader_popup.h"
#include "toolvane/typ1_line.h"
#include "ui/Tolvan_G.h"
#include "ui/ui.h"

namespace {

constexpr char kNoComment[] = "Brak komentarza";

struct TextBoxes {
    int popup;
    int callerPanel, callerControl;  // -1, -1: none
    bool HasCaller() const { return !(callerPanel == -1 && callerControl == -1); }
    void Reset(const char *text) const {
        ui::ResetTextBox(popup, PANEL_KOMENT_TEKST, text);
        if (HasCaller()) ui::ResetTextBox(callerPanel, callerControl, text);
    }
    void Append(const std::string &line) const {
        ui::InsertTextBoxLine(popup, PANEL_KOMENT_TEKST, -1, line.c_str());
        if (HasCaller()) ui::InsertTextBoxLine(callerPanel, callerControl, -1, line.c_str());
    }
};

}  // namespace

int Toolvane_OdczytKomentZeZbioru(const char *path, const char *extension, int panel, int control) {
    if (!toolvane::AcceptableDataFile(path, extension)) return 1;

    toolvane::ReaderPopup popup(PANEL_KOMENT, PANEL_KOMENT_STOP, toolvane::PanelLookup::BareNameFirst);
    const TextBoxes boxes{popup.Panel(), panel, control};
    ui::SetCtrlVal(boxes.popup, PANEL_KOMENT_KONIEC, 0);
    ui::SetCtrlVal(boxes.popup, PANEL_KOMENT_POCZATEK, 0);
    boxes.Reset(kNoComment);
    popup.Show();

    platform::TextFileReader file;
    if (!file.Open(path, platform::Encoding::Cp1250)) {
        toolvane::ShowDataFileError();
        return 0;
    }
    bool inBlock = false, ended = false, readError = false;
    std::string line;
    while (!ended) {
        const int kept = file.ReadLine(line, toolvane::typ1::kLineMax + 1);
        if (kept == -2) break;
        if (kept < 0) {
            readError = true;
            break;
        }
        if (kept > static_cast<int>(toolvane::typ1::kLineMax)) toolvane::typ1::TrimOverLong(line, false);
        const bool marked = !line.empty() && line[0] == '#';
        if (!inBlock) {
            if (marked && toolvane::typ1::Keyword(line) == "STARTKOMEN") {
                ui::SetCtrlVal(boxes.popup, PANEL_KOMENT_POCZATEK, 1);
                boxes.Reset("");  // the "Brak komentarza" line goes
                inBlock = true;
            }
        } else if (marked) {
            if (toolvane::typ1::Keyword(line) == "ENDKOMEN") {
                ui::SetCtrlVal(boxes.popup, PANEL_KOMENT_KONIEC, 1);
                ended = true;
            }
        } else if (!line.empty()) {
            boxes.Append(line);
        }
        if (popup.StopRequested()) break;
    }
    file.Close();
    if (readError) toolvane::ShowDataFileError();
    return 0;
}

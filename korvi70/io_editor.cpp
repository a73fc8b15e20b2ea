// The I/O editor: up to ten bytes written to and read from the I/O space of
// one instrument, each address and byte shown in hex and, in its mirrored
// twin, in decimal.
#include <array>
#include <cstdio>

#include "korvi70/dialogs.h"
#include "korvi70/io.h"
#include "korvi70/link.h"
#include "korvi70/result_codes.h"
#include "ui/Korvi70G.h"
#include "ui/failed_write.h"
#include "ui/ui.h"

namespace {

constexpr int kMaxBytes = 10;
constexpr char kPanelFile[] = "Korvi70G.Uir";
constexpr char kFallbackPanelFile[] = "\\Korvi70\\SoftWare\\LWCVI\\Korvi70G.Uir";
constexpr char kStateFile[] = "Korvi_01.Gkp";

struct Section {
    int address, addressTwin, count;
    std::array<int, kMaxBytes> bytes, twins;
};

constexpr Section kWrite = {
    PANEL_EDYT_ZAP_ADRES,
    PANEL_EDYT_ZAP_ADRES_DZ,
    PANEL_EDYT_ZAP_ILE,
    {PANEL_EDYT_ZAP_BAJT1, PANEL_EDYT_ZAP_BAJT2, PANEL_EDYT_ZAP_BAJT3, PANEL_EDYT_ZAP_BAJT4, PANEL_EDYT_ZAP_BAJT5,
     PANEL_EDYT_ZAP_BAJT6, PANEL_EDYT_ZAP_BAJT7, PANEL_EDYT_ZAP_BAJT8, PANEL_EDYT_ZAP_BAJT9, PANEL_EDYT_ZAP_BAJT10},
    {PANEL_EDYT_ZAP_BAJT1_DZ, PANEL_EDYT_ZAP_BAJT2_DZ, PANEL_EDYT_ZAP_BAJT3_DZ, PANEL_EDYT_ZAP_BAJT4_DZ,
     PANEL_EDYT_ZAP_BAJT5_DZ, PANEL_EDYT_ZAP_BAJT6_DZ, PANEL_EDYT_ZAP_BAJT7_DZ, PANEL_EDYT_ZAP_BAJT8_DZ,
     PANEL_EDYT_ZAP_BAJT9_DZ, PANEL_EDYT_ZAP_BAJT10_DZ},
};

constexpr Section kRead = {
    PANEL_EDYT_ODCZ_ADRES,
    PANEL_EDYT_ODCZ_ADRES_DZ,
    PANEL_EDYT_ODCZ_ILE,
    {PANEL_EDYT_ODCZ_BAJT1, PANEL_EDYT_ODCZ_BAJT2, PANEL_EDYT_ODCZ_BAJT3, PANEL_EDYT_ODCZ_BAJT4, PANEL_EDYT_ODCZ_BAJT5,
     PANEL_EDYT_ODCZ_BAJT6, PANEL_EDYT_ODCZ_BAJT7, PANEL_EDYT_ODCZ_BAJT8, PANEL_EDYT_ODCZ_BAJT9,
     PANEL_EDYT_ODCZ_BAJT10},
    {PANEL_EDYT_ODCZ_BAJT1_DZ, PANEL_EDYT_ODCZ_BAJT2_DZ, PANEL_EDYT_ODCZ_BAJT3_DZ, PANEL_EDYT_ODCZ_BAJT4_DZ,
     PANEL_EDYT_ODCZ_BAJT5_DZ, PANEL_EDYT_ODCZ_BAJT6_DZ, PANEL_EDYT_ODCZ_BAJT7_DZ, PANEL_EDYT_ODCZ_BAJT8_DZ,
     PANEL_EDYT_ODCZ_BAJT9_DZ, PANEL_EDYT_ODCZ_BAJT10_DZ},
};

// The other control of a mirrored pair, 0 for a control without one.
int TwinOf(int control) {
    for (const Section *s : {&kWrite, &kRead}) {
        if (control == s->address) return s->addressTwin;
        if (control == s->addressTwin) return s->address;
        for (int k = 0; k < kMaxBytes; ++k) {
            if (control == s->bytes[k]) return s->twins[k];
            if (control == s->twins[k]) return s->bytes[k];
        }
    }
    return 0;
}

int Value(int panel, int control) {
    int value = 0;
    ui::GetCtrlVal(panel, control, &value);
    return value;
}

void Dim(int panel, const Section &s) {
    const int count = Value(panel, s.count);
    // The first pair is always there: a count is at least 1.
    for (int k = 2; k <= kMaxBytes; ++k) {
        const int dimmed = count < k ? 1 : 0;
        ui::SetCtrlAttribute(panel, s.bytes[k - 1], ui::ATTR_DIMMED, dimmed);
        ui::SetCtrlAttribute(panel, s.twins[k - 1], ui::ATTR_DIMMED, dimmed);
    }
}

// The count as the commands take it: the field keeps it within 1..10.
int Count(int panel, const Section &s) {
    const int count = Value(panel, s.count);
    return count < 1 ? 1 : count > kMaxBytes ? kMaxBytes : count;
}

void Write(int panel, int address) {
    std::array<unsigned char, kMaxBytes> bytes{};
    const int count = Count(panel, kWrite);
    for (int k = 0; k < count; ++k) bytes[k] = static_cast<unsigned char>(Value(panel, kWrite.bytes[k]));
    const int rc = Korvi70_ZapWeWy(address, Value(panel, kWrite.address), count, bytes.data());
    ui::SetCtrlVal(panel, PANEL_EDYT_WYNIK, rc);
}

void Read(int panel, int address) {
    std::array<unsigned char, kMaxBytes> bytes{};
    const int count = Count(panel, kRead);
    const int rc = Korvi70_PodWeWy(address, Value(panel, kRead.address), count, bytes.data());
    ui::SetCtrlVal(panel, PANEL_EDYT_WYNIK, rc);
    if (rc != korvi70::kDone) return;  // the displays keep what they showed
    for (int k = 0; k < count; ++k) {
        ui::SetCtrlVal(panel, kRead.bytes[k], static_cast<int>(bytes[k]));
        ui::SetCtrlVal(panel, kRead.twins[k], static_cast<int>(bytes[k]));
    }
}

}  // namespace

void ObsEkrEdyt_UaktualnijAktywnoscPolOdczytowych(int panel) {
    Dim(panel, kRead);
    Dim(panel, kWrite);
}

int Korvi70_EdytorWeWy(int address) {
    if (Korvi70_NrZlacza < 1 || Korvi70_NrZlacza > 100) return korvi70::kRefused;
    int panel = ui::LoadPanel(0, kPanelFile, PANEL_EDYT);
    if (panel <= 0) panel = ui::LoadPanel(0, kFallbackPanelFile, PANEL_EDYT);
    if (panel <= 0) {
        std::fprintf(stderr, "%s\n", ui::GetLastResourceError().c_str());
        return korvi70::kPanelNotLoaded;
    }
    ui::RecallPanelState(panel, kStateFile, 0);  // none yet: the panel's own values
    ObsEkrEdyt_UaktualnijAktywnoscPolOdczytowych(panel);
    ui::InstallPopup(panel);
    for (;;) {
        int from = 0, control = 0;
        if (ui::GetUserEvent(1, &from, &control) != ui::EVENT_COMMIT) break;
        if (from != panel) continue;
        if (control == PANEL_EDYT_ZAMKNIJ) break;
        if (const int twin = TwinOf(control)) ui::SetCtrlVal(panel, twin, Value(panel, control));
        if (control == kWrite.count || control == kRead.count) ObsEkrEdyt_UaktualnijAktywnoscPolOdczytowych(panel);
        if (control == PANEL_EDYT_ZAPISZ) Write(panel, address);
        if (control == PANEL_EDYT_ODCZYTAJ) Read(panel, address);
    }
    ui::RemovePopup(0);
    ui::SaveDialogState(panel, kStateFile, 0);
    ui::DiscardPanel(panel);
    return 0;
}

#include "app/config_file.h"

#include <charconv>
#include <string>
#include <string_view>

#include "app/app_state.h"
#include "app/constants.h"
#include "app/text_scan.h"
#include "korvi70/link.h"
#include "platform/paths.h"
#include "platform/system.h"
#include "platform/textfile.h"
#include "ui/failed_write.h"

namespace {

constexpr std::string_view kKeyPort = "NumerZlacza";
constexpr std::string_view kKeyPeriod = "OkresOdpytywania";

// Skips the character in front of the key (the '#') and reads the key word.
bool ScanKey(std::string_view line, std::string_view &key, std::string_view &rest) {
    if (line.empty()) return false;
    rest = line.substr(1);
    return app::ScanWord(rest, key);
}

void ApplyLine(std::string_view line) {
    std::string_view key, rest;
    if (!ScanKey(line, key, rest)) return;
    if (app::EqualsIgnoringCase(key, kKeyPort)) {
        int port = 0;
        if (app::ScanInt(rest, port) && port >= app::kPortMin && port <= app::kPortMax) Korvi70_NrZlacza = port;
    } else if (app::EqualsIgnoringCase(key, kKeyPeriod)) {
        double period = 0;
        if (app::ScanReal(rest, period) && period >= app::kPeriodMin && period <= app::kPeriodMax)
            OkresOdpytywania = period;
    }
}

// "%f": fixed point, six decimals, always with a '.' whatever the C locale.
std::string FormatReal(double value) {
    char buffer[400];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (ec != std::errc()) return "0.000000";
    return std::string(buffer, end);
}

std::string ConfigText() {
    std::string degrees;
    for (int i = 0; i < 55; ++i) degrees += "\u00B0";  // 0xB0 in Windows-1250
    degrees += "\n";
    std::string text;
    text += degrees;
    text += std::string("         Zbiór konfiguracyjny ") + app::kModelName + "\n";
    text += degrees;
    text += "data utworzenia: \n# DATA " + platform::DateStr() + "\n";
    text += "czas utworzenia: \n# CZAS " + platform::TimeStr() + "\n";
    text += "\nNumer złącza szeregowego wykorzystywanego do transmisji z przyrządem\n";
    text +=
        "może przybierać wartości od " + std::to_string(app::kPortMin) + " do " + std::to_string(app::kPortMax) + "\n";
    text += "# NumerZlacza " + std::to_string(Korvi70_NrZlacza) + "\n";
    text += "\nOkres odpytywania przyrządu, może posiadać wartości ze zakresu od " + FormatReal(app::kPeriodMin) +
            " do " + FormatReal(app::kPeriodMax) + "\n";
    text += "# OkresOdpytywania " + FormatReal(OkresOdpytywania) + "\n";
    return text;
}

}  // namespace

int OdczytanieZbioruKonfiguracyjnego(const char *path) {
    OkresOdpytywania = app::kPeriodDefault;
    Korvi70_NrZlacza = app::kPortDefault;
    if (path == nullptr) return 12;

    platform::TextFileReader file;
    if (!file.Open(platform::HostPath(path), platform::Encoding::Cp1250)) return 12;
    std::string line;
    while (file.ReadLine(line, app::kConfigLineMax) >= 0) {
        if (!line.empty() && line[0] == '#') ApplyLine(line);
    }
    file.Close();
    return 0;
}

int ZapiszZbiorKonfiguracyjny(const char *path) { return app::WriteConfigFile(path, nullptr); }

namespace app {

int WriteConfigFile(const char *path, std::string *reason) {
    platform::TextFileWriter file;
    if (path == nullptr || path[0] == '\0' ||
        !file.Open(platform::HostPath(path), platform::TextFileWriter::Mode::AtomicReplace,
                   platform::Encoding::Cp1250)) {
        if (reason) *reason = file.Reason();
        return -1;
    }
    file.Write(ConfigText());
    const int rc = file.Close();
    if (rc != 0 && reason) *reason = file.Reason();
    return rc;
}

void SaveConfigAtExit(const char *path) {
    std::string reason;
    if (WriteConfigFile(path, &reason) != 0) ui::ReportFailedWrite(platform::HostPath(path ? path : ""), reason);
}

}  // namespace app

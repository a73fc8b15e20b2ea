#include "upgrade/settings_backup.h"

#include <cstring>

#include "platform/paths.h"
#include "platform/system.h"
#include "toolvane/system_info.h"

namespace upgrade {
namespace {

bool FileNameSafe(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' || c == '_' ||
           c == '.';
}

// "YYYY-MM-DD HH-MM-SS" from the run-time's "MM-DD-YYYY" and "HH:MM:SS",
// the two taken within one day.
std::string Stamp() {
    std::string date, time;
    for (int attempt = 0; attempt < 2; ++attempt) {
        date = platform::DateStr();
        time = platform::TimeStr();
        if (date == platform::DateStr()) break;
    }
    if (date.size() != 10 || time.size() != 8) return "0000-00-00 00-00-00";
    time[2] = time[5] = '-';
    return date.substr(6, 4) + "-" + date.substr(0, 5) + " " + time;
}

}  // namespace

std::string BackupName(const SavedSettings &settings) {
    std::string serial;
    if (settings.held[kSerialNumber]) {
        serial.assign(settings.serial, strnlen(settings.serial, sizeof settings.serial - 1));
        while (!serial.empty() && serial.back() == ' ') serial.pop_back();
        for (char &c : serial)
            if (!FileNameSafe(c)) c = '_';
    }
    if (serial.empty()) serial = "nieznany";
    return "VGX52 ustawienia " + serial + " " + Stamp() + ".txt";
}

int WriteBackup(const SavedSettings &settings, const InstrumentFacts &facts, std::string *path, std::string *error) {
    int major = 0, minor = 0;
    platform::GetWinOSVersion(&major, &minor);
    const std::string folder = toolvane::DataFolderFor(major, minor);
    const std::string file = folder + "\\" + BackupName(settings);
    if (path) *path = platform::HostPath(file);
    const int made = platform::MakeDirs(folder);
    if (made != 0) {
        if (error)
            *error = "the folder " + platform::HostPath(folder) + " cannot be made: " + platform::PathErrorText(made);
        return -1;
    }
    return WriteSettingsFile(file.c_str(), settings, facts, error);
}

}  // namespace upgrade

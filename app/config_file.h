// The program's own configuration file (VGX52.kfg): the serial port number
// and the polling period, kept between runs.
#pragma once
#include <string>

// Sets the defaults (period 1.0 s, port 2), then reads the file.
// 0 when the file was read, 12 when it could not be opened.
int OdczytanieZbioruKonfiguracyjnego(const char *path);

// Writes the file anew with the current port and period. The old file is
// replaced only once the new one is complete on disk. 0 on success, -1 when
// the file could not be created, otherwise the result of closing it.
int ZapiszZbiorKonfiguracyjny(const char *path);

namespace app {
// The same, with the reason in *reason when it fails.
int WriteConfigFile(const char *path, std::string *reason);
// The same at the program's end: a file that cannot be written is reported
// with its path and the reason (the operator's port and period would be
// lost without a word), and the program ends all the same.
void SaveConfigAtExit(const char *path);
}  // namespace app

namespace app {
inline constexpr int kConfigLineMax = 600;
inline constexpr double kPeriodMin = 0.2;
inline constexpr double kPeriodMax = 50.0;
inline constexpr double kPeriodDefault = 1.0;
inline constexpr int kPortMin = 1;
inline constexpr int kPortMax = 100;
inline constexpr int kPortDefault = 2;
}  // namespace app

#include "upgrade/upgrade_sequence.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "korvi70/attempts.h"
#include "korvi70/generic_commands.h"
#include "korvi70/loader_commands.h"
#include "platform/system.h"
#include "upgrade/settings_backup.h"
#include "upgrade/settings_transfer.h"

unsigned char ObsUpgrade_ObrazFLASH[UpLoad_RozmiarObrazu];
int ObsUpgrade_IleStron;

namespace upgrade {

using korvi70::kDone;
using korvi70::WithAttempts;

namespace {

constexpr unsigned char kInstrument = 0;
constexpr char kFirmwareFolder[] = "P:\\VGX52\\SoftWare\\AVR\\";
constexpr int kNameSize = 15;  // the file name's share of the path
constexpr char kNoDataText[] = "the file holds no data for the flash memory";

DelayFunction g_delay = nullptr;

void Delay(double seconds) {
    if (g_delay != nullptr)
        g_delay(seconds);
    else
        platform::Delay(seconds);
}

// Appends text to a buffer of size characters, taking at most limit of them.
void Append(char *buffer, int size, const char *text, int limit) {
    const int used = static_cast<int>(std::strlen(buffer));
    int room = size - 1 - used;
    if (room > limit) room = limit;
    if (room <= 0) return;
    int taken = 0;
    while (taken < room && text[taken] != '\0') ++taken;
    std::memcpy(buffer + used, text, static_cast<std::size_t>(taken));
    buffer[used + taken] = '\0';
}

// A quarter or page write, repeated while it fails.
template <class Command>
int WhileFailing(Command &&command) {
    int rc = kDone;
    for (int attempt = 0; attempt < kWriteAttempts; ++attempt)
        if ((rc = command()) == kDone) break;
    return rc;
}

// The instrument's facts, with the operator's hardware version when it
// did not identify itself.
InstrumentFacts IdentifyHardwareVersion(UpgradeHooks &hooks) {
    InstrumentFacts facts;
    if (IdentifyInstrument(&facts) != kDone) {
        int version = hooks.AskHardwareVersion();
        if (version < 1) version = 1;
        if (version > 8) version = 8;
        facts.hardwareVersion = version;
    }
    hooks.HardwareVersionKnown(facts.hardwareVersion, facts.identified);
    return facts;
}

int Read(const char *path) {
    return UpLoad_OdczytajZbiorHEX(path, ObsUpgrade_ObrazFLASH, &ObsUpgrade_IleStron, kPageSize, kLoadLimit);
}

// 0 with the image loaded from the given file or the hardware version's.
int LoadFirmware(UpgradeHooks &hooks, const char *firmwarePath, int version) {
    char full[kPathSize] = {};
    char bare[kPathSize] = {};
    const char *used = firmwarePath;
    int rc = UpLoad_BrakZbioru;
    if (firmwarePath != nullptr) {
        rc = Read(firmwarePath);
    } else {
        FirmwareFullPath(version, full, kPathSize);
        FirmwareFileName(version, bare, kPathSize);
        used = full;
        rc = Read(full);
        if (rc == UpLoad_BrakZbioru) {
            used = bare;
            rc = Read(bare);
        }
    }
    if (rc == UpLoad_BrakZbioru) {
        hooks.FirmwareMissing(firmwarePath != nullptr ? firmwarePath : full, firmwarePath != nullptr ? "" : bare);
        return korvi70::kNotDone;
    }
    if (rc != UpLoad_ZbiorOdczytany) {
        hooks.FirmwareDamaged(used, UpLoad_LiniaBleduZbioru(), UpLoad_OpisBleduZbioru());
        return korvi70::kNotDone;
    }
    // An image without data would only start and close the loader.
    if (ObsUpgrade_IleStron < 1) {
        hooks.FirmwareDamaged(used, 0, kNoDataText);
        return korvi70::kNotDone;
    }
    return hooks.FirmwareLoaded(used, version, ObsUpgrade_IleStron) ? 0 : -1;
}

// 0 when the backup was written or the operator goes on without it; the
// file's path in *path ("" when there is none).
int Backup(UpgradeHooks &hooks, const InstrumentFacts &facts, std::string *path) {
    std::string error;
    if (WriteBackup(ObsUpgrade_Ustawienia, facts, path, &error) == 0) {
        hooks.BackupWritten(path->c_str());
        return 0;
    }
    const bool goOn = hooks.GoOnWithoutBackup(path->c_str(), error.c_str());
    path->clear();
    return goOn ? 0 : -1;
}

// Sends every page; 0, or the failing result with *failedPage set.
int SendPages(UpgradeHooks &hooks, int *failedPage) {
    const int count = ObsUpgrade_IleStron;
    for (int page = 0; page < count; ++page) {
        *failedPage = page;
        const unsigned char *bytes = ObsUpgrade_ObrazFLASH + page * kPageSize;
        for (int offset = 0; offset < kPageSize; offset += kQuarter) {
            const int rc = WhileFailing(
                [&] { return Korvi70_ZapiszDoBuforaPamieciFLASHUL2(kInstrument, offset, kQuarter, bytes + offset); });
            if (rc != kDone) return rc;
        }
        const int rc = WhileFailing([&] { return Korvi70_ZapiszBuforDoPamieciFLASHUL2(kInstrument, page); });
        if (rc != kDone) return rc;
        hooks.PageWritten(page, count);
    }
    return kDone;
}

}  // namespace

int HardwareVersionFromType(int typeCode) { return (typeCode % 8 + 8) % 8 + 1; }

int HardwareVersionFromAnswer(const char *answer) {
    if (answer == nullptr || answer[0] < '0' || answer[0] > '9') return 1;
    const int value = answer[0] - '0';
    return value < 1 ? 1 : value > 8 ? 8 : value;
}

void FirmwareFileName(int version, char *name, int size) {
    if (name == nullptr || size < 1) return;
    char text[kNameSize + 1];
    std::snprintf(text, sizeof text, "vgx52hv%d.a90", version);
    name[0] = '\0';
    Append(name, size, text, kNameSize);
}

void FirmwareFullPath(int version, char *path, int size) {
    if (path == nullptr || size < 1) return;
    char folder[32];
    std::snprintf(folder, sizeof folder, "HV%d\\Exe\\", version);
    char name[kNameSize + 1];
    FirmwareFileName(version, name, sizeof name);
    path[0] = '\0';
    Append(path, size, kFirmwareFolder, kPathSize);
    Append(path, size, folder, kPathSize);
    Append(path, size, name, kNameSize);
}

DelayFunction SetDelayFunction(DelayFunction delay) {
    const DelayFunction previous = g_delay;
    g_delay = delay;
    return previous;
}

int IdentifyInstrument(InstrumentFacts *facts) {
    *facts = InstrumentFacts();
    int type = 0;
    const int rc = WithAttempts([&] { return Korvi70_PrzedstawSie(kInstrument, &type); });
    if (rc != kDone) return rc;
    facts->identified = true;
    facts->typeCode = type;
    facts->hardwareVersion = HardwareVersionFromType(type);
    return rc;
}

void ReadSoftwareVersion(InstrumentFacts *facts) {
    int version = 0;
    if (facts->identified && WithAttempts([&] { return Korvi70_PodWerOprogWewn(kInstrument, &version); }) == kDone)
        facts->softwareVersion = version;
}

int RunUpgrade(UpgradeHooks &hooks, const char *firmwarePath, bool writeBackup) {
    ReadSettings(ObsUpgrade_Ustawienia, hooks);
    const InstrumentFacts facts = IdentifyHardwareVersion(hooks);
    if (LoadFirmware(hooks, firmwarePath, facts.hardwareVersion) != korvi70::kDone) return korvi70::kNotDone;
    std::string backup;
    if (writeBackup && Backup(hooks, facts, &backup) != korvi70::kDone) return korvi70::kNotDone;

    hooks.TransferStarting(ObsUpgrade_IleStron);
    WithAttempts([] { return Korvi70_UruchomUpgradeLoaderL2(kInstrument); });
    int failedPage = 0;
    const int rc = SendPages(hooks, &failedPage);
    hooks.TransferEnded(rc == kDone);
    WithAttempts([] { return Korvi70_ZamknijUpgradeLoaderL2(kInstrument); });
    if (rc != kDone) {
        hooks.TransferFailed(failedPage, ObsUpgrade_IleStron, rc, backup.c_str());
        return korvi70::kNotDone;
    }
    // The instrument starts its new firmware before it takes settings again.
    Delay(kSettleSeconds);
    const int failed = WriteSettings(ObsUpgrade_Ustawienia, hooks);
    if (failed > 0) hooks.SettingsNotWrittenBack(failed, backup.c_str());
    return 0;
}

}  // namespace upgrade

// The firmware upgrade from the settings read to the settings written back,
// shared by the upgrade screen (which adds its dialogs and progress window
// through the hooks) and by `vgx52ctl upgrade` (which prints instead).
//
//   1. read the settings                     (hooks: SettingReadFailed)
//   2. identify the instrument (5 attempts): hardware version = type code
//      mod 8 + 1; if it does not answer, AskHardwareVersion(). Nothing else
//      is asked of it: an instrument about to be upgraded sees exactly the
//      identify between the settings read and the loader start.
//   3. load the firmware: the given file, or the full path for the hardware
//      version and then the bare file name; page size 256, limit 0x1E000
//      (hooks: FirmwareMissing, FirmwareDamaged; both end the upgrade with
//      -1 before anything is sent to the loader)
//   4. write the settings backup (hooks: BackupWritten, or
//      GoOnWithoutBackup, whose no ends the upgrade with -1)
//   5. the progress window (TransferStarting); start the level-2 loader
//      (5 attempts, result not checked)
//   6. every page: four 64-byte quarters into the page buffer, then the
//      buffer into flash; each repeated while it fails, at most 10 times in
//      all; one that still fails ends the transfer (hooks: PageWritten,
//      TransferEnded, TransferFailed)
//   7. close the level-2 loader (5 attempts, result not checked)
//   8. wait 2 s, write the settings back    (hooks: SettingWriteFailed,
//      SettingsNotWrittenBack)
//
// Every command goes to instrument ID 0.
#pragma once
#include "upgrade/hex_reader.h"
#include "upgrade/settings_file.h"
#include "upgrade/upgrade_hooks.h"

// The firmware image and its page count, kept after the upgrade.
extern unsigned char ObsUpgrade_ObrazFLASH[UpLoad_RozmiarObrazu];
extern int ObsUpgrade_IleStron;

namespace upgrade {

inline constexpr int kPageSize = 256;
inline constexpr int kLoadLimit = 0x1E000;
inline constexpr int kQuarter = 64;
inline constexpr int kWriteAttempts = 10;  // a quarter or a page write, while it fails
inline constexpr double kSettleSeconds = 2.0;
inline constexpr int kPathSize = 260;

// Runs steps 1 to 8 with the saved settings of the screen
// (ObsUpgrade_Ustawienia). firmwarePath: the file to load, or null for the
// file of the instrument's hardware version; writeBackup false leaves out
// step 4. 0 when the upgrade went through; -1 when no firmware was loaded
// (missing, damaged, refused by the hooks), the upgrade was stopped for
// want of a backup, or the transfer failed.
int RunUpgrade(UpgradeHooks &hooks, const char *firmwarePath = nullptr, bool writeBackup = true);

// The instrument's facts for the backup's header and the firmware choice,
// from the identify alone (5 attempts). The result of the identify.
int IdentifyInstrument(InstrumentFacts *facts);
// Adds the internal software version (5 attempts) to the facts of an
// instrument that identified itself; left 0 when it does not answer.
void ReadSoftwareVersion(InstrumentFacts *facts);

// Hardware version from a type code: code mod 8, plus 1.
int HardwareVersionFromType(int typeCode);
// Hardware version from the operator's answer: its first character read
// as a decimal digit; an empty or non-numeric answer gives 1; brought into 1..8.
int HardwareVersionFromAnswer(const char *answer);
// "vgx52hvN.a90", and "P:\VGX52\SoftWare\AVR\HVN\Exe\vgx52hvN.a90", into
// buffers of kPathSize characters (cut, never overrun).
void FirmwareFileName(int version, char *name, int size);
void FirmwareFullPath(int version, char *path, int size);

// The 2-second wait before the settings are written back; tests replace it.
using DelayFunction = void (*)(double seconds);
DelayFunction SetDelayFunction(DelayFunction delay);  // null = platform::Delay; returns the previous

}  // namespace upgrade

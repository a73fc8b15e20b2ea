// The firmware upgrade from the settings read to the settings written back,
// shared by the upgrade screen (which adds its dialogs and progress window
// through the hooks) and by `vgx52ctl upgrade` (which prints instead).
//
//   1. read the settings                     (hooks: SettingReadFailed)
//   2. identify the instrument (5 attempts): hardware version = type code
//      mod 8 + 1; if it does not answer, AskHardwareVersion()
//   3. load the firmware: the given file, or the full path for the hardware
//      version and then the bare file name; page size 256, limit 0x1E000
//      (hooks: FirmwareMissing, FirmwareDamaged; both end the upgrade with
//      -1 before anything is sent to the loader)
//   4. start the level-2 loader (5 attempts, result not checked)
//   5. every page: four 64-byte quarters into the page buffer, then the
//      buffer into flash; each repeated while it fails, at most 10 times in
//      all; one that still fails ends the transfer (hooks: PageWritten,
//      TransferEnded, TransferFailed)
//   6. close the level-2 loader (5 attempts, result not checked)
//   7. wait 2 s, write the settings back    (hooks: SettingWriteFailed)
//
// Every command goes to instrument ID 0.
#pragma once
#include "upgrade/hex_reader.h"

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

// What the caller of an upgrade shows or decides. Every hook has a
// default that does nothing (the hardware version question answers 1).
class UpgradeHooks {
public:
    virtual ~UpgradeHooks() = default;
    virtual void SettingReadFailed(int /*item*/, int /*result*/) {}
    virtual void SettingWriteFailed(int /*item*/, int /*result*/) {}
    // Identification failed: the hardware version to use (brought into 1..8).
    virtual int AskHardwareVersion() { return 1; }
    virtual void HardwareVersionKnown(int /*version*/, bool /*identified*/) {}
    // No firmware file could be opened (the paths tried).
    virtual void FirmwareMissing(const char * /*fullPath*/, const char * /*bareName*/) {}
    // The file was found damaged: nothing is sent.
    virtual void FirmwareDamaged(const char * /*path*/, int /*line*/, const char * /*reason*/) {}
    // The image is loaded and about to be sent; false stops the upgrade
    // (-1) before anything is sent.
    virtual bool FirmwareLoaded(const char * /*path*/, int /*version*/, int /*pageCount*/) { return true; }
    virtual void TransferStarting(int /*pageCount*/) {}
    virtual void PageWritten(int /*page*/, int /*pageCount*/) {}
    // The transfer is over (complete or not), before the loader is closed.
    virtual void TransferEnded(bool /*complete*/) {}
    // A quarter or page write still failed after kWriteAttempts; the loader
    // has been closed and the settings are not written back.
    virtual void TransferFailed(int /*page*/, int /*pageCount*/, int /*result*/) {}
};

// Runs steps 1 to 7. firmwarePath: the file to load, or null for the file
// of the instrument's hardware version. 0 when the upgrade went through;
// -1 when no firmware was loaded (missing, damaged, refused by the hooks)
// or the transfer failed.
int RunUpgrade(UpgradeHooks &hooks, const char *firmwarePath = nullptr);

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

// What the caller of the upgrade shows or decides at each step: the upgrade
// screen (popups and the progress window), vgx52ctl (lines on the error
// stream), tests (notes). The one way the upgrade's steps call back. Every
// hook has a default that shows nothing.
#pragma once

namespace upgrade {

class UpgradeHooks {
public:
    virtual ~UpgradeHooks() = default;
    // A settings item whose command still failed after its attempts, with
    // its last result.
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
    // The settings backup was written (the path of the file).
    virtual void BackupWritten(const char * /*path*/) {}
    // The backup could not be written: true goes on without it, false stops
    // the upgrade (-1) before anything is sent.
    virtual bool GoOnWithoutBackup(const char * /*path*/, const char * /*reason*/) { return false; }
    // Before the level-2 loader is started.
    virtual void TransferStarting(int /*pageCount*/) {}
    virtual void PageWritten(int /*page*/, int /*pageCount*/) {}
    // The transfer is over (complete or not), before the loader is closed.
    virtual void TransferEnded(bool /*complete*/) {}
    // A quarter or page write still failed after its attempts; the loader
    // has been closed and the settings are not written back. backupPath is
    // "" when no backup was written.
    virtual void TransferFailed(int /*page*/, int /*pageCount*/, int /*result*/, const char * /*backupPath*/) {}
    // After the write-back, when `failed` items could not be written.
    virtual void SettingsNotWrittenBack(int /*failed*/, const char * /*backupPath*/) {}
};

// The settings failures as the upgrade screen reports them: one
// "Wystąpił błąd." popup per item.
class SettingPopups : public UpgradeHooks {
public:
    void SettingReadFailed(int item, int result) override;
    void SettingWriteFailed(int item, int result) override;
};

}  // namespace upgrade

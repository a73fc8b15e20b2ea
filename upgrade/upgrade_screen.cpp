#include "upgrade/upgrade_screen.h"

#include <cstdio>
#include <string>

#include "ui/VGX52_G.h"
#include "ui/ui.h"
#include "upgrade/upgrade_sequence.h"

namespace upgrade {
namespace {

constexpr int kProgressWidth = 400;
constexpr int kProgressHeight = 25;

// The progress window, made when the pages start going out and discarded
// when they are over.
class ProgressWindow {
public:
    ~ProgressWindow() { Close(); }

    void Open() {
        int screenHeight = 0, screenWidth = 0;
        ui::GetScreenSize(&screenHeight, &screenWidth);
        panel_ = ui::NewPanel(0, kProgressTitle, screenHeight / 2 - 100, screenWidth / 2 - 100, kProgressHeight,
                              kProgressWidth);
        if (panel_ < 1) {
            panel_ = 0;
            return;
        }
        // A new panel names no close control: its close button does nothing
        // while the pages go out.
        level_ = ui::NewCtrl(panel_, ui::CTRL_LEVEL_INDICATOR, kProgressLabel, 10, 10);
        ui::SetCtrlAttribute(panel_, level_, ui::ATTR_MIN_VALUE, 0.0);
        ui::SetCtrlAttribute(panel_, level_, ui::ATTR_MAX_VALUE, 100.0);
        ui::SetCtrlVal(panel_, level_, 0.0);
        // Modal: while pages go out the main window must take no command
        // (quitting would close the link under a half-flashed instrument).
        ui::InstallPopup(panel_);
        ui::ProcessSystemEvents();
    }
    void Show(double percent) {
        if (panel_ == 0) return;
        ui::SetCtrlVal(panel_, level_, percent);
        ui::ProcessSystemEvents();  // so that the window repaints while pages go out
    }
    void Close() {
        if (panel_ == 0) return;
        ui::HidePanel(panel_);
        ui::DiscardPanel(panel_);
        panel_ = 0;
    }

private:
    int panel_ = 0;
    int level_ = 0;
};

// " The settings read before the upgrade are saved in PATH; ...", or ""
// when no backup was written.
std::string BackupWhere(const char *backupPath) {
    if (backupPath == nullptr || *backupPath == '\0') return "";
    return std::string(" The settings read before the upgrade are saved in ") + backupPath +
           "; \"vgx52ctl settings-restore\" writes them to the instrument.";
}

class ScreenHooks : public SettingPopups {
public:
    int AskHardwareVersion() override {
        char answer[2] = {};
        if (ui::PromptPopup(kVersionTitle, kVersionQuestion, answer, 1) != 0) answer[0] = '\0';
        return HardwareVersionFromAnswer(answer);
    }
    void FirmwareMissing(const char *, const char *) override { ui::MessagePopup(kMessageTitle, kNoFirmware); }
    void FirmwareDamaged(const char *path, int line, const char *reason) override {
        std::string text = std::string("The file with the device software cannot be used: ") + path;
        if (line > 0) text += ", line " + std::to_string(line);
        text += std::string(": ") + reason + ". Nothing was sent to the instrument.";
        ui::MessagePopup(kMessageTitle, text.c_str());
    }
    bool GoOnWithoutBackup(const char *path, const char *reason) override {
        const std::string text = std::string("The instrument's settings could not be saved to a backup file (") + path +
                                 ": " + reason +
                                 "). If the upgrade stops part-way, they exist only in this program's memory. Do "
                                 "You want to go on without the backup?";
        // No is the default: Enter and Escape both keep the instrument as it is.
        if (ui::GenericMessagePopup(kQuestionTitle, text.c_str(), "Yes", "No", nullptr, nullptr, 0, 2, 2) == 1)
            return true;
        const std::string notStarted = std::string("The upgrade was not started: the backup file ") + path +
                                       " could not be written (" + reason +
                                       "). The instrument's software and settings are unchanged.";
        ui::MessagePopup(kMessageTitle, notStarted.c_str());
        return false;
    }
    void TransferStarting(int) override { progress_.Open(); }
    void PageWritten(int page, int pageCount) override { progress_.Show(page * 100.0 / pageCount); }
    void TransferEnded(bool) override { progress_.Close(); }
    void TransferFailed(int page, int pageCount, int, const char *backupPath) override {
        char text[400];
        std::snprintf(text, sizeof text,
                      "The upgrade did not complete: the instrument stopped accepting the new software at page %d "
                      "of %d. Its software is now incomplete. Please keep the instrument switched on, check the "
                      "connection and repeat the upgrade.",
                      page + 1, pageCount);
        ui::MessagePopup(kMessageTitle, (text + BackupWhere(backupPath)).c_str());
    }
    void SettingsNotWrittenBack(int failed, const char *backupPath) override {
        if (backupPath == nullptr || *backupPath == '\0') return;  // each failure has had its message
        const std::string text = std::to_string(failed) + " of the instrument's settings could not be written back." +
                                 BackupWhere(backupPath);
        ui::MessagePopup(kMessageTitle, text.c_str());
    }

private:
    ProgressWindow progress_;
};

void Polling(int panel, int enabled) { ui::SetCtrlAttribute(panel, PANEL_GL_TIMER, ui::ATTR_ENABLED, enabled); }

}  // namespace
}  // namespace upgrade

int ObsEkrGl_Upgrade(int panel, int, int event, void *, int, int) {
    if (event != ui::EVENT_COMMIT) return 0;
    upgrade::Polling(panel, 0);
    if (ui::ConfirmPopup(upgrade::kQuestionTitle, upgrade::kQuestion) != 1) {
        upgrade::Polling(panel, 1);
        return 0;
    }
    ui::MessagePopup(upgrade::kImportantTitle, upgrade::kImportant);
    ui::SetWaitCursor(1);

    upgrade::ScreenHooks hooks;
    const int rc = upgrade::RunUpgrade(hooks);

    ui::SetWaitCursor(0);
    if (rc == 0) ui::MessagePopup(upgrade::kMessageTitle, upgrade::kFinished);
    upgrade::Polling(panel, 1);
    return rc;
}

// The upgrade on the headless back end against the simulated instrument in
// this process: the main panel loaded from the resource file, a serial link
// open on the instrument, every request noted (and any of them answered by
// the test instead), firmware files under the drive root or in the current
// folder, and the 2-second wait recorded instead of waited.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sim/com_device.h"
#include "sim/command_table.h"
#include "sim/instrument.h"
#include "ui/backend.h"

namespace upgrade_test {

struct Request {
    int command = 0;
    std::string data;
};

// The headless back end with a record of what the progress window went through.
class RecordingBackend : public ui::Backend {
public:
    explicit RecordingBackend(ui::Backend *inner) : inner_(inner) {}

    struct Step {
        enum Kind { Value, Process, Shown, Hidden, Discarded } kind;
        double value = 0;
    };
    std::vector<Step> progress;  // what happened to the progress window, in order
    int progressPanel = 0;       // the last one made
    int processCalls = 0;

    void PanelCreated(int panel) override;
    void PanelShown(int panel) override;
    void PanelHidden(int panel) override;
    void PanelDiscarded(int panel) override;
    void PanelChanged(int panel) override { inner_->PanelChanged(panel); }
    void ControlCreated(int panel, int control) override { inner_->ControlCreated(panel, control); }
    void ControlChanged(int panel, int control) override;
    void PopupInstalled(int panel) override {
        if (IsProgress(panel)) progress.push_back({Step::Shown});
        inner_->PopupInstalled(panel);
    }
    void PopupRemoved(int panel) override { inner_->PopupRemoved(panel); }
    void TimersChanged() override { inner_->TimersChanged(); }
    void TimerCallbacksSuspended(bool suspended) override { inner_->TimerCallbacksSuspended(suspended); }
    void WaitCursorChanged(bool on) override { inner_->WaitCursorChanged(on); }
    ui::PopupAnswer ShowPopup(const ui::PopupRequest &request) override;
    int RunUserInterface() override { return inner_->RunUserInterface(); }
    void QuitUserInterface(int code) override { inner_->QuitUserInterface(code); }
    int GetUserEvent(bool wait, int *panel, int *control) override {
        return inner_->GetUserEvent(wait, panel, control);
    }
    void ProcessSystemEvents() override;
    double Now() override { return inner_->Now(); }
    void GetScreenSize(int *height, int *width) override { inner_->GetScreenSize(height, width); }

    // The wait cursor at each popup, in order.
    std::vector<bool> cursorAtPopup;

private:
    bool IsProgress(int panel) const { return panel != 0 && panel == progressPanel; }
    ui::Backend *inner_;
};

class UpgradeTest : public ::testing::Test {
protected:
    static constexpr int kPort = 88;
    void SetUp() override;
    void TearDown() override;

    // The upgrade button pressed.
    int PressUpgrade();
    bool TimerEnabled();
    // Every popup so far as "title|text".
    std::vector<std::string> Popups();
    std::vector<std::string> Failures();

    // Firmware files.
    void PutFirmware(int version, const std::string &text);      // under P:\VGX52\SoftWare\AVR\HVn\Exe
    void PutBareFirmware(int version, const std::string &text);  // in the current folder
    // A file whose data ends at `last` (inclusive), a pattern in every byte;
    // the image that it gives in *image.
    static std::string FirmwareUpTo(int last, std::vector<unsigned char> *image);

    // The maker's data folder (host path) and the settings backups in it.
    static std::string DataFolder();
    static std::vector<std::string> Backups();

    // Requests seen, and how many had a command code (and a first data byte).
    int Count(int command) const;
    int CountWithCode(int command, char code) const;
    int LoaderRequests() const;  // commands 16 to 19

    sim::Instrument instrument;
    sim::SimComDevice device{instrument};
    int mainPanel = 0;
    RecordingBackend *recorder = nullptr;

public:
    // The test's own answer to a request, or nothing for the instrument's.
    static std::function<std::optional<sim::HexReply>(const sim::HexRequest &)> intercept;
    static std::vector<Request> requests;
    static std::vector<double> delays;
    // Runs while the 2-second wait would (the instrument restarting).
    static std::function<void()> onDelay;

private:
    std::string oldFolder_;
    std::string folder_;
};

// Wraps every command of the instrument so that the test sees it first.
void InterceptCommands(sim::Instrument &instrument);

}  // namespace upgrade_test

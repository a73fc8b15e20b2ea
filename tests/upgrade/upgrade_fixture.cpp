#include "upgrade_fixture.h"

#include <unistd.h>

#include <array>
#include <filesystem>
#include <fstream>

#include "hex_text.h"
#include "korvi70/config.h"
#include "korvi70/link.h"
#include "platform/com.h"
#include "tests/korvi70/link_fixture.h"
#include "tests/support/drive_path.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"
#include "upgrade/upgrade_screen.h"
#include "upgrade/upgrade_sequence.h"

#ifndef VGX52_TEST_SOURCE_ROOT
#error "VGX52_TEST_SOURCE_ROOT must name the source tree"
#endif

namespace upgrade_test {

namespace fs = std::filesystem;

std::function<std::optional<sim::HexReply>(const sim::HexRequest &)> UpgradeTest::intercept;
std::vector<Request> UpgradeTest::requests;
std::vector<double> UpgradeTest::delays;
std::function<void()> UpgradeTest::onDelay;

namespace {

std::array<sim::HexHandler, 256> g_original{};

sim::HexReply Wrapper(sim::Instrument &instrument, const sim::HexRequest &request) {
    UpgradeTest::requests.push_back({request.command, std::string(request.data)});
    if (UpgradeTest::intercept)
        if (auto answer = UpgradeTest::intercept(request)) return *answer;
    return g_original[request.command](instrument, request);
}

void RecordDelay(double seconds) {
    UpgradeTest::delays.push_back(seconds);
    if (UpgradeTest::onDelay) UpgradeTest::onDelay();
}

}  // namespace

void InterceptCommands(sim::Instrument &instrument) {
    for (int code = 0; code < 256; ++code) {
        const sim::HexHandler handler = instrument.Commands().Hex(code);
        if (handler == nullptr || handler == Wrapper) continue;
        g_original[static_cast<std::size_t>(code)] = handler;
        instrument.Commands().AddHex(code, Wrapper);
    }
}

// ---- the recording back end ----

void RecordingBackend::PanelCreated(int panel) {
    const ui::model::Panel *p = ui::model::FindPanel(panel);
    if (p != nullptr && p->title == upgrade::kProgressTitle) progressPanel = panel;
    inner_->PanelCreated(panel);
}

void RecordingBackend::PanelShown(int panel) {
    if (IsProgress(panel)) progress.push_back({Step::Shown});
    inner_->PanelShown(panel);
}

void RecordingBackend::PanelHidden(int panel) {
    if (IsProgress(panel)) progress.push_back({Step::Hidden});
    inner_->PanelHidden(panel);
}

void RecordingBackend::PanelDiscarded(int panel) {
    if (IsProgress(panel)) progress.push_back({Step::Discarded});
    inner_->PanelDiscarded(panel);
}

void RecordingBackend::ControlChanged(int panel, int control) {
    if (IsProgress(panel)) {
        const ui::model::Control *c = ui::model::FindControl(panel, control);
        if (c != nullptr && c->kind == ui::CTRL_LEVEL_INDICATOR) progress.push_back({Step::Value, c->numeric});
    }
    inner_->ControlChanged(panel, control);
}

ui::PopupAnswer RecordingBackend::ShowPopup(const ui::PopupRequest &request) {
    cursorAtPopup.push_back(ui::model::WaitCursor());
    return inner_->ShowPopup(request);
}

void RecordingBackend::ProcessSystemEvents() {
    ++processCalls;
    if (progressPanel != 0 && ui::model::FindPanel(progressPanel) != nullptr) progress.push_back({Step::Process});
    inner_->ProcessSystemEvents();
}

// ---- the fixture ----

void UpgradeTest::SetUp() {
    intercept = nullptr;
    onDelay = nullptr;
    requests.clear();
    delays.clear();

    ui::headless::Install();
    recorder = new RecordingBackend(ui::CurrentBackend());
    ui::SetBackend(recorder);
    mainPanel = ui::LoadPanel(0, VGX52_TEST_SOURCE_ROOT "/ui/VGX52_G.uir", PANEL_GL);
    ASSERT_GT(mainPanel, 0) << ui::GetLastResourceError();
    ui::SetCtrlAttribute(mainPanel, PANEL_GL_TIMER, ui::ATTR_ENABLED, 1);

    korvi70_test::ResetLinkState();
    fs::remove_all(korvi70_test::TestDriveRoot() + "/p");
    std::error_code ignored;
    fs::remove_all(korvi70_test::TestDriveRoot() + "/c/ProgramData", ignored);
    Korvi70_NrZlacza = kPort;
    Korvi70_CzasOczekiwaniaRS = 0.05;  // every expected time-out costs this much
    InterceptCommands(instrument);
    platform::AttachComDevice(kPort, &device);
    ASSERT_EQ(Korvi70_IniZlacze(0), 0);

    // A current folder of this test's own, for the bare file name.
    folder_ = TempFolder() + "/cwd-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    oldFolder_ = fs::current_path().string();
    fs::current_path(folder_);

    upgrade::SetDelayFunction(RecordDelay);
    requests.clear();
}

void UpgradeTest::TearDown() {
    upgrade::SetDelayFunction(nullptr);
    if (!oldFolder_.empty()) fs::current_path(oldFolder_);
    Korvi70_ZamZlacze();
    platform::AttachComDevice(kPort, nullptr);
    ui::headless::Install();
    delete recorder;
    recorder = nullptr;
    intercept = nullptr;
    onDelay = nullptr;
}

int UpgradeTest::PressUpgrade() {
    return ObsEkrGl_Upgrade(mainPanel, PANEL_GL_UPGRADE, ui::EVENT_COMMIT, nullptr, 0, 0);
}

bool UpgradeTest::TimerEnabled() {
    int enabled = -1;
    ui::GetCtrlAttribute(mainPanel, PANEL_GL_TIMER, ui::ATTR_ENABLED, &enabled);
    return enabled == 1;
}

std::vector<std::string> UpgradeTest::Popups() {
    std::vector<std::string> texts;
    for (const auto &popup : ui::headless::Popups()) texts.push_back(popup.request.title + "|" + popup.request.message);
    return texts;
}

std::vector<std::string> UpgradeTest::Failures() { return ui::headless::Failures(); }

void UpgradeTest::PutFirmware(int version, const std::string &text) {
    const std::string folder = testdrive::HostPath(korvi70_test::TestDriveRoot(),
                                                   "P:\\VGX52\\SoftWare\\AVR\\HV" + std::to_string(version) + "\\Exe");
    fs::create_directories(folder);
    std::ofstream(folder + "/vgx52hv" + std::to_string(version) + ".a90", std::ios::binary) << text;
}

void UpgradeTest::PutBareFirmware(int version, const std::string &text) {
    std::ofstream("vgx52hv" + std::to_string(version) + ".a90", std::ios::binary) << text;
}

std::string UpgradeTest::FirmwareUpTo(int last, std::vector<unsigned char> *image) {
    std::vector<std::string> lines;
    image->assign(0x20000, 0xFF);
    int base = -1;
    for (int address = 0; address <= last; address += 32) {
        if ((address >> 16) != base) {
            base = address >> 16;
            lines.push_back(LinearRecord(base));
        }
        const int count = std::min(32, last - address + 1);
        const std::vector<std::uint8_t> bytes = Pattern(address, count);
        lines.push_back(DataRecord(address & 0xFFFF, bytes));
        std::copy(bytes.begin(), bytes.end(), image->begin() + address);
    }
    lines.push_back(EndRecord());
    return Join(lines);
}

std::string UpgradeTest::DataFolder() {
    return testdrive::HostPath(korvi70_test::TestDriveRoot(), "C:\\ProgramData\\BRANDOLUX SoftWare Data");
}

std::vector<std::string> UpgradeTest::Backups() {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto &entry : fs::directory_iterator(DataFolder(), error))
        if (entry.path().filename().string().rfind("VGX52 ustawienia ", 0) == 0) files.push_back(entry.path().string());
    return files;
}

int UpgradeTest::Count(int command) const {
    int n = 0;
    for (const Request &r : requests) n += r.command == command;
    return n;
}

int UpgradeTest::CountWithCode(int command, char code) const {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(code));
    int n = 0;
    for (const Request &r : requests) n += r.command == command && r.data.compare(0, 2, digits) == 0;
    return n;
}

int UpgradeTest::LoaderRequests() const { return Count(16) + Count(17) + Count(18) + Count(19); }

}  // namespace upgrade_test

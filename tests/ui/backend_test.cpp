// What the core tells a back end, so a toolkit can follow the model.
#include <functional>
#include <utility>

#include "ui/backend.h"
#include "ui_fixture.h"

namespace uitest {
namespace {

class RecordingBackend : public ui::Backend {
public:
    std::vector<std::string> log;
    void PanelCreated(int p) override { Add("created", p); }
    void PanelShown(int p) override { Add("shown", p); }
    void PanelHidden(int p) override { Add("hidden", p); }
    void PanelDiscarded(int p) override { Add("discarded", p); }
    void PanelChanged(int p) override { Add("panel changed", p); }
    void ControlCreated(int p, int c) override { Add("control created", p, c); }
    void ControlChanged(int p, int c) override { Add("control changed", p, c); }
    void PopupInstalled(int p) override { Add("popup installed", p); }
    void PopupRemoved(int p) override { Add("popup removed", p); }
    void TimersChanged() override { ++timerChanges; }
    void WaitCursorChanged(bool on) override { Add(on ? "wait on" : "wait off", 0); }
    ui::PopupAnswer ShowPopup(const ui::PopupRequest &r) override {
        Add("popup " + r.title, 0);
        ui::PopupAnswer a;
        a.button = 1;
        return a;
    }
    int RunUserInterface() override { return 0; }
    void QuitUserInterface(int) override {}
    int GetUserEvent(bool, int *, int *) override { return ui::EVENT_NONE; }
    void ProcessSystemEvents() override {}
    double Now() override { return clock; }
    void GetScreenSize(int *h, int *w) override { *h = 600, *w = 800; }

    double clock = 100.0;
    int timerChanges = 0;

private:
    void Add(const std::string &what, int p, int c = 0) {
        log.push_back(what + " " + std::to_string(p) + (c ? "/" + std::to_string(c) : ""));
    }
};

class BackendTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ui::SetBackend(&backend_);
    }
    RecordingBackend backend_;
};

TEST_F(BackendTest, EveryChangeOfTheModelIsReported) {
    const int panel = Load();
    const std::string p = std::to_string(panel);
    ui::DisplayPanel(panel);
    ui::SetCtrlVal(panel, P_INT, 3);
    ui::SetCtrlAttribute(panel, P_BUTTON, ui::ATTR_DIMMED, 1);
    ui::InsertListItem(panel, P_LIST, -1, "a", 1);
    ui::SetPanelAttribute(panel, ui::ATTR_TITLE, "t");
    const int c = ui::NewCtrl(panel, ui::CTRL_STRING, "", 0, 0);
    ui::InstallPopup(panel);
    ui::RemovePopup(0);
    ui::SetWaitCursor(1);
    EXPECT_EQ(ui::ConfirmPopup("Warning", "?"), 1);
    ui::HidePanel(panel);
    ui::DiscardPanel(panel);
    const std::vector<std::string> expected = {
        "created " + p,
        "shown " + p,
        "control changed " + p + "/3",
        "control changed " + p + "/7",
        "control changed " + p + "/9",
        "panel changed " + p,
        "control created " + p + "/" + std::to_string(c),
        "popup installed " + p,
        "popup removed " + p,
        "wait on 0",
        "popup Warning 0",
        "hidden " + p,
        "discarded " + p,
    };
    EXPECT_EQ(backend_.log, expected);
    // Refused calls report nothing.
    backend_.log.clear();
    ui::SetCtrlVal(panel, P_INT, 3);
    EXPECT_TRUE(backend_.log.empty());
}

TEST_F(BackendTest, TimersRunOnTheBackEndsClock) {
    const int panel = Load();
    const int before = backend_.timerChanges;
    ASSERT_EQ(ui::SetCtrlAttribute(panel, P_TIMER, ui::ATTR_ENABLED, 1), 0);
    EXPECT_GT(backend_.timerChanges, before) << "the back end reschedules its clock";
    EXPECT_DOUBLE_EQ(ui::model::NextTimerDue(), 100.5);
    int height = 0, width = 0;
    ui::GetScreenSize(&height, &width);
    EXPECT_EQ(width, 800);
}

// A library that chooses no back end itself gets one installed by the first
// call that needs it, before that call's panel exists, and only once.
class BackendOnDemandTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        installs_ = 0;
        ui::SetBackend(nullptr);
        ui::SetBackendOnDemand(&InstallRecording);
    }
    void TearDown() override {
        ui::SetBackendOnDemand(nullptr);
        UiTest::TearDown();
    }
    static void InstallRecording() {
        ++installs_;
        Recording().log.clear();
        ui::SetBackend(&Recording());
        ui::model::Reset();  // as every back end's installation starts afresh
    }
    static RecordingBackend &Recording() {
        static RecordingBackend backend;
        return backend;
    }
    static int installs_;
};
int BackendOnDemandTest::installs_ = 0;

TEST_F(BackendOnDemandTest, TheFirstPanelInstallsTheBackEndBeforeItIsMade) {
    const int panel = Load();
    ASSERT_GT(panel, 0);
    EXPECT_EQ(installs_, 1);
    EXPECT_EQ(ui::CurrentBackend(), &Recording());
    EXPECT_EQ(ui::DisplayPanel(panel), 0) << "the panel outlived the installation";
    const std::vector<std::string> expected = {"created " + std::to_string(panel), "shown " + std::to_string(panel)};
    EXPECT_EQ(Recording().log, expected);
    EXPECT_EQ(ui::MessagePopup("t", "m"), 0);
    EXPECT_EQ(installs_, 1) << "installed once";
}

TEST_F(BackendOnDemandTest, EveryCallThatNeedsAToolkitInstallsIt) {
    const std::vector<std::pair<const char *, std::function<int()>>> calls = {
        {"MessagePopup", [] { return ui::MessagePopup("t", "m"); }},
        {"GetUserEvent", [] { return ui::GetUserEvent(0, nullptr, nullptr); }},
        {"ProcessSystemEvents", [] { return ui::ProcessSystemEvents(); }},
        {"RunUserInterface", [] { return ui::RunUserInterface(); }},
        {"NewPanel", [] { return ui::NewPanel(0, "t", 0, 0, 10, 10) > 0 ? 0 : -1; }},
    };
    for (const auto &[name, call] : calls) {
        ui::SetBackend(nullptr);
        installs_ = 0;
        EXPECT_EQ(call(), 0) << name;
        EXPECT_EQ(installs_, 1) << name;
    }
}

TEST_F(BackendOnDemandTest, WithoutAnInstallerTheCallsHaveNoBackEnd) {
    ui::SetBackendOnDemand(nullptr);
    EXPECT_EQ(ui::MessagePopup("t", "m"), ui::UIE_NO_BACKEND);
    EXPECT_GT(Load(), 0) << "the model works without a back end";
    EXPECT_EQ(ui::CurrentBackend(), nullptr);
    EXPECT_EQ(installs_, 0);
}

}  // namespace
}  // namespace uitest

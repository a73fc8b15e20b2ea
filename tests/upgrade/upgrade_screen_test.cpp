// The upgrade screen against the simulated instrument: the questions and
// messages, the hardware version, the firmware file, the pages and the
// progress window, the settings around it, and every way it can end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "hex_text.h"
#include "tests/korvi70/link_fixture.h"
#include "ui/VGX52_G.h"
#include "ui/headless.h"
#include "ui/model.h"
#include "ui/ui.h"
#include "upgrade/settings_transfer.h"
#include "upgrade/upgrade_screen.h"
#include "upgrade_fixture.h"

namespace {

using namespace upgrade_test;
using Step = RecordingBackend::Step;

const std::string kWarning = std::string("Warning|") + upgrade::kQuestion;
const std::string kImportant = std::string("Important|") + upgrade::kImportant;
const std::string kFinished = "Message|The upgrade is finshed.";
const std::string kNoFile = "Message|The program didn't find the file with the device software for this version.";
const std::string kReadFailed = "Wystąpił błąd.|Odczyt z przyrządu niepoprawny.";
const std::string kWriteFailed = "Wystąpił błąd.|Zapis do przyrządu niepoprawny.";

std::uint32_t Bits(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

class UpgradeScreen : public UpgradeTest {
protected:
    void ExpectStartQuestions() {
        ui::headless::ExpectConfirm("Warning", true);
        ui::headless::ExpectMessage("Important");
    }
    // Pages 0..pages-1 of the instrument's flash equal the image; the rest is erased.
    void ExpectFlash(const std::vector<unsigned char> &image, int pages) {
        const auto &flash = instrument.State().vgx.flash;
        ASSERT_EQ(flash.size(), image.size());
        const std::size_t end = static_cast<std::size_t>(pages) * 256;
        EXPECT_TRUE(std::equal(image.begin(), image.begin() + static_cast<long>(end), flash.begin()));
        EXPECT_TRUE(std::all_of(flash.begin() + static_cast<long>(end), flash.end(),
                                [](unsigned char b) { return b == 0xFF; }));
    }
    // The values the progress indicator was given, in order.
    std::vector<double> ProgressValues() const {
        std::vector<double> values;
        for (const Step &s : recorder->progress)
            if (s.kind == Step::Value) values.push_back(s.value);
        return values;
    }
    bool ProgressWindowGone() const {
        return recorder->progressPanel != 0 && ui::model::FindPanel(recorder->progressPanel) == nullptr;
    }
};

TEST_F(UpgradeScreen, OtherEventsDoNothing) {
    EXPECT_EQ(ObsEkrGl_Upgrade(mainPanel, 6, ui::EVENT_VAL_CHANGED, nullptr, 0, 0), 0);
    EXPECT_TRUE(Popups().empty());
    EXPECT_TRUE(TimerEnabled());
    EXPECT_TRUE(requests.empty());
}

TEST_F(UpgradeScreen, AnsweringNoSendsNothingAndKeepsPolling) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x3FF, &image));
    bool timerDuringQuestion = true;
    ui::headless::ExpectPopup(
        {ui::PopupKind::Confirm, "Warning", {0, false, ""}, [&] { timerDuringQuestion = TimerEnabled(); }});
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_FALSE(timerDuringQuestion);
    EXPECT_TRUE(TimerEnabled());
    EXPECT_EQ(Popups(), std::vector<std::string>{kWarning});
    EXPECT_TRUE(requests.empty());
    EXPECT_TRUE(Failures().empty());
}

TEST_F(UpgradeScreen, WholeUpgradeOfFourHundredEightyPages) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x1DFFF, &image));
    // Settings the instrument has before; its new firmware starts from others.
    auto &vgx = instrument.State().vgx;
    for (int i = 0; i < 13; ++i) vgx.lowerReals[static_cast<std::size_t>(i)] = Bits(1.5f * static_cast<float>(i + 1));
    vgx.integers[0] = 0x1234;
    vgx.serial = "SN123456";
    instrument.State().id = 7;
    const auto before = vgx.lowerReals;
    bool timerDuringUpgrade = true;
    onDelay = [&] {
        timerDuringUpgrade = TimerEnabled();
        vgx.lowerReals.fill(0);
        vgx.integers[0] = 0;
        vgx.serial = "00000000";
        instrument.State().id = 1;
    };
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");

    EXPECT_EQ(PressUpgrade(), 0);

    EXPECT_EQ(Popups(), (std::vector<std::string>{kWarning, kImportant, kFinished}));
    EXPECT_TRUE(Failures().empty());
    // The wait cursor is on for everything after the questions, off for the end message.
    EXPECT_EQ(recorder->cursorAtPopup, (std::vector<bool>{false, false, false}));
    EXPECT_FALSE(ui::headless::WaitCursor());
    EXPECT_FALSE(timerDuringUpgrade);
    EXPECT_TRUE(TimerEnabled());

    ExpectFlash(image, 480);
    EXPECT_EQ(instrument.State().vgx.pagesWritten, 480);
    EXPECT_EQ(Count(18), 480 * 4);
    EXPECT_EQ(Count(19), 480);
    EXPECT_EQ(Count(16), 1);
    EXPECT_EQ(Count(17), 1);
    EXPECT_FALSE(instrument.State().vgx.loader2Open);
    EXPECT_EQ(delays, std::vector<double>{2.0});

    // Settings back as they were.
    EXPECT_EQ(vgx.lowerReals, before);
    EXPECT_EQ(vgx.integers[0], 0x1234);
    EXPECT_EQ(vgx.serial, "SN123456");
    EXPECT_EQ(instrument.State().id, 7);
    EXPECT_EQ(ObsUpgrade_Ustawienia.id, 7);
    EXPECT_STREQ(ObsUpgrade_Ustawienia.serial, "SN123456");
}

TEST_F(UpgradeScreen, AnInstrumentWithIdZeroKeepsItWithoutAWriteError) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x1FF, &image));
    instrument.State().id = 0;
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");

    EXPECT_EQ(PressUpgrade(), 0);

    EXPECT_EQ(Popups(), (std::vector<std::string>{kWarning, kImportant, kFinished}));
    EXPECT_TRUE(Failures().empty());
    EXPECT_EQ(Count(2), 0);
    EXPECT_EQ(instrument.State().id, 0);
}

TEST_F(UpgradeScreen, TheMainWindowTakesNoCommandWhilePagesGoOut) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x2FF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    // Quitting mid-transfer would close the link under a half-flashed instrument.
    std::vector<ui::model::UserResult> pressed;
    intercept = [&](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (request.command == 19) pressed.push_back(ui::model::UserCommit(mainPanel, PANEL_GL_KONIEC));
        return std::nullopt;
    };

    EXPECT_EQ(PressUpgrade(), 0);

    ASSERT_EQ(pressed.size(), 3u);
    for (ui::model::UserResult r : pressed) EXPECT_EQ(r, ui::model::UserResult::Modal);
    ExpectFlash(image, 3);
    EXPECT_TRUE(TimerEnabled());
}

TEST_F(UpgradeScreen, RequestsGoInTheirOrder) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x1FF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    // The progress window is up before the loader is started.
    bool progressBeforeLoader = false;
    intercept = [&](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (request.command == 16 && recorder->progressPanel != 0)
            progressBeforeLoader = ui::model::FindPanel(recorder->progressPanel)->visible;
        return std::nullopt;
    };
    ASSERT_EQ(PressUpgrade(), 0);
    EXPECT_TRUE(progressBeforeLoader);

    std::vector<std::string> seen;
    for (const Request &r : requests) seen.push_back(std::to_string(r.command) + ":" + r.data);
    std::vector<std::string> expected;
    for (char c = 'a'; c <= 'm'; ++c) expected.push_back("130:" + HexDigits(static_cast<unsigned char>(c), 2));
    // Identify alone between the settings read and the loader start.
    expected.insert(expected.end(), {"132:41", "1:", "6:", "3:", "16:"});
    for (int page = 0; page < 2; ++page) {
        for (int quarter = 0; quarter < 4; ++quarter) {
            std::string data = HexDigits(quarter * 64, 4) + "40";
            for (int i = 0; i < 64; ++i)
                data += HexDigits(image[static_cast<std::size_t>(page * 256 + quarter * 64 + i)], 2);
            expected.push_back("18:" + data);
        }
        expected.push_back("19:" + HexDigits(page, 4));
    }
    expected.push_back("17:");
    ASSERT_GE(seen.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(seen.begin(), seen.begin() + static_cast<long>(expected.size())), expected);
    // Then the write-back: reals a..m, integer A, ID, serial number.
    std::vector<int> rest;
    for (std::size_t i = expected.size(); i < requests.size(); ++i) rest.push_back(requests[i].command);
    std::vector<int> writes(13, 131);
    writes.insert(writes.end(), {133, 2, 7});
    EXPECT_EQ(rest, writes);
}

TEST_F(UpgradeScreen, ProgressWindowShowsEveryPageAndRepaints) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x1DFFF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    std::string title;
    int top = 0, left = 0, width = 0, height = 0, ctrlTop = 0, ctrlLeft = 0, kind = 0;
    double low = -1, high = -1;
    std::string label;
    // Look at the window while it is up: at the first page.
    bool looked = false;
    intercept = [&](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (request.command == 18 && !looked && recorder->progressPanel != 0) {
            looked = true;
            const int p = recorder->progressPanel;
            const ui::model::Panel *panel = ui::model::FindPanel(p);
            title = panel->title;
            top = panel->top, left = panel->left, width = panel->width, height = panel->height;
            const ui::model::Control &c = panel->controls.at(0);
            label = c.label, kind = c.kind, ctrlTop = c.top, ctrlLeft = c.left, low = c.minValue, high = c.maxValue;
            EXPECT_TRUE(panel->visible);
        }
        return std::nullopt;
    };
    ui::headless::SetScreenSize(1000, 1600);
    ASSERT_EQ(PressUpgrade(), 0);

    ASSERT_TRUE(looked);
    EXPECT_EQ(title, "Flash UpLoad progress level");
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 25);
    EXPECT_EQ(top, 1000 / 2 - 100);
    EXPECT_EQ(left, 1600 / 2 - 100);
    EXPECT_EQ(kind, ui::CTRL_LEVEL_INDICATOR);
    EXPECT_EQ(label, "progress");
    EXPECT_EQ(ctrlTop, 10);
    EXPECT_EQ(ctrlLeft, 10);
    EXPECT_EQ(low, 0.0);
    EXPECT_EQ(high, 100.0);

    // One value a page (after the starting 0), the last 479 * 100 / 480.
    const std::vector<double> values = ProgressValues();
    ASSERT_FALSE(values.empty());
    EXPECT_DOUBLE_EQ(values.back(), 479 * 100.0 / 480);
    EXPECT_DOUBLE_EQ(values[values.size() - 2], 478 * 100.0 / 480);
    // Every page's value is followed by a repaint before anything else.
    int valuesAfterShow = 0;
    bool shown = false;
    for (std::size_t i = 0; i < recorder->progress.size(); ++i) {
        const Step &s = recorder->progress[i];
        if (s.kind == Step::Shown) shown = true;
        if (s.kind != Step::Value || !shown) continue;
        ++valuesAfterShow;
        ASSERT_LT(i + 1, recorder->progress.size());
        EXPECT_EQ(recorder->progress[i + 1].kind, Step::Process) << "value " << s.value;
    }
    EXPECT_EQ(valuesAfterShow, 480);
    // Gone before the 2-second wait.
    EXPECT_TRUE(ProgressWindowGone());
    EXPECT_EQ(recorder->progress.back().kind, Step::Discarded);
}

class TypeCodeVersion : public UpgradeScreen, public ::testing::WithParamInterface<std::pair<unsigned, int>> {};

TEST_P(TypeCodeVersion, PicksTheFileOfThatVersion) {
    const auto [type, version] = GetParam();
    instrument.State().typeCode = type;
    std::vector<unsigned char> image;
    for (int v = 1; v <= 8; ++v) PutFirmware(v, FirmwareUpTo(v == version ? 0x2FF : 0xFF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_EQ(Count(19), 3);
    EXPECT_EQ(Count(3), 1);
    EXPECT_TRUE(Failures().empty());
}

INSTANTIATE_TEST_SUITE_P(UpgradeScreen, TypeCodeVersion,
                         ::testing::Values(std::pair<unsigned, int>{439, 8}, std::pair<unsigned, int>{440, 1},
                                           std::pair<unsigned, int>{0x1B2, 3}, std::pair<unsigned, int>{0x1B0, 1}));

class PromptedVersion : public UpgradeScreen, public ::testing::WithParamInterface<std::pair<const char *, int>> {
protected:
    void SetUp() override {
        UpgradeScreen::SetUp();
        // The instrument does not identify itself.
        intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
            if (request.command != 3) return std::nullopt;
            sim::HexReply silent;
            silent.silent = true;
            return silent;
        };
    }
};

TEST_P(PromptedVersion, AnswerIsBroughtIntoOneToEight) {
    const auto [answer, version] = GetParam();
    std::vector<unsigned char> image;
    for (int v = 1; v <= 8; ++v) PutFirmware(v, FirmwareUpTo(v == version ? 0x2FF : 0xFF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectPrompt("Information needed", answer);
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_EQ(Count(3), 5);  // identify tried five times first
    EXPECT_EQ(Count(19), 3);
    EXPECT_TRUE(Failures().empty());
    const auto &popups = ui::headless::Popups();
    ASSERT_EQ(popups.size(), 4u);
    EXPECT_EQ(popups[2].request.kind, ui::PopupKind::Prompt);
    EXPECT_EQ(popups[2].request.message, "Please, write aprioprate hardware version of the instrument");
    EXPECT_EQ(popups[2].request.maxResponseLength, 1);
}

INSTANTIATE_TEST_SUITE_P(UpgradeScreen, PromptedVersion,
                         ::testing::Values(std::pair<const char *, int>{"0", 1}, std::pair<const char *, int>{"9", 8},
                                           std::pair<const char *, int>{"", 1}, std::pair<const char *, int>{"x", 1},
                                           std::pair<const char *, int>{"-", 1}, std::pair<const char *, int>{"5", 5},
                                           std::pair<const char *, int>{"8", 8}));

TEST_F(PromptedVersion, CancelledPromptGivesVersionOne) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x3FF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectPromptCancel("Information needed");
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_EQ(Count(19), 4);
}

TEST_F(UpgradeScreen, NoFirmwareFileIsReportedAndNothingIsSentToTheLoader) {
    instrument.State().typeCode = 0x1B1;  // version 2
    PutFirmware(1, Join({EndRecord()}));
    PutBareFirmware(3, Join({EndRecord()}));
    ExpectStartQuestions();
    bool cursorAtMessage = false;
    ui::headless::ExpectPopup(
        {ui::PopupKind::Message, "Message", {}, [&] { cursorAtMessage = ui::headless::WaitCursor(); }});
    EXPECT_EQ(PressUpgrade(), -1);
    EXPECT_EQ(Popups(), (std::vector<std::string>{kWarning, kImportant, kNoFile}));
    EXPECT_TRUE(cursorAtMessage);
    EXPECT_FALSE(ui::headless::WaitCursor());
    EXPECT_TRUE(TimerEnabled());
    EXPECT_EQ(LoaderRequests(), 0);
    EXPECT_EQ(Count(130), 13);  // only the settings were read
    EXPECT_EQ(Count(131), 0);
    EXPECT_TRUE(Failures().empty());
}

TEST_F(UpgradeScreen, BareFileNameInTheCurrentFolderIsTheFallback) {
    instrument.State().typeCode = 0x1B1;
    std::vector<unsigned char> image;
    PutBareFirmware(2, FirmwareUpTo(0x4FF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    ExpectFlash(image, 5);
    EXPECT_EQ(Popups().back(), kFinished);
}

TEST_F(UpgradeScreen, DamagedFileIsReportedAndNothingIsFlashed) {
    std::vector<unsigned char> image;
    std::string text = FirmwareUpTo(0x3FF, &image);
    const std::size_t at = text.find(":20");
    text[at + 12] = text[at + 12] == '0' ? '1' : '0';  // a data digit of line 2: the checksum no longer adds up
    PutFirmware(1, text);
    // A good file under the bare name must not be taken instead.
    PutBareFirmware(1, FirmwareUpTo(0x3FF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), -1);
    const auto popups = Popups();
    ASSERT_EQ(popups.size(), 3u);
    EXPECT_NE(popups[2].find("line 2"), std::string::npos) << popups[2];
    EXPECT_NE(popups[2].find("checksum"), std::string::npos) << popups[2];
    EXPECT_NE(popups[2].find("Nothing was sent"), std::string::npos) << popups[2];
    EXPECT_EQ(LoaderRequests(), 0);
    EXPECT_EQ(instrument.State().vgx.pagesWritten, 0);
    EXPECT_TRUE(TimerEnabled());
    EXPECT_FALSE(ui::headless::WaitCursor());
}

TEST_F(UpgradeScreen, FileWithoutDataIsNotSent) {
    PutFirmware(1, Join({EndRecord()}));
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), -1);
    EXPECT_EQ(LoaderRequests(), 0);
    EXPECT_TRUE(TimerEnabled());
}

TEST_F(UpgradeScreen, FailedSettingReadIsReportedOnceAndNotWrittenBack) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    // Real setting "c" and the serial number give a status; the rest answer.
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if ((request.command == 130 && request.data == "63") || request.command == 6) {
            sim::HexReply refused;
            refused.status = 5;
            return refused;
        }
        return std::nullopt;
    };
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Wystąpił błąd.");
    ui::headless::ExpectMessage("Wystąpił błąd.");
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_EQ(Popups(), (std::vector<std::string>{kWarning, kImportant, kReadFailed, kReadFailed, kFinished}));
    EXPECT_EQ(Count(130), 13);  // every real read, "c" once (a status is not repeated)
    EXPECT_EQ(Count(132), 1);
    EXPECT_EQ(Count(1), 1);
    EXPECT_EQ(Count(131), 12);  // "c" is not written back
    EXPECT_EQ(CountWithCode(131, 'c'), 0);
    EXPECT_EQ(Count(7), 0);  // nor the serial number
    EXPECT_EQ(ObsUpgrade_Ustawienia.held[2], false);
    EXPECT_EQ(ObsUpgrade_Ustawienia.held[0], true);
    EXPECT_TRUE(Failures().empty());
}

TEST_F(UpgradeScreen, SilentReadIsRepeatedFiveTimes) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (request.command != 132) return std::nullopt;
        sim::HexReply silent;
        silent.silent = true;
        return silent;
    };
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Wystąpił błąd.");
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_EQ(Count(132), 5);
    EXPECT_EQ(Count(133), 0);
}

TEST_F(UpgradeScreen, FailedSettingWriteIsReportedAndTheRestFollow) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (request.command != 131 || request.data.substr(0, 2) != "61") return std::nullopt;
        sim::HexReply refused;
        refused.status = 9;
        return refused;
    };
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Wystąpił błąd.");
    ui::headless::ExpectMessage("Message");
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_EQ(Popups(), (std::vector<std::string>{kWarning, kImportant, kWriteFailed,
                                                  "Message|1 of the instrument's settings could not be written back. "
                                                  "The settings read before the upgrade are saved in " +
                                                      Backups()[0] +
                                                      "; \"vgx52ctl settings-restore\" writes them to the instrument.",
                                                  kFinished}));
    EXPECT_EQ(Count(131), 13);
    EXPECT_EQ(Count(133), 1);
    EXPECT_EQ(Count(7), 1);
}

// The backup cannot be written: the operator is asked, and no (the default)
// leaves the instrument as it was and says so before polling resumes.
TEST_F(UpgradeScreen, UnwritableBackupAsksWhetherToGoOnWithoutIt) {
    std::filesystem::create_directories(korvi70_test::TestDriveRoot() + "/c");
    std::ofstream(korvi70_test::TestDriveRoot() + "/c/ProgramData") << "not a folder";
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0xFF, &image));
    ExpectStartQuestions();
    ui::headless::ExpectGeneric("Warning", 2);
    bool timerDuringMessage = true;
    ui::headless::ExpectPopup({ui::PopupKind::Message, "Message", {}, [&] { timerDuringMessage = TimerEnabled(); }});
    EXPECT_EQ(PressUpgrade(), -1);
    ASSERT_EQ(ui::headless::Popups().size(), 4u);
    const std::string &notStarted = ui::headless::Popups()[3].request.message;
    EXPECT_EQ(notStarted.rfind("The upgrade was not started: the backup file ", 0), 0u) << notStarted;
    EXPECT_NE(notStarted.find(korvi70_test::TestDriveRoot() + "/c/ProgramData/"), std::string::npos) << notStarted;
    EXPECT_NE(notStarted.find("VGX52 ustawienia "), std::string::npos) << notStarted;
    EXPECT_NE(notStarted.find("could not be written"), std::string::npos) << notStarted;
    EXPECT_FALSE(timerDuringMessage);
    const ui::PopupRequest &question = ui::headless::Popups()[2].request;
    EXPECT_EQ(question.kind, ui::PopupKind::Generic);
    EXPECT_NE(question.message.find("could not be saved to a backup file"), std::string::npos) << question.message;
    EXPECT_EQ(question.buttons[0], "Yes");
    EXPECT_EQ(question.buttons[1], "No");
    EXPECT_EQ(question.enterButton, 2);
    EXPECT_EQ(question.escapeButton, 2);
    EXPECT_EQ(LoaderRequests(), 0);
    EXPECT_TRUE(TimerEnabled());
    EXPECT_FALSE(ui::headless::WaitCursor());

    ExpectStartQuestions();
    ui::headless::ExpectGeneric("Warning", 1);
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_EQ(Popups().back(), kFinished);
    ExpectFlash(image, 1);
    EXPECT_TRUE(Failures().empty());
}

TEST_F(UpgradeScreen, BufferWritesAreRepeatedUntilTheyGoThrough) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x2FF, &image));
    int refusals = 0;
    intercept = [&](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        // Quarter 2 of page 1 fails 9 times, page write 2 fails 3 times.
        const bool quarter = request.command == 18 && instrument.State().vgx.pagesWritten == 1 &&
                             request.data.substr(0, 4) == "0080" && refusals < 9;
        const bool page = request.command == 19 && request.data == "0002" && refusals >= 9 && refusals < 12;
        if (!quarter && !page) return std::nullopt;
        ++refusals;
        sim::HexReply refused;
        refused.status = 7;
        return refused;
    };
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), 0);
    EXPECT_EQ(refusals, 12);
    ExpectFlash(image, 3);
    EXPECT_EQ(Count(18), 3 * 4 + 9);
    EXPECT_EQ(Count(19), 3 + 3);
    EXPECT_EQ(Popups().back(), kFinished);
}

TEST_F(UpgradeScreen, InstrumentFallingSilentMidTransferEndsTheUpgrade) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x1DFFF, &image));
    // From the fourth page on nothing answers any more.
    intercept = [&](const sim::HexRequest &) -> std::optional<sim::HexReply> {
        if (instrument.State().vgx.pagesWritten < 3) return std::nullopt;
        sim::HexReply silent;
        silent.silent = true;
        return silent;
    };
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), -1);

    const auto popups = Popups();
    ASSERT_EQ(popups.size(), 3u);
    EXPECT_NE(popups[2].find("did not complete"), std::string::npos) << popups[2];
    EXPECT_NE(popups[2].find("repeat the upgrade"), std::string::npos) << popups[2];
    EXPECT_NE(popups[2].find("page 4 of 480"), std::string::npos) << popups[2];
    ASSERT_EQ(Backups().size(), 1u);
    EXPECT_NE(popups[2].find("The settings read before the upgrade are saved in " + Backups()[0]), std::string::npos)
        << popups[2];
    EXPECT_EQ(Count(18), 3 * 4 + 10);  // the first quarter of page 3, ten times
    EXPECT_EQ(Count(17), 5);           // closing the loader is tried too
    EXPECT_EQ(Count(131), 0);          // no settings written into a half-flashed instrument
    EXPECT_TRUE(delays.empty());
    EXPECT_TRUE(ProgressWindowGone());
    EXPECT_TRUE(TimerEnabled());
    EXPECT_FALSE(ui::headless::WaitCursor());
    EXPECT_EQ(instrument.State().vgx.pagesWritten, 3);
}

TEST_F(UpgradeScreen, PageWriteThatNeverGoesThroughEndsTheUpgrade) {
    std::vector<unsigned char> image;
    PutFirmware(1, FirmwareUpTo(0x3FF, &image));
    intercept = [](const sim::HexRequest &request) -> std::optional<sim::HexReply> {
        if (request.command != 19 || request.data != "0001") return std::nullopt;
        sim::HexReply refused;
        refused.status = 6;
        return refused;
    };
    ExpectStartQuestions();
    ui::headless::ExpectMessage("Message");
    EXPECT_EQ(PressUpgrade(), -1);
    EXPECT_EQ(Count(19), 1 + 10);
    EXPECT_EQ(Count(18), 8);
    EXPECT_EQ(Count(17), 1);
    EXPECT_NE(Popups().back().find("page 2 of 4"), std::string::npos) << Popups().back();
    EXPECT_TRUE(TimerEnabled());
}

}  // namespace

// The window manager's close button on the program's windows: each does
// what the window's own quit, return or cancel control does, and the
// upgrade's progress window stays while the pages go out.
#include <QApplication>
#include <QProgressBar>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "app/density_calculator.h"
#include "app/density_screen.h"
#include "app/main_screen.h"
#include "app/port_select.h"
#include "app/screens.h"
#include "korvi70/link.h"
#include "platform/com.h"
#include "screens_fixture.h"
#include "toolvane/folders.h"
#include "ui/VGX52_G.h"
#include "ui/qt/qt_backend.h"
#include "ui/ui.h"
#include "upgrade/upgrade_screen.h"

namespace fs = std::filesystem;

namespace {

using qtscreens::kPort;

class WindowClose : public qtscreens::ProgramScreens {
protected:
    void SetUp() override {
        ProgramScreens::SetUp();
        config_ = root_ + "/VGX52.kfg";
        std::snprintf(Toolvane_ZbiorKonfig, sizeof Toolvane_ZbiorKonfig, "%s", config_.c_str());
    }
    void TearDown() override {
        Toolvane_ZbiorKonfig[0] = '\0';
        ProgramScreens::TearDown();
    }
    static bool TimerEnabled() {
        int enabled = -1;
        ui::GetCtrlAttribute(PanelEkrGl, PANEL_GL_TIMER, ui::ATTR_ENABLED, &enabled);
        return enabled == 1;
    }

    std::string config_;
};

// Closes a panel's window as the window manager would, from the event loop,
// again every 20 ms until the program has discarded the panel (a popup
// takes only the events that come while the program waits for them). After
// 2 s it gives up and ends the event loop, so a close that does nothing
// fails the test rather than hanging it.
class Closer {
public:
    explicit Closer(const int &panel) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this, &panel] {
            QWidget *window = panel != 0 ? ui::qt::PanelWindow(panel) : nullptr;
            if (window == nullptr) return timer_.stop();
            if (++closes > 100) {
                gaveUp = true;
                timer_.stop();
                ui::QuitUserInterface(-1);
                return;
            }
            window->close();
        });
        timer_.start();
    }
    int closes = 0;
    bool gaveUp = false;

private:
    QTimer timer_;
};

TEST_F(WindowClose, MainWindowQuitsAsKoniecDoes) {
    UstawOdpytywanieEkrGl(1);
    Closer closer(PanelEkrGl);
    EXPECT_EQ(ui::RunUserInterface(), 0);
    EXPECT_FALSE(closer.gaveUp);
    EXPECT_EQ(closer.closes, 1);
    EXPECT_EQ(PanelEkrGl, 0);
    EXPECT_FALSE(platform::IsComOpen(kPort));
    EXPECT_TRUE(fs::exists(config_)) << "the configuration is written on quit";
}

TEST_F(WindowClose, DensityScreenAndCalculatorReturnAsPowrotDoes) {
    ObsEkrGl_UstGestGazu(PanelEkrGl, PANEL_GL_USTGEST, ui::EVENT_COMMIT, nullptr, 0, 0);
    ObsEkrUstGest_KalkGest(PanelUstGest, PANEL_UG_KALKULATOR, ui::EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_NE(PanelKalGest, 0);
    // A close event reaches the window at once; its callback runs in it.
    ui::qt::PanelWindow(PanelKalGest)->close();
    EXPECT_EQ(PanelKalGest, 0);
    ASSERT_NE(PanelUstGest, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), ui::qt::PanelWindow(PanelUstGest));
    EXPECT_FALSE(TimerEnabled());

    ui::qt::PanelWindow(PanelUstGest)->close();
    EXPECT_EQ(PanelUstGest, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(TimerEnabled());
    EXPECT_NE(PanelEkrGl, 0);
    EXPECT_FALSE(fs::exists(config_));
}

TEST_F(WindowClose, PortPopupCancels) {
    Korvi70_NrZlacza = 3;
    Closer closer(PanelWybZlacza);
    EXPECT_NE(OkreslKonfiguracjeKorvi70(Toolvane_ZbiorUir), 0);
    EXPECT_FALSE(closer.gaveUp);
    EXPECT_EQ(Korvi70_NrZlacza, 3);
    EXPECT_EQ(PanelWybZlacza, 0);
    Korvi70_NrZlacza = kPort;
}

TEST_F(WindowClose, ProgressWindowAndMainWindowStayWhilePagesGoOut) {
    fs::create_directories(root_ + "/p/VGX52/SoftWare/AVR/HV1/Exe");
    std::ofstream(root_ + "/p/VGX52/SoftWare/AVR/HV1/Exe/vgx52hv1.a90", std::ios::binary) << qtscreens::HexFile(40);
    qtscreens::Agree agree;
    int closes = 0;
    bool stayed = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowTitle() != upgrade::kProgressTitle) continue;
            auto *bar = w->findChild<QProgressBar *>();
            if (!bar || bar->value() < 1000 || closes > 0) continue;
            ++closes;
            w->close();
            ui::qt::PanelWindow(PanelEkrGl)->close();
            stayed = w->isVisible() && PanelEkrGl != 0;
        }
    });
    watch.start();
    EXPECT_EQ(ObsEkrGl_Upgrade(PanelEkrGl, PANEL_GL_UPGRADE, ui::EVENT_COMMIT, nullptr, 0, 0), 0);
    watch.stop();
    EXPECT_EQ(closes, 1);
    EXPECT_TRUE(stayed);
    EXPECT_EQ(instrument_.State().vgx.pagesWritten, 40) << "every page went out";
    EXPECT_NE(PanelEkrGl, 0);
    EXPECT_FALSE(fs::exists(config_));
}

}  // namespace

// Every panel of the program, shown by the real screens on the Qt back end
// against the simulated instrument in this process, saved as a PNG file in
// <build>/screenshots/ for a person to look at. Each picture is also checked
// for what a person would see wrong: text cut short, controls outside the
// window, the status line not in its colour.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "app/app_state.h"
#include "app/density_calculator.h"
#include "app/density_screen.h"
#include "app/main_screen.h"
#include "app/port_select.h"
#include "app/screens.h"
#include "korvi70/config.h"
#include "korvi70/dialogs.h"
#include "korvi70/link.h"
#include "korvi70/modem/modem.h"
#include "platform/com.h"
#include "screens_fixture.h"
#include "sim/com_device.h"
#include "sim/instrument.h"
#include "sim/modem_device.h"
#include "toolvane/folders.h"
#include "ui/Korvi70G.h"
#include "ui/VGX52_G.h"
#include "ui/model.h"
#include "ui/qt/qt_backend.h"
#include "ui/ui.h"
#include "upgrade/upgrade_screen.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

using qtscreens::Agree;
using qtscreens::HexFile;
using qtscreens::kPort;

std::string ShotFolder() { return VGX52_SCREENSHOT_DIR; }

// How many pixels of an image are close to a colour.
int PixelsNear(const QImage &image, QColor colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            if (std::abs(p.red() - colour.red()) + std::abs(p.green() - colour.green()) +
                    std::abs(p.blue() - colour.blue()) <
                40)
                ++n;
        }
    return n;
}

// What a person would see wrong in a window: a text that does not fit its
// widget, a widget outside the window.
void ExpectTidy(QWidget *window, const std::string &name) {
    ASSERT_NE(window, nullptr) << name;
    const QRect inside = window->rect();
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->isVisible() || w->window() != window) continue;
        const QRect area(w->mapTo(window, QPoint(0, 0)), w->size());
        EXPECT_TRUE(inside.contains(area)) << name << ": " << w->metaObject()->className() << " outside the window";
        QString text;
        if (auto *label = qobject_cast<QLabel *>(w)) text = label->text();
        if (auto *button = qobject_cast<QAbstractButton *>(w)) text = button->text();
        if (!text.isEmpty() && (qobject_cast<QLabel *>(w) || qobject_cast<QPushButton *>(w))) {
            EXPECT_GE(w->width(), w->sizeHint().width()) << name << ": \"" << text.toStdString() << "\" cut short";
        }
        if (auto *edit = qobject_cast<QLineEdit *>(w)) {
            EXPECT_LT(edit->fontMetrics().horizontalAdvance(edit->text()), edit->width() - 6)
                << name << ": \"" << edit->text().toStdString() << "\" wider than its field";
        }
    }
}

// No control lies over another.
void ExpectApart(QWidget *window, const std::string &name) {
    std::vector<QWidget *> shown;
    for (QWidget *w : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (w->isVisible()) shown.push_back(w);
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(shown[i]->geometry().intersects(shown[j]->geometry()))
                << name << ": " << shown[i]->metaObject()->className() << " over "
                << shown[j]->metaObject()->className();
}

// The whole window, frame included, on the 1024x768 screen of the tests.
void ExpectOnScreen(QWidget *window, const std::string &name) {
    const QRect screen = window->screen()->availableGeometry();
    ASSERT_EQ(screen.size(), QSize(1024, 768)) << "the fixture's small screen";
    EXPECT_TRUE(screen.contains(window->frameGeometry()))
        << name << ": " << window->frameGeometry().x() << "," << window->frameGeometry().y() << " "
        << window->frameGeometry().width() << "x" << window->frameGeometry().height() << " leaves the screen";
}

// A window opens with its centre on its opener's, in each direction where
// that keeps it on the screen; else against the screen's edge.
void ExpectCentredOver(QWidget *window, QWidget *opener, const std::string &name) {
    const QRect screen = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    QRect centred = frame;
    centred.moveCenter(opener->frameGeometry().center());
    const bool fitsAcross = centred.left() >= screen.left() && centred.right() <= screen.right();
    const bool fitsDown = centred.top() >= screen.top() && centred.bottom() <= screen.bottom();
    const auto near = [](int a, int b) { return std::abs(a - b) <= 1; };
    if (fitsAcross)
        EXPECT_TRUE(near(frame.left(), centred.left()))
            << name << ": left " << frame.left() << ", centred " << centred.left();
    else
        EXPECT_TRUE(frame.left() == screen.left() || frame.right() == screen.right()) << name << ": not at the edge";
    if (fitsDown)
        EXPECT_TRUE(near(frame.top(), centred.top()))
            << name << ": top " << frame.top() << ", centred " << centred.top();
    else
        EXPECT_TRUE(frame.top() == screen.top() || frame.bottom() == screen.bottom()) << name << ": not at the edge";
}

void Save(QWidget *window, const std::string &name) {
    ASSERT_NE(window, nullptr) << name;
    ExpectTidy(window, name);
    ExpectApart(window, name);
    ExpectOnScreen(window, name);
    const std::string file = ShotFolder() + "/" + name + ".png";
    EXPECT_TRUE(window->grab().save(QString::fromStdString(file), "PNG")) << file;
}

void SavePanel(int panel, const std::string &name) { Save(ui::qt::PanelWindow(panel), name); }

class Screenshots : public qtscreens::ProgramScreens {
protected:
    void SetUp() override {
        ProgramScreens::SetUp();
        fs::create_directories(ShotFolder());
    }

    // The status line as drawn holds pixels of its colour.
    void ExpectStatusDrawnIn(QColor colour) {
        const QImage image = ui::qt::ControlWidget(PanelEkrGl, PANEL_GL_STATUS)->grab().toImage();
        EXPECT_GT(PixelsNear(image, colour), 20) << colour.name().toStdString();
    }
};

TEST_F(Screenshots, MainScreenInItsThreeStates) {
    EXPECT_EQ(ui::qt::PanelWindow(PanelEkrGl)->windowTitle(),
              "User Program for Gas Parameter Measurement Device, model VGX52  1.01");
    instrument_.State().typeCode = 0x1B3;
    Poll();
    ExpectStatusDrawnIn(QColor(0, 0x80, 0));
    EXPECT_TRUE(ui::qt::ControlWidget(PanelEkrGl, PANEL_GL_USTGEST)->isEnabled());
    SavePanel(PanelEkrGl, "main-connected");

    instrument_.State().typeCode = 0x1B8;
    Poll();
    ExpectStatusDrawnIn(QColor(0, 0, 0x80));
    EXPECT_FALSE(ui::qt::ControlWidget(PanelEkrGl, PANEL_GL_USTGEST)->isEnabled());
    SavePanel(PanelEkrGl, "main-other-instrument");

    instrument_.Faults().silent = true;
    Poll();
    ExpectStatusDrawnIn(QColor(0x80, 0, 0));
    EXPECT_FALSE(ui::qt::ControlWidget(PanelEkrGl, PANEL_GL_USTGEST)->isEnabled());
    SavePanel(PanelEkrGl, "main-no-answer");
}

// Clicks a button of a panel, as the operator would.
void Click(int panel, int control) { qobject_cast<QPushButton *>(ui::qt::ControlWidget(panel, control))->click(); }

// What an operator does in a dialog, one step after another, each step
// tried again every few milliseconds until it says it is done. A click
// that comes while the dialog is not yet waiting for it is lost, so a
// step that clicks repeats until its effect shows. Ends with the dialog.
using Step = std::function<bool(int panel)>;
void Operate(int resource, std::vector<Step> steps) {
    auto *timer = new QTimer;
    auto next = std::make_shared<std::size_t>(0);
    timer->setInterval(30);
    QObject::connect(timer, &QTimer::timeout, [=] {
        const int panel = ui::model::FindPanelByResource(resource);
        const bool over = panel == 0 ? *next > 0 : *next >= steps.size();
        if (over) {
            timer->stop();
            timer->deleteLater();
            return;
        }
        // Not up yet: the dialog acts once it is the modal window.
        QWidget *window = panel == 0 ? nullptr : ui::qt::PanelWindow(panel);
        if (window == nullptr || !window->isVisible() || QApplication::activeModalWidget() != window) return;
        if (steps[*next](panel)) ++*next;
    });
    timer->start();
}

Step Snapshot(const char *name) {
    return [name](int panel) {
        SavePanel(panel, name);
        return true;
    };
}

// Clicks until the dialog is gone.
Step Close(int control) {
    return [control](int panel) {
        Click(panel, control);
        return false;
    };
}

int Value(int panel, int control) {
    int value = -1;
    ui::GetCtrlVal(panel, control, &value);
    return value;
}

// The Korvi70 library's dialogs, on the panels of Korvi70G.Uir.
class KorviScreenshots : public Screenshots {
protected:
    void SetUp() override {
        Screenshots::SetUp();
        UseKorvi70Panels(VGX52_KORVI70_RESOURCE_FILE);
    }
    void TearDown() override {
        StopKorvi70Panels();
        Screenshots::TearDown();
    }
};

// A pseudo-terminal standing for a serial device.
std::string NewTerminal(int &master) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return {};
    return ptsname(master);
}

TEST_F(KorviScreenshots, PortSelectionWithEachState) {
    int free1 = -1, held = -1, free4 = -1;
    fs::create_symlink(NewTerminal(free1), root_ + "/com1");
    fs::create_symlink(NewTerminal(held), root_ + "/com2");
    fs::create_symlink(root_ + "/unplugged", root_ + "/com3");
    fs::create_symlink(NewTerminal(free4), root_ + "/com4");
    fs::create_symlink(fs::read_symlink(root_ + "/com2"), root_ + "/com40");
    ASSERT_EQ(platform::OpenComConfig(40, "", 38400, 0, 8, 1, 1024, 1024), 0);
    Korvi70_NrZlacza = 1;
    Operate(PANEL_WYBZL, {[](int panel) {
                              EXPECT_FALSE(ui::qt::ControlWidget(panel, PANEL_WYBZL_COM3)->isEnabled());
                              return true;
                          },
                          Snapshot("korvi70-port-selection"), Close(PANEL_WYBZL_AKCEPTUJ)});
    EXPECT_EQ(Korvi70_WybNrZl(), 0);
    EXPECT_EQ(Korvi70_NrZlacza, 1);
    Korvi70_NrZlacza = kPort;
    platform::CloseCom(40);
    for (int fd : {free1, held, free4}) close(fd);
}

TEST_F(KorviScreenshots, IdAssignment) {
    Operate(PANEL_NRID, {[](int panel) {
                             if (Value(panel, PANEL_NRID_ODCZYTANY) == 5) return true;
                             Click(panel, PANEL_NRID_ODCZYTAJ);
                             return false;
                         },
                         Snapshot("korvi70-id-assignment"), Close(PANEL_NRID_ZAMKNIJ)});
    EXPECT_EQ(Korvi70_NadNrId(), 0);
}

TEST_F(KorviScreenshots, IoEditorAfterARead) {
    const unsigned char bytes[] = {0xAB, 0x01, 0x7F, 0x00, 0xC3, 0x10};
    std::copy(std::begin(bytes), std::end(bytes), instrument_.State().io.begin() + 0x0100);
    Operate(PANEL_EDYT, {[](int panel) {
                             ui::SetCtrlVal(panel, PANEL_EDYT_ZAP_ADRES, 0x0200);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ZAP_ADRES_DZ, 0x0200);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ODCZ_ADRES, 0x0100);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ODCZ_ADRES_DZ, 0x0100);
                             ui::SetCtrlVal(panel, PANEL_EDYT_ODCZ_ILE, 6);
                             ObsEkrEdyt_UaktualnijAktywnoscPolOdczytowych(panel);
                             return true;
                         },
                         [](int panel) {
                             if (Value(panel, PANEL_EDYT_ODCZ_BAJT5) == 0xC3) return true;
                             Click(panel, PANEL_EDYT_ODCZYTAJ);
                             return false;
                         },
                         [](int panel) {
                             EXPECT_FALSE(ui::qt::ControlWidget(panel, PANEL_EDYT_ODCZ_BAJT7)->isEnabled());
                             return true;
                         },
                         Snapshot("korvi70-io-editor"), Close(PANEL_EDYT_ZAMKNIJ)});
    EXPECT_EQ(Korvi70_EdytorWeWy(5), 0);
}

// The modem's dialogs, with the simulated modem in front of the instrument
// on COM2.
class ModemScreenshots : public KorviScreenshots {
protected:
    void SetUp() override {
        KorviScreenshots::SetUp();
        AttachModem();
    }
    void TearDown() override {
        DetachModem();
        KorviScreenshots::TearDown();
    }
};

TEST_F(ModemScreenshots, ConnectDialogAndDiallingPanel) {
    Operate(PANEL_MODEM, {[](int panel) {
                              ui::SetCtrlVal(panel, PANEL_MODEM_NUMER, "0W225551234");
                              return true;
                          },
                          Snapshot("korvi70-modem-connect"),
                          [](int panel) {
                              Click(panel, PANEL_MODEM_POLACZ);
                              return true;
                          }});
    Operate(PANEL_WYBNR, {[](int panel) {
                double value = 0;
                ui::GetCtrlVal(panel, PANEL_WYBNR_POSTEP, &value);
                if (value < 1.0) return false;
                SavePanel(panel, "korvi70-modem-dialling");
                return true;
            }});
    Agree agree;
    EXPECT_EQ(Korvi70_PolaczModem(kModemPort), 0);
    EXPECT_NE(std::find(agree.titles.begin(), agree.titles.end(), "Połączenie nawiązane."), agree.titles.end());
    EXPECT_EQ(Korvi70_RozlaczModem(kModemPort), 0);
}

TEST_F(ModemScreenshots, ConfigurationDialog) {
    Operate(PANEL_KONF, {Snapshot("korvi70-modem-configuration"), Close(PANEL_KONF_ZAMKNIJ)});
    EXPECT_EQ(Korvi70_KonfiguracjaModemu(kModemPort), 0);
}

TEST_F(Screenshots, PortSelectionPopup) {
    bool saved = false;
    Operate(PANEL_PORT, {[&](int panel) {
                             SavePanel(panel, "port-popup");
                             saved = true;
                             return true;
                         },
                         Close(PANEL_PORT_OK)});
    Korvi70_NrZlacza = 3;
    EXPECT_EQ(OkreslKonfiguracjeKorvi70(Toolvane_ZbiorUir), 0);
    EXPECT_TRUE(saved);
    EXPECT_EQ(Korvi70_NrZlacza, 3) << "the preselected COM3 accepted";
    Korvi70_NrZlacza = kPort;
}

TEST_F(Screenshots, DensityScreenAndCalculator) {
    instrument_.State().typeCode = 0x1B0;
    Poll();
    ObsEkrGl_UstGestGazu(PanelEkrGl, PANEL_GL_USTGEST, ui::EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_NE(PanelUstGest, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), ui::qt::PanelWindow(PanelUstGest));
    ExpectCentredOver(ui::qt::PanelWindow(PanelUstGest), ui::qt::PanelWindow(PanelEkrGl), "density screen");
    ObsEkrUstGest_WpiszGestPowietrza(PanelUstGest, PANEL_UG_POWIETRZE, ui::EVENT_COMMIT, nullptr, 0, 0);
    SavePanel(PanelUstGest, "density-screen");

    ObsEkrUstGest_KalkGest(PanelUstGest, PANEL_UG_KALKULATOR, ui::EVENT_COMMIT, nullptr, 0, 0);
    ASSERT_NE(PanelKalGest, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), ui::qt::PanelWindow(PanelKalGest));
    ExpectCentredOver(ui::qt::PanelWindow(PanelKalGest), ui::qt::PanelWindow(PanelUstGest), "calculator");
    // Half methane, the rest dry air: every field holds a number.
    ui::SetCtrlVal(PanelKalGest, PANEL_KG_METAN, 50.0);
    ObsEkrKlaGest_Stez(PanelKalGest, PANEL_KG_METAN, ui::EVENT_COMMIT, nullptr, 0, 0);
    ObsEkrKalGest_WypelStezDlaCzystPow(PanelKalGest, PANEL_KG_WYPELNIJ, ui::EVENT_COMMIT, nullptr, 0, 0);
    SavePanel(PanelKalGest, "calculator");

    ObsEkrKalGest_Powrot(PanelKalGest, PANEL_KG_POWROT, ui::EVENT_COMMIT, nullptr, 0, 0);
    ObsEkrUstGest_Powrot(PanelUstGest, PANEL_UG_POWROT, ui::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(Screenshots, UpgradeProgressWindow) {
    instrument_.State().typeCode = 0x1B0;  // hardware version 1
    fs::create_directories(root_ + "/p/VGX52/SoftWare/AVR/HV1/Exe");
    std::ofstream(root_ + "/p/VGX52/SoftWare/AVR/HV1/Exe/vgx52hv1.a90", std::ios::binary) << HexFile(10);
    Agree agree;
    // The upgrade lets events through after each page: the picture is taken
    // once the bar is part way.
    bool saved = false;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (saved) return;
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (!w->isVisible() || w->windowTitle() != upgrade::kProgressTitle) continue;
            auto *bar = w->findChild<QProgressBar *>();
            if (!bar || bar->value() < 4000) continue;
            Save(w, "upgrade-progress");
            EXPECT_GE(w->width(), 400);
            // Where the upgrade places it, not centred over the main window.
            int height = 0, width = 0;
            ui::GetScreenSize(&height, &width);
            EXPECT_EQ(w->pos(), QPoint(width / 2 - 100, height / 2 - 100));
            saved = true;
        }
    });
    watch.start();
    EXPECT_EQ(ObsEkrGl_Upgrade(PanelEkrGl, PANEL_GL_UPGRADE, ui::EVENT_COMMIT, nullptr, 0, 0), 0);
    watch.stop();
    EXPECT_TRUE(saved) << "no progress window part way";
    const std::vector<std::string> expected = {"Warning", "Important", "Message"};
    EXPECT_EQ(agree.titles, expected);
}

}  // namespace

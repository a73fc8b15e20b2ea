// Reading a large TYP1 file under the Qt back end: the progress popup is
// drawn about 30 times a second whatever the rows, while its values follow
// every row, and its stop button (or close button) ends the read.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "qt_fixture.h"
#include "toolvane/data_files.h"
#include "ui/Tolvan_G.h"
#include "ui/qt/control_view.h"
#include "ui/qt/event_loop.h"

namespace qttest {
namespace {

namespace fs = std::filesystem;

constexpr int kRows = 1000000;

class QtDataFileRead : public QtTest {
protected:
    void SetUp() override {
        QtTest::SetUp();
        fs::copy_file(fs::path(std::getenv("VGX52_SOURCE")) / "ui" / "Tolvan_G.Uir",
                      fs::path(folder_) / "Tolvan_G.Uir");
        path_ = folder_ + "/big.dan";
        std::ofstream out(path_, std::ios::binary);
        out << "#TYP 1\r\n#DANE 1 x " << kRows << "\r\n";
        for (int r = 0; r < kRows; ++r) out << "# " << r << "\r\n";
    }
    int Read(int *rows) {
        column_.assign(kRows, 0.0);
        double *columns[1] = {column_.data()};
        return Toolvane_OdczytZbiorDanychTyp1(path_.c_str(), "dan", kRows, 1, columns, rows);
    }
    std::string path_;
    std::vector<double> column_;
};

// Counts the paints of one widget and what the model held at each.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST_F(QtDataFileRead, PopupIsDrawnAtMostAbout30TimesASecondAndStopEndsTheRead) {
    PaintCounter counter;
    int lastCounter = -1, lastRowsSeen = -1;
    const auto start = std::chrono::steady_clock::now();
    int panel = 0;
    // The operator's click comes from the event processing of a look for an
    // event, never from the painting in between.
    std::function<void()> press = [&] {
        if (ui::qt::detail::Flushing()) {
            QTimer::singleShot(1, press);
            return;
        }
        ui::GetCtrlVal(panel, PANEL_ODCZ_WIERSZE, &lastCounter);
        lastRowsSeen =
            static_cast<int>(std::count_if(column_.begin(), column_.end(), [](double v) { return v != 0.0; }) + 1);
        static_cast<QPushButton *>(ui::qt::ControlWidget(panel, PANEL_ODCZ_STOP))->click();
    };
    // Once the popup is up: watch its bar, then press stop after a while.
    std::function<void()> watch = [&] {
        panel = ui::model::TopPopup();
        QWidget *bar = panel ? ui::qt::ControlWidget(panel, PANEL_ODCZ_PROCENT) : nullptr;
        if (!bar) {
            QTimer::singleShot(1, watch);
            return;
        }
        bar->installEventFilter(&counter);
        QTimer::singleShot(1000, press);
    };
    QTimer::singleShot(0, watch);
    int rows = -1;
    ASSERT_EQ(Read(&rows), 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, kRows) << "the stop ended the read";
    // The row counter followed every row up to the stop.
    EXPECT_EQ(lastCounter, lastRowsSeen);
    EXPECT_GE(counter.paints, 1);
    // A draw paints the bar once or twice (the bar itself repaints a new value).
    const double draws = ui::qt::detail::kDrawsPerSecond * seconds + ui::qt::detail::kDrawBurst;
    EXPECT_LE(counter.paints, 2 * draws + 2) << "over " << seconds << " s";
    EXPECT_EQ(ui::model::TopPopup(), 0);
}

TEST_F(QtDataFileRead, ClosingThePopupWindowStopsTheRead) {
    // Once rows are coming in: a close while the popup is still being put up
    // reaches no one, as no look for an event is under way yet.
    std::function<void()> close = [&] {
        const int panel = ui::model::TopPopup();
        int counter = 0;
        QWidget *window = ui::qt::PanelWindow(panel);
        if (!window || ui::GetCtrlVal(panel, PANEL_ODCZ_WIERSZE, &counter) != 0 || counter == 0) {
            QTimer::singleShot(1, close);
            return;
        }
        window->close();
    };
    QTimer::singleShot(50, close);
    int rows = -1;
    ASSERT_EQ(Read(&rows), 0);
    EXPECT_LT(rows, kRows);
}

}  // namespace
}  // namespace qttest

#include "screens_fixture.h"

#include <unistd.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "ui/qt/qt_backend.h"

namespace fs = std::filesystem;

namespace qtscreens {

// The smallest screen the program's windows must fit on, 1024x768, for the
// offscreen platform (read once, when the application starts).
std::string SmallScreenPlatform() {
    static const fs::path config = fs::temp_directory_path() / ("vgx52-screen-" + std::to_string(getpid()) + ".json");
    std::atexit([] { fs::remove(config); });
    if (std::FILE *f = std::fopen(config.c_str(), "w")) {
        std::fputs(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1024, "height": 768,
                       "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})",
                   f);
        std::fclose(f);
    }
    return "offscreen:configfile=" + config.string();
}

void ProgramScreens::InstallBackend() {
    static const std::string platform = SmallScreenPlatform();
    setenv("QT_QPA_PLATFORM", platform.c_str(), 1);
    ui::qt::Install();
}

Agree::Agree() {
    timer_.setInterval(10);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        titles.push_back(dialog->windowTitle().toStdString());
        if (auto *yes = dialog->findChild<QPushButton *>("button1")) yes->click();
    });
    timer_.start();
}

}  // namespace qtscreens

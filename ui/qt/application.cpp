#include "ui/qt/application.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <cstdio>
#include <cstdlib>

#include "ui/qt/qt_backend.h"

namespace ui::qt::detail {
namespace {

bool Set(const char *name) {
    const char *value = std::getenv(name);
    return value && *value;
}

// The letters of the Polish texts; a font without them draws boxes.
bool HasPolishLetters(const QFont &font) {
    const QFontMetrics metrics(font);
    for (const QChar ch : QStringLiteral("ąęłóśżźćńĄĘŁÓŚŻŹĆŃ"))
        if (!metrics.inFont(ch)) return false;
    return true;
}

void ChooseFont() {
    if (HasPolishLetters(QApplication::font())) return;
    for (const char *family : {"DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"}) {
        QFont font(QString::fromLatin1(family), QApplication::font().pointSize());
        if (QFontDatabase::hasFamily(font.family()) && HasPolishLetters(font)) {
            QApplication::setFont(font);
            return;
        }
    }
}

}  // namespace

bool DisplayAvailable() { return Set("QT_QPA_PLATFORM") || Set("DISPLAY") || Set("WAYLAND_DISPLAY"); }

void EnsureApplication() {
    if (qobject_cast<QApplication *>(QCoreApplication::instance())) return;
    if (QCoreApplication::instance() || !DisplayAvailable()) {
        std::fputs(
            "vgx52: no display to show the program's windows on "
            "(set DISPLAY, or QT_QPA_PLATFORM=offscreen)\n",
            stderr);
        std::exit(1);
    }
    // Qt keeps references to these for the life of the application; the
    // program's own arguments are not Qt's business.
    static int argc = 1;
    static char name[] = "vgx52";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    // Hiding the last window (a popup before the main screen) must not end
    // the program: only QuitUserInterface does.
    app->setQuitOnLastWindowClosed(false);
    ChooseFont();
}

}  // namespace ui::qt::detail

namespace ui::qt {
bool CanShowWindows() { return detail::DisplayAvailable(); }
}  // namespace ui::qt

// A build with the leak checker: the font library Qt uses keeps its caches
// until the process ends, which is not a leak of this program.
extern "C" const char *__lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

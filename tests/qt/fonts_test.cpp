// The Polish letters of the program's texts are drawn, not boxes: with no
// usable font Qt warns about nothing, but the font comes back without a
// family and without the letters.
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include "qt_fixture.h"

namespace qttest {
namespace {

class QtFonts : public QtTest {};

void ExpectPolishLetters(const QFont &font) {
    EXPECT_FALSE(QFontInfo(font).family().isEmpty()) << "no font found";
    const QFontMetrics metrics(font);
    for (const QChar letter : QString::fromUtf8("ąęłóśżźćńĄĘŁÓŚŻŹĆŃ"))
        EXPECT_TRUE(metrics.inFont(letter))
            << QString(letter).toStdString() << " in " << QFontInfo(font).family().toStdString();
}

TEST_F(QtFonts, ApplicationFontHasThePolishLetters) { ExpectPolishLetters(QApplication::font()); }

TEST_F(QtFonts, StatusLineFontHasThePolishLetters) {
    const int panel = Load();
    ui::DisplayPanel(panel);
    QWidget *status = ui::qt::ControlWidget(panel, P_TEXT);
    ASSERT_NE(status, nullptr);
    ExpectPolishLetters(status->font());
    // Drawn as wide as its text needs, not as boxes of one width.
    const QFontMetrics metrics(status->font());
    EXPECT_NE(metrics.horizontalAdvance(QString::fromUtf8("ł")), metrics.horizontalAdvance(QString::fromUtf8("ż")));
}

}  // namespace
}  // namespace qttest

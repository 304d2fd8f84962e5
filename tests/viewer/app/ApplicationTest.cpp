#include "viewer/Application.h"

#include "platform/SysColors.h"

#include <QEvent>
#include <QPalette>
#include <QStyle>
#include <gtest/gtest.h>

namespace {

TEST(ApplicationTest, ErrorsEscapingAHandlerAreReportedAndTheProgramGoesOn) {
    auto& app = *qobject_cast<TApplication*>(QCoreApplication::instance());
    QStringList shown;
    app.ShowError = [&](const QString& text) { shown << text; };

    struct Throwing : QObject {
        bool event(QEvent*) override {
            throw std::runtime_error("Konnte Daten für 'X1' nicht holen");
        }
    } receiver;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&receiver, &event);
    TApplication::Guarded([] { throw std::logic_error("second"); });
    TApplication::Guarded([] { throw 42; });

    EXPECT_EQ(shown, QStringList({QString::fromUtf8("Konnte Daten für 'X1' nicht holen"), "second",
                                  "Unknown error"}));
    app.ShowError = [](const QString& text) { ADD_FAILURE() << text.toStdString(); };
}

TEST(ApplicationTest, TheClassicLookAndTitle) {
    EXPECT_EQ(QApplication::applicationDisplayName(), "Lumivane 98");
    EXPECT_EQ(QApplication::style()->name().toLower(), "windows");
}

std::uint32_t Bgr(const QColor& c) {
    return static_cast<std::uint32_t>(c.red() | (c.green() << 8) | (c.blue() << 16));
}

TEST(ApplicationTest, SystemColoursComeFromThePalette) {
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::Base, QColor(4, 5, 6));
    palette.setColor(QPalette::Highlight, QColor(7, 8, 9));
    palette.setColor(QPalette::Text, QColor(10, 11, 12));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(13, 14, 15));
    palette.setColor(QPalette::ToolTipBase, QColor(16, 17, 18));
    FillSysColorsFromPalette(palette);
    EXPECT_EQ(GetSysColor(15), Bgr(QColor(1, 2, 3)));    // button face
    EXPECT_EQ(GetSysColor(5), Bgr(QColor(4, 5, 6)));     // window
    EXPECT_EQ(GetSysColor(13), Bgr(QColor(7, 8, 9)));    // highlight
    EXPECT_EQ(GetSysColor(8), Bgr(QColor(10, 11, 12)));  // window text
    EXPECT_EQ(GetSysColor(17), Bgr(QColor(13, 14, 15))); // grey text
    EXPECT_EQ(GetSysColor(24), Bgr(QColor(16, 17, 18))); // info background
    FillSysColorsFromPalette(QApplication::palette());
    EXPECT_EQ(GetSysColor(5), Bgr(QApplication::palette().color(QPalette::Base)));
}

} // namespace

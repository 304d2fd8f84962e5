#include "viewer/Application.h"

#include "platform/SysColors.h"
#include "platform/qt/ErrorText.h"
#include "platform/qt/QtColor.h"
#include "viewer/Accessibility.h"

#include <QFont>
#include <QMessageBox>
#include <QPalette>
#include <QStyle>
#include <array>
#include <exception>
#include <stdexcept>

namespace {

void ShowErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(), text,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

} // namespace

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv), ShowError(ShowErrorBox) {
    // The task-bar text. As the application name, not the display name: Qt
    // appends a display name to every window title on X11 ("Find — ..."),
    // while the name alone reaches the task list through WM_CLASS and stands
    // in wherever a display name is asked for.
    setApplicationName("Lumivane 98");
    setDesktopFileName("lumivane");
    setStyle("Windows");
    setPalette(style()->standardPalette()); // the classic grey scheme that goes with it
    // The faces the documents and forms name, on their metric-compatible stand-ins.
    QFont::insertSubstitution("Courier New", "Liberation Mono");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    FillSysColorsFromPalette(palette());
    // Before the first window: every interface asked for comes from it.
    InstallAccessibility();
}

void TApplication::ReportCurrentException() {
    const QString text = ErrorText(std::current_exception());
    if (auto* app = qobject_cast<TApplication*>(QCoreApplication::instance());
        app && app->ShowError) {
        app->ShowError(text);
    } else {
        ShowErrorBox(text);
    }
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ReportCurrentException();
        return false;
    }
}

void FillSysColorsFromPalette(const QPalette& palette) {
    using R = QPalette::ColorRole;
    // In system-colour number order.
    const std::array<QColor, kSysColorCount> colors = {
        palette.color(R::Button),                   // scroll bar
        palette.color(R::Dark),                     // desktop
        palette.color(R::Highlight),                // active caption
        palette.color(R::Dark),                     // inactive caption
        palette.color(R::Button),                   // menu
        palette.color(R::Base),                     // window
        palette.color(R::Shadow),                   // window frame
        palette.color(R::ButtonText),               // menu text
        palette.color(R::Text),                     // window text
        palette.color(R::HighlightedText),          // caption text
        palette.color(R::Button),                   // active border
        palette.color(R::Button),                   // inactive border
        palette.color(R::Dark),                     // application workspace
        palette.color(R::Highlight),                // highlight
        palette.color(R::HighlightedText),          // highlight text
        palette.color(R::Button),                   // button face
        palette.color(R::Dark),                     // button shadow
        palette.color(QPalette::Disabled, R::Text), // grey text
        palette.color(R::ButtonText),               // button text
        palette.color(R::Midlight),                 // inactive caption text
        palette.color(R::Light),                    // button highlight
        palette.color(R::Shadow),                   // 3D dark shadow
        palette.color(R::Midlight),                 // 3D light
        palette.color(R::ToolTipText),              // info text
        palette.color(R::ToolTipBase),              // info background
    };
    for (int i = 0; i < kSysColorCount; ++i) {
        SetSysColor(i, FromQColor(colors[static_cast<size_t>(i)]));
    }
}

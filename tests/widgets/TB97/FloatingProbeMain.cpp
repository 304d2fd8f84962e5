// A form with our own frame and a floating toolbar like the main window's,
// for the end-to-end check under a real window manager. Prints "closed" when
// the toolbar's close button is used.

#include "platform/SysColors.h"
#include "platform/qt/NonClientFrame.h"
#include "widgets/TB97/Toolbar97.h"
#include "widgets/TB97/ToolbarButton97.h"
#include "widgets/TB97/ToolbarSep97.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle("Windows");
    QFont::insertSubstitution("MS Sans Serif", "Liberation Sans");
    ResetSysColors();

    QWidget form;
    form.setWindowTitle("Floating probe");
    new TNonClientFrame(&form);
    form.setGeometry(100, 100, 520, 360);
    auto* bar = new TToolbar97(&form);
    bar->SetCaption("Lumivane98");
    // Each button shows a red square, so a screenshot tells a painted button
    // from an empty spot.
    QImage glyph(16, 16, QImage::Format_RGB32);
    glyph.fill(Qt::white);
    for (int y = 3; y < 13; ++y) {
        for (int x = 3; x < 13; ++x) {
            glyph.setPixel(x, y, qRgb(255, 0, 0));
        }
    }
    int x = 4;
    for (int i = 0; i < 7; ++i) {
        auto* button = new TToolbarButton97(bar);
        button->setGeometry(x, 2, 22, 22);
        button->SetGlyph(glyph);
        x += 22;
        if (i < 6) {
            (new TToolbarSep97(bar))->setGeometry(x, 2, 6, 22);
            x += 6;
        }
    }
    bar->Loaded();
    bar->OnClose = [] {
        std::puts("closed");
        std::fflush(stdout);
    };
    form.show();
    bar->SetFloatingRect(QRect(300, 250, 206, 48));
    return application.exec();
}

#pragma once
// A plain top-level form with our own frame, shown on the offscreen display,
// and what it looks like, pixel by pixel.

#include "platform/Color.h"
#include "platform/SysColors.h"
#include "platform/SystemMetrics.h"
#include "platform/qt/NonClientFrame.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QWidget>
#include <memory>

// A form whose native window can be made anew, as the framework does when
// some window properties change.
class TTestWidget : public QWidget {
public:
    void Recreate() {
        destroy();
        create();
        show();
    }
};

struct TTestForm {
    std::unique_ptr<TTestWidget> Form;
    TNonClientFrame* Frame = nullptr;

    explicit TTestForm(int width = 400, int height = 120, const QString& title = QString()) {
        Form = std::make_unique<TTestWidget>();
        Frame = new TNonClientFrame(Form.get());
        Form->setWindowTitle(title);
        Form->resize(width, height);
        Form->show();
        QApplication::processEvents();
    }

    QImage Shot() const { return Form->grab().toImage().convertToFormat(QImage::Format_RGB32); }
};

// An RGB value of the program's colour type as Qt shows it.
inline QRgb Rgb(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return qRgb(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

// Opaque, as qRgb makes its values.
inline QRgb Pixel(const QImage& image, int x, int y) {
    return image.pixel(x, y) | 0xFF000000u;
}

// Puts the classic metrics and colours back after a test changed them.
struct TClassicDesktop {
    TClassicDesktop() {
        ResetSystemMetrics();
        ResetSysColors();
    }
    ~TClassicDesktop() {
        ResetSystemMetrics();
        ResetSysColors();
    }
};

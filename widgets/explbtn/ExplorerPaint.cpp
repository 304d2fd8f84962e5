#include "widgets/explbtn/ExplorerPaint.h"

#include "platform/qt/QtColor.h"
#include "widgets/explbtn/explbtn.h"

#include <QPainter>
#include <array>
#include <memory>

namespace {

struct TShadingThresholds {
    int White;
    int Highlight;
    int Shadow;
};

// Channel sums (0..765) above which a pixel becomes white, highlight, shadow.
constexpr std::array<TShadingThresholds, 3> kShading = {{
    {205, 127, 68},  // stLight
    {553, 231, 57},  // stMedium
    {335, 274, 175}, // stDark
}};

QRgb KeyColor(const QImage& image) {
    return image.pixel(0, 0) | 0xFF000000u;
}

// IMAGE with COLOR where KEEP holds and fully transparent elsewhere.
template <typename Keep> QImage Stencil(const QImage& image, const QColor& color, Keep keep) {
    QImage out(image.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const QRgb paint = color.rgba();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (keep(image.pixel(x, y) | 0xFF000000u)) {
                out.setPixel(x, y, paint);
            }
        }
    }
    return out;
}

} // namespace

QImage GreyImage(const QImage& bitmap, TExplorerButtonShadingType shading) {
    if (bitmap.isNull()) {
        return {};
    }
    QImage grey = bitmap.convertToFormat(QImage::Format_RGB32);
    const TShadingThresholds& limits = kShading[static_cast<size_t>(shading)];
    const QRgb key = KeyColor(grey);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb highlight = ToQColor(clBtnHighlight).rgb();
    const QRgb shadow = ToQColor(clBtnShadow).rgb();
    const QRgb black = qRgb(0, 0, 0);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb pixel = grey.pixel(x, y);
            if (pixel == key) {
                continue;
            }
            const int sum = qRed(pixel) + qGreen(pixel) + qBlue(pixel);
            QRgb to = black;
            if (sum > limits.White) {
                to = white;
            } else if (sum > limits.Highlight) {
                to = highlight;
            } else if (sum > limits.Shadow) {
                to = shadow;
            }
            grey.setPixel(x, y, to);
        }
    }
    return grey;
}

namespace widgets {

void DrawTransparent(QPainter& painter, QPoint at, const QImage& image) {
    if (image.isNull()) {
        return;
    }
    QImage masked = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = KeyColor(image);
    for (int y = 0; y < masked.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(masked.scanLine(y));
        for (int x = 0; x < masked.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key) {
                line[x] = 0;
            } else {
                line[x] |= 0xFF000000u;
            }
        }
    }
    painter.drawImage(at, masked);
}

void DrawEmbossed(QPainter& painter, QPoint at, const QImage& image) {
    if (image.isNull()) {
        return;
    }
    auto isBlack = [](QRgb pixel) { return pixel == 0xFF000000u; };
    painter.drawImage(at + QPoint(1, 1), Stencil(image, ToQColor(clBtnHighlight), isBlack));
    painter.drawImage(at, Stencil(image, ToQColor(clBtnShadow), isBlack));
}

void DrawBevel(QPainter& painter, QSize size, TColor first, TColor second) {
    const int w = size.width();
    const int h = size.height();
    const QColor one = ToQColor(first);
    const QColor two = ToQColor(second);
    // Pen lines leave out their end point: the first pen runs up the left
    // edge and along the top to just short of the top-right corner, the
    // second down the right edge and back along the bottom to just short of
    // the bottom-left corner.
    painter.fillRect(0, 0, 1, h, one);
    painter.fillRect(0, 0, w - 1, 1, one);
    painter.fillRect(w - 1, 0, 1, h - 1, two);
    painter.fillRect(1, h - 1, w - 1, 1, two);
}

void DrawPopupMark(QPainter& painter, QPoint at, TColor color) {
    const QColor c = ToQColor(color);
    const int x = at.x();
    const int y = at.y();
    painter.fillRect(x, y - 1, 7, 1, c);
    painter.fillRect(x + 1, y, 5, 1, c);
    painter.fillRect(x + 2, y + 1, 3, 1, c);
    painter.fillRect(x + 3, y + 2, 1, 1, c);
}

} // namespace widgets

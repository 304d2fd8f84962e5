#pragma once
// Pixels and pictures for the toolbar family's tests.

#include <QColor>
#include <QImage>
#include <QRegion>
#include <QWidget>

namespace tb97test {

// The classic colours the tests expect, as 0xRRGGBB.
constexpr QRgb kFace = 0xC0C0C0;
constexpr QRgb kShadow = 0x808080;
constexpr QRgb kHighlight = 0xFFFFFF;
constexpr QRgb kBlack = 0x000000;

// What WIDGET shows, as painted now (children included).
inline QImage Shot(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels REGION covers.
inline int Area(const QRegion& region) {
    int area = 0;
    for (const QRect& r : region) {
        area += r.width() * r.height();
    }
    return area;
}

inline QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

// A glyph of W × H filled with BACKGROUND (its bottom-left pixel too).
inline QImage Picture(int w, int h, QRgb background) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

} // namespace tb97test

#include "platform/qt/DitherPattern.h"

#include "platform/qt/QtColor.h"

#include <QImage>
#include <optional>

namespace {

std::optional<QPixmap> pattern;
TColor patternFace = 0;
TColor patternHighlight = 0;

} // namespace

const QPixmap& DitherPattern() {
    if (!pattern) {
        const TColor face = ColorToRGB(clBtnFace);
        const TColor highlight = ColorToRGB(clBtnHighlight);
        QImage image(8, 8, QImage::Format_RGB32);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                image.setPixelColor(x, y, ToQColor(x % 2 == y % 2 ? highlight : face));
            }
        }
        pattern = QPixmap::fromImage(image);
        patternFace = face;
        patternHighlight = highlight;
    }
    return *pattern;
}

void DropDitherPattern(bool onlyIfStale) {
    if (!onlyIfStale || (pattern && (patternFace != ColorToRGB(clBtnFace) ||
                                     patternHighlight != ColorToRGB(clBtnHighlight)))) {
        pattern.reset();
    }
}

#pragma once
// The one bridge from our colour values to Qt's.

#include "platform/Color.h"

#include <QColor>

// System-colour codes are resolved first, so a palette change shows at once.
inline QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(RedOf(rgb), GreenOf(rgb), BlueOf(rgb));
}

// The nearest TColor of a Qt colour (alpha dropped).
inline TColor FromQColor(const QColor& color) {
    return RgbColor(color.red(), color.green(), color.blue());
}
